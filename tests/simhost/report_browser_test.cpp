// The HTML reports as a browser shows them: opened in headless Chromium from a file, with nothing
// else beside them. Titles that look like markup must show as text, the run's histogram must draw
// each bucket's own count at its own height in its own colour, and the pages must need nothing
// from elsewhere. Every figure differs from every other, so that one shown in another's place shows.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "report/report.h"
#include "report/sweep_report.h"
#include "support/headless_browser.h"

namespace {

std::string parsedByChromium(const std::string& page) {
    return support::parsedByChromium(page, "report.html");
}

// `page` as Chromium parsed it, after checking that the page is self-contained (nothing to fetch,
// nothing to run) and that the whole of it was read, with no script and no <b> or <i> from a title.
std::string parsedSelfContained(const std::string& page) {
    for (const char* outside : {"http", "src=", "href=", "<link", "@import", "url(", "<script", "<img"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    const std::string dom = parsedByChromium(page);
    EXPECT_NE(dom.find("</html>"), std::string::npos) << dom;
    for (const char* markup : {"<script", "<i>", "<b>"})
        EXPECT_EQ(dom.find(markup), std::string::npos) << markup;
    return dom;
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        count++;
    return count;
}

// Each match of `pattern`'s first group in `text`, in order.
std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression); it != std::sregex_iterator();
         ++it)
        found.push_back((*it)[1].str());
    return found;
}

// A run with no two figures alike, titles that look like markup, and an artist window of 3.
sim::RunStats hostileStats() {
    sim::RunStats stats = {};
    stats.played = 37;
    stats.skipped = 11;
    stats.skipRate = 11.0 / 48.0;
    stats.stationSeconds = 2 * 3600 + 7 * 60 + 5;
    stats.entries = 19;
    stats.passes = 48.0 / 19.0;
    stats.longestSkipRun = 6;
    stats.longestSkipRunEntries = 5;
    stats.artistReturns = 17;
    stats.smallestGap = 1;
    stats.medianGap = 3;
    stats.shortestGapSeconds = 250;
    stats.medianGapSeconds = 845;
    const int32_t counts[] = {0, 5, 1, 9, 2, 0};
    int32_t low = 0, i = 0;
    for (int32_t high : {0, 1, 2, 4, 9, -1}) {
        stats.gapHistogram.push_back({low, high, counts[i++], high >= 0 && high < 3});
        low = high + 1;
    }
    stats.withinWindow = {{"<u>Abba</u>", 4, 1, 250}};
    stats.playedTwiceInARow = 3;
    stats.loopLaps = 4;
    stats.looping = {{"<b>loop</b> - Song", 2, 4, 18}};
    stats.againDuplicates = 1;
    stats.duplicateBackToBack = {{"Jingle <1>", 1}};
    stats.listedTwice = {{"Jingle <1>", {4, 12}}};
    stats.misjudgedRefusals = 3;
    stats.misjudgedPairs = {{"<script>alert(1)</script>", "Queen & Co", 3}};
    stats.probablySameRefusals = 2;
    stats.probablySamePairs = {{"Bob Marley", "Bob Marley & The Wailers", 2}};
    stats.noArtistRefusals = 1;
    stats.noArtistPairs = {{"ID <long>", "ID <short>", 1}};
    stats.spellingRepeats = 1;
    stats.spellingPairs = {{"AC/DC", "\"ACDC\" <i>", 1}};
    stats.mostRefused = {{"Tom & Jerry <Live> 'x'", 4}};
    return stats;
}

TEST(ReportInBrowser, TitlesShowAsTextAndTheHistogramDrawsEachBucket) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    const sim::ReportContext context = {"<b>list</b>.m3u", 19, false, 0, 0, 0, true, {3, 20, true}, {}, 0};
    const std::string dom = parsedSelfContained(sim::renderHtmlReport(context, hostileStats()));
    for (const char* markup : {"<u>", "<1>", "<long>"})
        EXPECT_EQ(dom.find(markup), std::string::npos) << markup;
    for (const char* text :
         {"&lt;script&gt;alert(1)&lt;/script&gt; / Queen &amp; Co", "Tom &amp; Jerry &lt;Live&gt; 'x'",
          "<title>Tuning report: &lt;b&gt;list&lt;/b&gt;.m3u</title>", "&lt;b&gt;loop&lt;/b&gt; - Song",
          "the other 18 entries refused lap after lap: 4 laps", "Jingle &lt;1&gt;</td><td>entries 4, 12",
          "Bob Marley / Bob Marley &amp; The Wailers", "ID &lt;long&gt; / ID &lt;short&gt;",
          "&lt;u&gt;Abba&lt;/u&gt;</td><td>1 track, 4 min"})
        EXPECT_NE(dom.find(text), std::string::npos) << text;

    // The figures, each where it belongs.
    for (const char* figure :
         {"<p class=\"big\">37 played, 11 skipped: 22.9 % of the 48 tracks started</p>",
          "<th>Station time</th><td>2:07:05</td>",
          "<th>Rotation</th><td>2.5 passes through the playlist's 19 entries (it came round 2 times)</td>",
          "<th>Longest run of skips in a row</th><td>6 (5 of the 19 entries)</td>",
          "<th>Every entry but one refused, lap after lap</th><td>4 laps</td>",
          "<th>Played twice in a row</th><td>3 times</td>",
          "17 returns of an artist; tracks between: smallest 1, median 3.",
          "time from start to start: shortest 4 min, median 14 min.",
          "Warning: the run ended after 2.5 passes through the playlist"})
        EXPECT_NE(dom.find(figure), std::string::npos) << figure;

    // One bar per bucket: its height in proportion to its count (the tallest 188 high), its count
    // above it and its label below, coloured as within the window up to 2 tracks between.
    EXPECT_EQ(occurrences(dom, "<svg"), 1u);
    EXPECT_EQ(matches(dom, "<rect [^>]*height=\"([0-9]+)\""),
              std::vector<std::string>({"0", "104", "20", "188", "41", "0"}));
    EXPECT_EQ(matches(dom, "<rect [^>]*fill=\"(#[0-9a-f]+)\""),
              std::vector<std::string>({"#d9822b", "#d9822b", "#d9822b", "#2f6f9f", "#2f6f9f", "#2f6f9f"}));
    EXPECT_EQ(matches(dom, "<text [^>]*>([^<]*)</text>"),
              std::vector<std::string>({"0", "0", "5", "1", "1", "2", "9", "3-4", "2", "5-9", "0", "10+",
                                        "tracks between two plays of the same artist", "returns"}));
}

// One seed's figures: a skip rate, and one return of an artist after `gapMinutes`.
sim::SeedFigures seed(double skipRate, int64_t gapMinutes) {
    sim::SeedFigures figures = {};
    figures.skipRate = skipRate;
    figures.stationSeconds = 72 * 3600;
    figures.gapSeconds = {gapMinutes * 60};
    figures.gapTracks = {static_cast<int32_t>(gapMinutes / 4)};
    figures.gapReachedBy95 = gapMinutes * 60;
    figures.returnsWithinGoal = gapMinutes < 60 ? 1 : 0;
    figures.shareApart = 1.0 - figures.returnsWithinGoal;
    return figures;
}

TEST(ReportInBrowser, TheSweepPageIsSelfContainedAndShowsItsTextsAsText) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    sim::SweepContext context = {};
    context.playlistName = "<b>list</b> & 'more'.m3u";
    context.entries = 400;
    context.rotationSeconds = 23 * 3600;
    context.plan = {{8, 9, 10}, {150}, true, false, {7, 8, 9}, 72 * 3600, {60, 10.0}};
    context.repeatCommand = "songbeacon-host p.dll '<b>list</b> & '\\''more'\\''.m3u' --sweep-artist 8..10";
    std::vector<sim::SweepRow> rows;
    for (int32_t limit : {8, 9, 10})
        rows.push_back(sim::sweepRow({limit, 150},
                                     {seed(0.01 * limit, 7 * limit), seed(0.01 * limit, 7 * limit + 5),
                                      seed(0.012 * limit, 7 * limit - 3)},
                                     context.plan.goal));
    const sim::Recommendation answer = sim::recommend(rows);
    ASSERT_EQ(answer.recommended, 1) << "9 is the smallest limit that meets both goals";
    const sim::ReplayOutcome replay = {
        true, rows[1].setting, 3,
        4500, false,           "seed 8, track 3 started: the plug-in played entry 4 \"<i>x</i>\""};
    const std::string dom = parsedSelfContained(sim::renderSweepHtml(context, rows, answer, replay));
    EXPECT_NE(dom.find("<title>Sweep: &lt;b&gt;list&lt;/b&gt; &amp; 'more'.m3u</title>"), std::string::npos);
    EXPECT_NE(dom.find("the plug-in played entry 4 \"&lt;i&gt;x&lt;/i&gt;\""), std::string::npos);
    EXPECT_EQ(occurrences(dom, "<svg"), 1u);
    EXPECT_EQ(occurrences(dom, "<polyline"), 2u) << "the skip rate and the artist gap";
    EXPECT_EQ(occurrences(dom, "<circle"), 6u) << "three settings in each panel";
    EXPECT_NE(dom.find("replayed, the plug-in disagreed: 9 / 150"), std::string::npos)
        << "the replayed setting is marked, but not as an answer";
    EXPECT_EQ(dom.find("recommended: SameArtistCheckLimit"), std::string::npos);
}

} // namespace
