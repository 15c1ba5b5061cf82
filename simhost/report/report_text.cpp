// The report as the console shows it; the phrases the HTML page shares with it are in
// report_phrases.cpp.
#include <algorithm>
#include <cstdio>

#include "report/report.h"
#include "playlist/station_clock.h"

namespace {

constexpr int kHistogramWidth = 40; // characters of the longest bar
constexpr size_t kNoteWidth = 100;  // notes are folded before this column

// `value` in decimal.
std::string number(int64_t value) {
    return std::to_string(value);
}

// `count` right-aligned in the report's count column.
std::string countColumn(int64_t count) {
    return "    " + std::string(6 - std::min<size_t>(6, number(count).size()), ' ') + number(count) + "  ";
}

// One line per pair: its count right-aligned, then the two artists or titles.
void appendCountedPairs(std::string* out, const std::vector<sim::CountedPair>& pairs) {
    for (const sim::CountedPair& pair : pairs)
        *out += countColumn(pair.count) + pair.first + " / " + pair.second + "\n";
}

// One line per title: its count right-aligned, then the title.
void appendCountedTexts(std::string* out, const std::vector<sim::CountedText>& texts) {
    for (const sim::CountedText& text : texts)
        *out += countColumn(text.count) + text.text + "\n";
}

// `note` in parentheses, indented by `indent`, folded at spaces before kNoteWidth.
void appendNote(std::string* out, const std::string& indent, const std::string& note) {
    std::string rest = "(" + note + ")";
    while (indent.size() + rest.size() > kNoteWidth) {
        const size_t fold = rest.rfind(' ', kNoteWidth - indent.size());
        if (fold == std::string::npos || fold == 0)
            break;
        *out += indent + rest.substr(0, fold) + "\n";
        rest = " " + rest.substr(fold + 1);
    }
    *out += indent + rest + "\n";
}

// The separation histogram as bars of characters, the longest 40 wide; ! for buckets within the window.
void appendHistogram(std::string* out, const std::vector<sim::GapBucket>& buckets) {
    int32_t most = 1;
    for (const sim::GapBucket& bucket : buckets)
        most = std::max(most, bucket.count);
    char line[160];
    std::snprintf(line, sizeof line, "    %-14s %7s\n", "tracks between", "returns");
    *out += line;
    for (const sim::GapBucket& bucket : buckets) {
        const int bar =
            static_cast<int>((static_cast<int64_t>(bucket.count) * kHistogramWidth + most - 1) / most);
        std::snprintf(line, sizeof line, "    %14s %7d", sim::gapLabel(bucket).c_str(),
                      static_cast<int>(bucket.count));
        *out += line;
        if (bar > 0)
            *out += "  " + std::string(static_cast<size_t>(bar), bucket.withinWindow ? '!' : '#');
        *out += "\n";
    }
}

// Played twice in a row, by cause, each with its titles.
void appendPlayedTwice(std::string* out, const sim::RunStats& stats) {
    *out += "played twice in a row: " + sim::countOf(stats.playedTwiceInARow, "time", "times") + "\n";
    if (!stats.looping.empty()) {
        int32_t replays = 0;
        for (const sim::LoopingTitle& loop : stats.looping)
            replays += loop.replays;
        *out += "  one title looping, played again once every other entry was refused: " +
                sim::countOf(replays, "time", "times") + "\n";
        for (const sim::LoopingTitle& loop : stats.looping)
            *out += countColumn(loop.replays) + loop.title + "   (" + sim::loopText(loop) + ")\n";
        appendNote(out, "    ", sim::kLoopingTitle);
    }
    if (stats.againDuplicates > 0) {
        *out +=
            "  another entry with the same title: " + sim::countOf(stats.againDuplicates, "time", "times") +
            "\n";
        appendCountedTexts(out, stats.duplicateBackToBack);
    }
    if (stats.againCameRound > 0) {
        *out += "  the same entry again as the play order came round, the entries between all refused: " +
                sim::countOf(stats.againCameRound, "time", "times") + "\n";
        appendCountedTexts(out, stats.cameRoundBackToBack);
    }
    if (stats.playedTwiceInARow > 0)
        appendNote(out, "    ", sim::kBackToBack);
}

// The titles listed in more than one entry.
void appendListedTwice(std::string* out, const sim::RunStats& stats) {
    if (stats.listedTwice.empty())
        return;
    *out += "titles listed more than once: " + number(static_cast<int64_t>(stats.listedTwice.size())) +
            " (they can play back to back, and no limit stops that)\n";
    for (const sim::ListedTwice& listed : stats.listedTwice)
        *out += "    " + listed.title + "   (" + sim::entryNumbersText(listed) + ")\n";
}

// Artist separation: the figures, the histogram and who came back within the window.
void appendSeparation(std::string* out, const sim::ReportContext& context, const sim::RunStats& stats) {
    out->append("artist separation: " + sim::separationText(stats) + "\n");
    if (stats.artistReturns > 0) {
        *out += "    " + sim::separationTimeText(stats) + "\n";
        appendHistogram(out, stats.gapHistogram);
        const int32_t window = sim::reportedArtistWindow(context);
        if (window > 0) {
            appendNote(out, "    ",
                       "! marks returns within the artist window of " + number(window) +
                           ": the same artist again sooner than the limit meant to allow");
            if (!stats.withinWindow.empty())
                *out +=
                    "    returns within the window, by artist (the closest in tracks between and in time):\n";
            for (const sim::ReturnsWithinWindow& returns : stats.withinWindow)
                *out += countColumn(returns.returns) + returns.artist + "   (" +
                        sim::closestReturnText(returns) + ")\n";
        }
    }
    if (stats.withoutArtist > 0)
        appendNote(out, "    ",
                   sim::countOf(stats.withoutArtist, "played track has", "played tracks have") +
                       " no artist before \" - \"");
}

// What the rule got wrong; one line when there is no artist rule to judge.
void appendRuleMistakes(std::string* out, const sim::ReportContext& context, const sim::RunStats& stats) {
    if (sim::reportedArtistWindow(context) <= 0) {
        *out += "what the rule got wrong: nothing to judge (" + sim::artistWindowText(context) + ")\n";
        return;
    }
    *out += "what the rule got wrong (" + sim::artistWindowText(context) + "):\n";
    *out +=
        "  refused, though that artist had not played within the window: " + number(stats.misjudgedRefusals) +
        "\n";
    appendCountedPairs(out, stats.misjudgedPairs);
    if (stats.probablySameRefusals > 0) {
        *out += "  probably the same artist under two names, refused as meant (not counted above): " +
                number(stats.probablySameRefusals) + "\n";
        appendCountedPairs(out, stats.probablySamePairs);
    }
    if (stats.noArtistRefusals > 0) {
        *out += "  titles without an artist, refused by the artist rule: " + number(stats.noArtistRefusals) +
                "\n";
        appendCountedPairs(out, stats.noArtistPairs);
        appendNote(out, "    ", sim::noArtistAdvice(stats));
    }
    *out += "  repeats let through, the same artist spelt differently within the window: " +
            number(stats.spellingRepeats) + "\n";
    appendCountedPairs(out, stats.spellingPairs);
}

} // namespace

namespace sim {

std::string renderTextReport(const ReportContext& context, const RunStats& stats) {
    std::string out = "== report: " + runDescription(context) + "\n";
    out += "limits: " + limitsDescription(context) + "\n";
    for (const std::string& warning : context.warnings)
        out += "warning: " + warning + "\n";
    out += "summary: " + number(stats.played) + " played, " + number(stats.skipped) + " skipped\n";
    out += "skip rate: " + skipRateText(stats) + "; station time " + clockText(stats.stationSeconds) + "\n";
    out += "rotation: " + rotationText(stats) + "\n";
    for (const std::string& warning : runWarnings(context, stats))
        out += "warning: " + warning + "\n";
    out += "longest run of skips in a row: " + longestSkipRunText(stats) + "\n";
    out += "every entry refused in a row: " + countOf(stats.wholePlaylistRefusals, "time", "times") + "\n";
    if (stats.loopLaps > 0)
        out += "every entry but one refused, lap after lap: " + countOf(stats.loopLaps, "lap", "laps") +
               " (one title looping, below)\n";
    appendPlayedTwice(&out, stats);
    appendListedTwice(&out, stats);
    if (stats.unseen > 0)
        out += "tracks the plug-in never looked at: " + number(stats.unseen) + "\n";
    if (stats.unknownReasons > 0)
        out += "refusals the host cannot explain: " + number(stats.unknownReasons) + "\n";
    appendSeparation(&out, context, stats);
    appendRuleMistakes(&out, context, stats);
    out += "titles refused most often:" + std::string(stats.mostRefused.empty() ? " none\n" : "\n");
    appendCountedTexts(&out, stats.mostRefused);
    // The note on artists, folded at the last space before 100 characters.
    std::string note = kArtistComparison;
    while (note.size() > 100) {
        const size_t fold = note.rfind(' ', 100);
        out += note.substr(0, fold) + "\n";
        note.erase(0, fold + 1);
    }
    return out + note + "\n";
}

} // namespace sim
