// The report as the console shows it, and the phrases the HTML page shares with it.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "report/report.h"
#include "playlist/station_clock.h"
#include "tuning/artist.h"

namespace {

constexpr int kHistogramWidth = 40;        // characters of the longest bar
constexpr double kPassesToJudgeTitles = 3; // every entry offered, then back twice
constexpr size_t kNoteWidth = 100;         // notes are folded before this column

// `value` formatted by `pattern`, one of this file's own literal patterns.
std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

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

// "1.0 pass" or "2.3 passes": how far the play order went, cut (not rounded) to a tenth.
std::string passesText(double passes) {
    const double tenths = std::floor(passes * 10.0) / 10.0;
    return format("%.1f", tenths) + (tenths == 1.0 ? " pass" : " passes");
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

// True when `title` names no artist of its own but opens with the artist of `other`, as artists are
// compared, up to a punctuation mark or its end: "Édith Piaf: Padam Padam" and "Édith Piaf - Non, je
// ne regrette rien".
bool opensWithArtistOf(const std::string& title, const std::string& other) {
    const std::string artist = sim::artistOf(other);
    if (artist.empty() || !sim::artistOf(title).empty())
        return false;
    const std::string key = sim::artistKey(artist);
    for (size_t cut = 1; cut <= title.size(); cut++) {
        const auto next = static_cast<unsigned char>(cut < title.size() ? title[cut] : '.');
        if (next < 0x80 && std::ispunct(next) != 0 &&
            (sim::artistKey(title.substr(0, cut)) == key ||
             sim::probablySameArtist(title.substr(0, cut), artist)))
            return true;
    }
    return false;
}

} // namespace

namespace sim {

const char kArtistComparison[] =
    "Artists are the playlist's own: the text before \" - \", compared ignoring "
    "case, a leading \"The\" or a trailing \", The\", \"&\" against \"and\", "
    "and punctuation and spaces; the symbols @ # $ % * = ~ ^ | < > are part of a "
    "name (\"@peace\" is not \"Peace\").";

const char kBackToBack[] =
    "The plug-in judges a title only when it differs from the one it admitted last: an "
    "entry with that title plays again, whatever the limits.";

const char kLoopingTitle[] =
    "No other entry could play: each was refused, by the title limit or the artist window, and a refusal "
    "records nothing, so nothing changes and lap after lap the same title is the only one left, for good. "
    "Lower the limits.";

std::string countOf(int64_t count, const char* singular, const char* plural) {
    return number(count) + " " + (count == 1 ? singular : plural);
}

std::string runDescription(const ReportContext& context) {
    std::string text = context.playlistName + ", " + countOf(context.entries, "entry", "entries");
    text += context.shuffled ? ", shuffled (seed " + std::to_string(context.seed) + ")" : ", in order";
    if (context.secondsAsked > 0)
        text += ", " + medianText(static_cast<double>(context.secondsAsked) / 3600.0) + " h of station time";
    if (context.tracksAsked > 0)
        text += ", " + countOf(context.tracksAsked, "track", "tracks");
    return text;
}

std::string limitsDescription(const ReportContext& context) {
    const RuleLimits& limits = context.limits;
    if (!context.limitsKnown)
        return "limits unknown: there was no plugin.ini beside the plug-in after its start";
    if (!limits.monitoring)
        return "playlist monitoring off (EnablePlaylistMonitoring=0): the plug-in refuses nothing";
    return "SameArtistCheckLimit " + number(limits.artistLimit) + ", SameTitleCheckLimit " +
           number(limits.titleLimit);
}

int32_t reportedArtistWindow(const ReportContext& context) {
    return context.limitsKnown ? artistWindow(context.limits) : 0;
}

std::string artistWindowText(const ReportContext& context) {
    if (reportedArtistWindow(context) <= 0)
        return "no artist window: the artist rule is off";
    return "artist window " + number(reportedArtistWindow(context));
}

std::string skipRateText(const RunStats& stats) {
    return format("%.1f %%", stats.skipRate * 100.0) + " of the " +
           countOf(stats.played + stats.skipped, "track", "tracks") + " started";
}

std::string gapLabel(const GapBucket& bucket) {
    if (bucket.high < 0)
        return number(bucket.low) + "+";
    if (bucket.high == bucket.low)
        return number(bucket.low);
    return number(bucket.low) + "-" + number(bucket.high);
}

std::string medianText(double median) {
    return median == static_cast<double>(static_cast<int64_t>(median)) ? number(static_cast<int64_t>(median))
                                                                       : format("%.1f", median);
}

std::string durationText(double seconds) {
    if (seconds < 59.5)
        return number(std::llround(seconds)) + " s";
    const int64_t minutes = std::llround(seconds / 60.0);
    if (minutes < 60)
        return number(minutes) + " min";
    return number(minutes / 60) + " h" + (minutes % 60 == 0 ? "" : " " + number(minutes % 60) + " min");
}

std::string longestSkipRunText(const RunStats& stats) {
    std::string text = number(stats.longestSkipRun);
    if (stats.longestSkipRun > 1)
        text += " (" + number(stats.longestSkipRunEntries) + " of the " +
                countOf(stats.entries, "entry", "entries") + ")";
    return text;
}

std::string rotationText(const RunStats& stats) {
    const int32_t started = stats.played + stats.skipped;
    const int32_t cameRound = started > 0 && stats.entries > 0 ? (started - 1) / stats.entries : 0;
    return passesText(stats.passes) + " through the playlist's " +
           countOf(stats.entries, "entry", "entries") + " (" +
           (cameRound == 0 ? std::string("it never came round")
                           : "it came round " + countOf(cameRound, "time", "times")) +
           ")";
}

std::string separationText(const RunStats& stats) {
    if (stats.artistReturns == 0)
        return "no artist came back";
    return countOf(stats.artistReturns, "return", "returns") + " of an artist; tracks between: smallest " +
           number(stats.smallestGap) + ", median " + medianText(stats.medianGap);
}

std::string separationTimeText(const RunStats& stats) {
    return "time from start to start: shortest " +
           durationText(static_cast<double>(stats.shortestGapSeconds)) + ", median " +
           durationText(stats.medianGapSeconds);
}

std::string loopText(const LoopingTitle& loop) {
    return "the other " + countOf(loop.otherEntries, "entry", "entries") +
           " refused lap after lap: " + countOf(loop.laps, "lap", "laps");
}

std::string entryNumbersText(const ListedTwice& listed) {
    std::string text = "entries ";
    for (size_t i = 0; i < listed.entries.size(); i++)
        text += (i == 0 ? "" : ", ") + number(listed.entries[i]);
    return text;
}

std::string closestReturnText(const ReturnsWithinWindow& returns) {
    return countOf(returns.fewestTracks, "track", "tracks") + ", " +
           durationText(static_cast<double>(returns.fewestSeconds));
}

std::string noArtistAdvice(const RunStats& stats) {
    // A title naming no artist that opens with the other's artist is probably that artist's own
    // ("Édith Piaf: Padam Padam" after "Édith Piaf - Non, je ne regrette rien"): another opening
    // would let one singer play back to back, so no such pair is given that advice.
    const CountedPair *apart = nullptr, *oneArtist = nullptr;
    for (const CountedPair& pair : stats.noArtistPairs) {
        const CountedPair*& first =
            opensWithArtistOf(pair.first, pair.second) || opensWithArtistOf(pair.second, pair.first)
                ? oneArtist
                : apart;
        if (first == nullptr)
            first = &pair;
    }
    std::string advice;
    if (apart != nullptr || oneArtist == nullptr) {
        advice = "The rule takes the first three characters of a title for its artist: give each title "
                 "without an artist an opening of its own";
        if (apart != nullptr)
            advice += ", so that \"" + apart->first + "\" and \"" + apart->second +
                      "\" no longer refuse each other";
        advice += ".";
    }
    if (oneArtist != nullptr) {
        const bool firstOpens = opensWithArtistOf(oneArtist->first, oneArtist->second);
        advice +=
            std::string(advice.empty() ? "" : " But ") + "\"" +
            (firstOpens ? oneArtist->first : oneArtist->second) + "\" opens with the artist of \"" +
            (firstOpens ? oneArtist->second : oneArtist->first) +
            "\": probably one artist, refused as meant; keep its opening (or write it \"Artist - Title\").";
    }
    return advice;
}

std::vector<std::string> runWarnings(const ReportContext& context, const RunStats& stats) {
    std::vector<std::string> warnings;
    if (stats.recordFull)
        warnings.push_back("the run ended early: it recorded " +
                           countOf(stats.played + stats.skipped, "track", "tracks") +
                           " started, the most one run keeps");
    if (stats.passes >= kPassesToJudgeTitles || stats.entries == 0)
        return warnings;
    std::string warning =
        "the run ended after " + passesText(stats.passes) +
        " through the playlist, before every entry could come back twice: the title limit is "
        "judged only once the playlist has come round";
    // Every entry played, as the sweep counts a rotation: the same figure wherever it is shown, and
    // enough whatever the skips.
    if (context.rotationSeconds > 0) {
        const int64_t seconds = context.rotationSeconds * static_cast<int64_t>(kPassesToJudgeTitles);
        warning += "; 3 rotations of the playlist take " + clockText(seconds) +
                   " of station time, every entry played (--hours " + number((seconds + 3599) / 3600) + ")";
    }
    warnings.push_back(warning);
    return warnings;
}

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
