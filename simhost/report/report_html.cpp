// The report as one HTML page that opens anywhere, off-line: styles and the histogram (SVG) are
// inline, there is no script and no link, and every text from the playlist is escaped.
#include <algorithm>
#include <cstdio>

#include "report/html_page.h"
#include "report/report.h"
#include "playlist/station_clock.h"

namespace {

constexpr int kChartWidth = 720, kChartHeight = 260;
constexpr int kChartLeft = 56, kChartRight = 16, kChartTop = 24, kChartBottom = 48;
constexpr char kBarColour[] = "#2f6f9f", kWithinColour[] = "#d9822b"; // returns within the artist window

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:760px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px "
    "solid #c8d3de}h3{font-size:15px;margin:16px 0 6px}"
    "table{border-collapse:collapse}td,th{padding:3px 10px 3px 0;text-align:left;vertical-"
    "align:top}th{font-weight:600}td.n{text-align:right;font-variant-numeric:tabular-nums}"
    ".run{color:#4a5868;margin:0}.warn{color:#8a3b00}.note{color:#4a5868;font-size:13px}"
    ".big{font-size:20px;font-weight:600}";

// The page's escaping, shared with the sweep's page.
std::string escaped(const std::string& text) {
    return sim::htmlEscaped(text);
}

// `value` in decimal.
std::string number(int64_t value) {
    return std::to_string(value);
}

// One row of a two-column table: a heading and its value, both escaped.
void appendRow(std::string* out, const std::string& name, const std::string& value) {
    *out += "<tr><th>" + escaped(name) + "</th><td>" + escaped(value) + "</td></tr>\n";
}

// A table of artist pairs with their counts; nothing when there are none.
void appendPairs(std::string* out, const std::vector<sim::CountedPair>& pairs, const char* countHeading) {
    if (pairs.empty())
        return;
    *out += "<table><tr><th>" + std::string(countHeading) + "</th><th>artists</th></tr>\n";
    for (const sim::CountedPair& pair : pairs)
        *out += "<tr><td class=\"n\">" + number(pair.count) + "</td><td>" + escaped(pair.first) + " / " +
                escaped(pair.second) + "</td></tr>\n";
    *out += "</table>\n";
}

// A table of titles with their counts; nothing when there are none.
void appendTitles(std::string* out, const std::vector<sim::CountedText>& titles, const char* countHeading) {
    if (titles.empty())
        return;
    *out += "<table><tr><th>" + std::string(countHeading) + "</th><th>title</th></tr>\n";
    for (const sim::CountedText& title : titles)
        *out +=
            "<tr><td class=\"n\">" + number(title.count) + "</td><td>" + escaped(title.text) + "</td></tr>\n";
    *out += "</table>\n";
}

// A bar chart of the separation histogram: one bar per bucket, its count above it, its label below.
void appendHistogram(std::string* out, const std::vector<sim::GapBucket>& buckets) {
    int32_t most = 1;
    for (const sim::GapBucket& bucket : buckets)
        most = std::max(most, bucket.count);
    const int plotWidth = kChartWidth - kChartLeft - kChartRight;
    const int plotHeight = kChartHeight - kChartTop - kChartBottom;
    const int slot = plotWidth / static_cast<int>(buckets.size());
    const int baseline = kChartTop + plotHeight;
    char piece[400];
    std::snprintf(piece, sizeof piece,
                  "<svg width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                  "role=\"img\" aria-label=\"Histogram of tracks between two plays of the same artist\">\n"
                  "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                  kChartWidth, kChartHeight, kChartWidth, kChartHeight, kChartLeft, baseline,
                  kChartWidth - kChartRight, baseline);
    *out += piece;
    for (size_t i = 0; i < buckets.size(); i++) {
        int height = static_cast<int>(static_cast<int64_t>(buckets[i].count) * plotHeight / most);
        if (buckets[i].count > 0 && height < 3)
            height = 3; // a count of one stays visible beside a tall bar
        const int x = kChartLeft + static_cast<int>(i) * slot;
        std::snprintf(piece, sizeof piece,
                      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>"
                      "<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">%d</text>"
                      "<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">%s</text>\n",
                      x + 4, baseline - height, slot - 8, height,
                      buckets[i].withinWindow ? kWithinColour : kBarColour, x + slot / 2,
                      baseline - height - 5, static_cast<int>(buckets[i].count), x + slot / 2, baseline + 16,
                      sim::gapLabel(buckets[i]).c_str());
        *out += piece;
    }
    std::snprintf(
        piece, sizeof piece,
        "<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">tracks between two plays "
        "of the same artist</text>\n<text x=\"14\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\" "
        "transform=\"rotate(-90 14 %d)\">returns</text>\n</svg>\n",
        kChartLeft + plotWidth / 2, kChartHeight - 8, kChartTop + plotHeight / 2, kChartTop + plotHeight / 2);
    *out += piece;
}

// The section on the rule's two kinds of mistake, each list with a sentence on how to read it.
void appendRuleMistakes(std::string* out, const sim::ReportContext& context, const sim::RunStats& stats) {
    *out +=
        "<h2>What the rule got wrong</h2>\n<p>The plug-in takes the first three characters of a title for "
        "its artist (six when it begins with &quot;the&quot;). Within the artist window of " +
        number(context.limits.artistLimit) + " tracks that crude key made two kinds of mistake:</p>\n";
    *out += "<h3>Refused, though that artist had not played within the window: " +
            number(stats.misjudgedRefusals) +
            "</h3>\n<p class=\"note\">Two artists whose names begin alike: each refusal cost a track of "
            "another artist. Most frequent first.</p>\n";
    appendPairs(out, stats.misjudgedPairs, "refusals");
    *out += "<h3>Repeats let through, the same artist spelt differently within the window: " +
            number(stats.spellingRepeats) +
            "</h3>\n<p class=\"note\">One artist under two spellings: the rule saw two artists and let the "
            "second play too soon.</p>\n";
    appendPairs(out, stats.spellingPairs, "repeats");
}

} // namespace

namespace sim {

std::string renderHtmlReport(const ReportContext& context, const RunStats& stats) {
    std::string body =
        "<h1>Tuning report</h1>\n<p class=\"run\">" + escaped(runDescription(context)) + "</p>\n";
    body += "<p class=\"run\">" + escaped(limitsDescription(context)) + "</p>\n";
    for (const std::string& warning : context.warnings)
        body += "<p class=\"warn\">Warning: " + escaped(warning) + "</p>\n";

    body += "<h2>On air</h2>\n<p class=\"big\">" + number(stats.played) + " played, " +
            number(stats.skipped) + " skipped: " + escaped(skipRateText(stats)) + "</p>\n<table>\n";
    appendRow(&body, "Station time", clockText(stats.stationSeconds));
    appendRow(&body, "Longest run of skips in a row", number(stats.longestSkipRun));
    appendRow(&body, "Every entry refused in a row", countOf(stats.wholePlaylistRefusals, "time", "times"));
    appendRow(&body, "Played twice in a row", countOf(stats.playedTwiceInARow, "time", "times"));
    if (stats.unseen > 0)
        appendRow(&body, "Tracks the plug-in never looked at", number(stats.unseen));
    if (stats.unknownReasons > 0)
        appendRow(&body, "Refusals the host cannot explain", number(stats.unknownReasons));
    body += "</table>\n";
    appendTitles(&body, stats.backToBack, "twice in a row");
    if (stats.playedTwiceInARow > 0)
        body += "<p class=\"note\">" + escaped(kBackToBack) + "</p>\n";

    body += "<h2>Artist separation</h2>\n";
    if (stats.artistReturns == 0) {
        body += "<p>No artist came back.</p>\n";
    } else {
        body += "<p>" + countOf(stats.artistReturns, "return", "returns") + " of an artist; smallest " +
                countOf(stats.smallestGap, "track", "tracks") + " between, median " +
                medianText(stats.medianGap) + ".</p>\n";
        appendHistogram(&body, stats.gapHistogram);
        if (context.limits.artistLimit > 0)
            body += "<p class=\"note\"><span style=\"color:" + std::string(kWithinColour) +
                    "\">&#9632;</span> Returns within the artist window of " +
                    number(context.limits.artistLimit) +
                    " tracks: the same artist again sooner than the limit meant to allow.</p>\n";
    }
    if (stats.withoutArtist > 0)
        body += "<p class=\"note\">" +
                countOf(stats.withoutArtist, "played track has", "played tracks have") +
                " no artist before &quot; - &quot;.</p>\n";

    appendRuleMistakes(&body, context, stats);
    body += "<h2>Titles refused most often</h2>\n";
    if (stats.mostRefused.empty())
        body += "<p>None.</p>\n";
    appendTitles(&body, stats.mostRefused, "refusals");
    body += "<p class=\"note\">" + escaped(kArtistComparison) + "</p>\n";

    return htmlDocument("Tuning report: " + context.playlistName, kStyle, body);
}

} // namespace sim
