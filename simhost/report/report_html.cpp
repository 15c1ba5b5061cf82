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

// A table of pairs (of artists, or of titles) with their counts; nothing when there are none.
void appendPairs(std::string* out, const std::vector<sim::CountedPair>& pairs, const char* countHeading,
                 const char* pairHeading = "artists") {
    if (pairs.empty())
        return;
    *out += "<table><tr><th>" + std::string(countHeading) + "</th><th>" + pairHeading + "</th></tr>\n";
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

// Played twice in a row, by cause: a table per cause, with a sentence on how to read it.
void appendPlayedTwice(std::string* out, const sim::RunStats& stats) {
    if (!stats.looping.empty()) {
        *out += "<h3>One title looping: played again once every other entry was refused</h3>\n"
                "<table><tr><th>replays</th><th>title</th><th>laps of refusals</th></tr>\n";
        for (const sim::LoopingTitle& loop : stats.looping)
            *out += "<tr><td class=\"n\">" + number(loop.replays) + "</td><td>" + escaped(loop.title) +
                    "</td><td>" + escaped(sim::loopText(loop)) + "</td></tr>\n";
        *out += "</table>\n<p class=\"note\">" + escaped(sim::kLoopingTitle) + "</p>\n";
    }
    if (stats.againDuplicates > 0) {
        *out +=
            "<h3>Another entry with the same title: " + sim::countOf(stats.againDuplicates, "time", "times") +
            "</h3>\n";
        appendTitles(out, stats.duplicateBackToBack, "twice in a row");
    }
    if (stats.againCameRound > 0) {
        *out += "<h3>The same entry again as the play order came round, the entries between all refused: " +
                sim::countOf(stats.againCameRound, "time", "times") + "</h3>\n";
        appendTitles(out, stats.cameRoundBackToBack, "twice in a row");
    }
    if (stats.playedTwiceInARow > 0)
        *out += "<p class=\"note\">" + escaped(sim::kBackToBack) + "</p>\n";
    if (stats.listedTwice.empty())
        return;
    *out += "<h3>Titles listed more than once: " + number(static_cast<int64_t>(stats.listedTwice.size())) +
            "</h3>\n<p class=\"note\">They can play back to back, and no limit stops that.</p>\n"
            "<table><tr><th>title</th><th>listed as</th></tr>\n";
    for (const sim::ListedTwice& listed : stats.listedTwice)
        *out += "<tr><td>" + escaped(listed.title) + "</td><td>" + escaped(sim::entryNumbersText(listed)) +
                "</td></tr>\n";
    *out += "</table>\n";
}

// The artists who came back within the window, with their closest return.
void appendWithinWindow(std::string* out, const std::vector<sim::ReturnsWithinWindow>& artists) {
    if (artists.empty())
        return;
    *out += "<table><tr><th>returns</th><th>artist back within the window</th><th>closest</th></tr>\n";
    for (const sim::ReturnsWithinWindow& returns : artists)
        *out += "<tr><td class=\"n\">" + number(returns.returns) + "</td><td>" + escaped(returns.artist) +
                "</td><td>" + escaped(sim::closestReturnText(returns)) + "</td></tr>\n";
    *out += "</table>\n";
}

// The section on the rule's mistakes, each list with a sentence on how to read it; one sentence
// when there is no artist rule to judge.
void appendRuleMistakes(std::string* out, const sim::ReportContext& context, const sim::RunStats& stats) {
    *out += "<h2>What the rule got wrong</h2>\n";
    if (sim::reportedArtistWindow(context) <= 0) {
        *out += "<p>Nothing to judge: " + escaped(sim::artistWindowText(context)) + ".</p>\n";
        return;
    }
    *out +=
        "<p>The plug-in takes the first three characters of a title for its artist (six when it begins with "
        "&quot;the&quot;). Within the artist window of " +
        number(sim::reportedArtistWindow(context)) +
        " tracks that crude key made two kinds of mistake:</p>\n";
    *out += "<h3>Refused, though that artist had not played within the window: " +
            number(stats.misjudgedRefusals) +
            "</h3>\n<p class=\"note\">Two artists whose names begin alike: each refusal cost a track of "
            "another artist. Most frequent first.</p>\n";
    appendPairs(out, stats.misjudgedPairs, "refusals");
    if (stats.probablySameRefusals > 0) {
        *out +=
            "<h3>Probably the same artist under two names, refused as meant: " +
            number(stats.probablySameRefusals) +
            "</h3>\n<p class=\"note\">One name extends the other with the act it plays with, or they differ "
            "only in &quot;&amp;&quot;, &quot;and&quot; or &quot;n&#39;&quot;: not counted above.</p>\n";
        appendPairs(out, stats.probablySamePairs, "refusals");
    }
    if (stats.noArtistRefusals > 0) {
        *out +=
            "<h3>Titles without an artist, refused by the artist rule: " + number(stats.noArtistRefusals) +
            "</h3>\n<p class=\"note\">" + escaped(sim::noArtistAdvice(stats)) + "</p>\n";
        appendPairs(out, stats.noArtistPairs, "refusals", "titles");
    }
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
    for (const std::string& warning : runWarnings(context, stats))
        body += "<p class=\"warn\">Warning: " + escaped(warning) + "</p>\n";

    body += "<h2>On air</h2>\n<p class=\"big\">" + number(stats.played) + " played, " +
            number(stats.skipped) + " skipped: " + escaped(skipRateText(stats)) + "</p>\n<table>\n";
    appendRow(&body, "Station time", clockText(stats.stationSeconds));
    appendRow(&body, "Rotation", rotationText(stats));
    appendRow(&body, "Longest run of skips in a row", longestSkipRunText(stats));
    appendRow(&body, "Every entry refused in a row", countOf(stats.wholePlaylistRefusals, "time", "times"));
    if (stats.loopLaps > 0)
        appendRow(&body, "Every entry but one refused, lap after lap",
                  countOf(stats.loopLaps, "lap", "laps"));
    appendRow(&body, "Played twice in a row", countOf(stats.playedTwiceInARow, "time", "times"));
    if (stats.unseen > 0)
        appendRow(&body, "Tracks the plug-in never looked at", number(stats.unseen));
    if (stats.unknownReasons > 0)
        appendRow(&body, "Refusals the host cannot explain", number(stats.unknownReasons));
    body += "</table>\n";
    appendPlayedTwice(&body, stats);

    body += "<h2>Artist separation</h2>\n<p>" +
            (stats.artistReturns == 0 ? std::string("No artist came back") : escaped(separationText(stats))) +
            ".</p>\n";
    if (stats.artistReturns > 0) {
        body += "<p>" + escaped(separationTimeText(stats)) + ".</p>\n";
        appendHistogram(&body, stats.gapHistogram);
        if (reportedArtistWindow(context) > 0) {
            body += "<p class=\"note\"><span style=\"color:" + std::string(kWithinColour) +
                    "\">&#9632;</span> Returns within the artist window of " +
                    number(reportedArtistWindow(context)) +
                    " tracks: the same artist again sooner than the limit meant to allow.</p>\n";
            appendWithinWindow(&body, stats.withinWindow);
        }
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
