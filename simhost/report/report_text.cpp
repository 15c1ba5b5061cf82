// The report as the console shows it, and the phrases the HTML page shares with it.
#include <algorithm>
#include <cstdio>

#include "report/report.h"
#include "playlist/station_clock.h"

namespace {

constexpr int kHistogramWidth = 40; // characters of the longest bar

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

// One line per artist pair: its count right-aligned, then the two artists.
void appendCountedPairs(std::string* out, const std::vector<sim::CountedPair>& pairs) {
    for (const sim::CountedPair& pair : pairs)
        *out += "    " + std::string(6 - std::min<size_t>(6, number(pair.count).size()), ' ') +
                number(pair.count) + "  " + pair.first + " / " + pair.second + "\n";
}

// One line per title: its count right-aligned, then the title.
void appendCountedTexts(std::string* out, const std::vector<sim::CountedText>& texts) {
    for (const sim::CountedText& text : texts)
        *out += "    " + std::string(6 - std::min<size_t>(6, number(text.count).size()), ' ') +
                number(text.count) + "  " + text.text + "\n";
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

} // namespace

namespace sim {

const char kArtistComparison[] = "Artists are the playlist's own: the text before \" - \", compared ignoring "
                                 "case, a leading \"The\" or a trailing \", The\", \"&\" against \"and\", "
                                 "and all punctuation and spaces.";

const char kBackToBack[] =
    "The plug-in judges a title only when it differs from the one it admitted last: when "
    "every other entry is refused, that one plays again.";

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

std::string artistWindowText(const ReportContext& context) {
    if (context.limits.artistLimit <= 0 || !context.limits.monitoring)
        return "no artist window: the artist rule is off";
    return "artist window " + number(context.limits.artistLimit);
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

std::string renderTextReport(const ReportContext& context, const RunStats& stats) {
    std::string out = "== report: " + runDescription(context) + "\n";
    out += "limits: " + limitsDescription(context) + "\n";
    for (const std::string& warning : context.warnings)
        out += "warning: " + warning + "\n";
    out += "summary: " + number(stats.played) + " played, " + number(stats.skipped) + " skipped\n";
    out += "skip rate: " + skipRateText(stats) + "; station time " + clockText(stats.stationSeconds) + "\n";
    out += "longest run of skips in a row: " + number(stats.longestSkipRun) + "\n";
    out += "every entry refused in a row: " + countOf(stats.wholePlaylistRefusals, "time", "times") + "\n";
    out += "played twice in a row: " + countOf(stats.playedTwiceInARow, "time", "times") + "\n";
    appendCountedTexts(&out, stats.backToBack);
    if (stats.playedTwiceInARow > 0)
        out += "    (" + std::string(kBackToBack) + ")\n";
    if (stats.unseen > 0)
        out += "tracks the plug-in never looked at: " + number(stats.unseen) + "\n";
    if (stats.unknownReasons > 0)
        out += "refusals the host cannot explain: " + number(stats.unknownReasons) + "\n";

    out += "artist separation: ";
    if (stats.artistReturns == 0) {
        out += "no artist came back\n";
    } else {
        out += countOf(stats.artistReturns, "return", "returns") + " of an artist; smallest " +
               countOf(stats.smallestGap, "track", "tracks") + " between, median " +
               medianText(stats.medianGap) + "\n";
        appendHistogram(&out, stats.gapHistogram);
        if (context.limits.artistLimit > 0)
            out += "    (! marks returns within the artist window of " + number(context.limits.artistLimit) +
                   ": the same artist again sooner than the limit meant to allow)\n";
    }
    if (stats.withoutArtist > 0)
        out += "    (" + countOf(stats.withoutArtist, "played track has", "played tracks have") +
               " no artist before \" - \")\n";

    out += "what the rule got wrong (" + artistWindowText(context) + "):\n";
    out +=
        "  refused, though that artist had not played within the window: " + number(stats.misjudgedRefusals) +
        "\n";
    appendCountedPairs(&out, stats.misjudgedPairs);
    out += "  repeats let through, the same artist spelt differently within the window: " +
           number(stats.spellingRepeats) + "\n";
    appendCountedPairs(&out, stats.spellingPairs);
    out += "titles refused most often:" + std::string(stats.mostRefused.empty() ? " none\n" : "\n");
    appendCountedTexts(&out, stats.mostRefused);
    // The note on artists, folded at the last space before 100 characters.
    std::string note = kArtistComparison;
    const size_t fold = note.rfind(' ', 100);
    out += note.substr(0, fold) + "\n" + note.substr(fold + 1) + "\n";
    return out;
}

} // namespace sim
