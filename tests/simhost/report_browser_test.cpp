// The HTML report as a browser shows it: opened in headless Chromium from a file, with nothing
// else beside it. Titles that look like markup must show as text, the histogram must draw, and the
// page must need nothing from elsewhere.
#include <gtest/gtest.h>

#include <cstdlib>
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

sim::RunStats hostileStats() {
    sim::RunStats stats = {};
    stats.played = 40;
    stats.skipped = 10;
    stats.skipRate = 0.2;
    stats.artistReturns = 12;
    stats.smallestGap = 1;
    stats.medianGap = 9;
    int32_t low = 0;
    for (int32_t high : {0, 1, 4, 9, 19, -1}) {
        stats.gapHistogram.push_back({low, high, 2, high >= 0 && high < 5});
        low = high + 1;
    }
    stats.misjudgedRefusals = 3;
    stats.misjudgedPairs = {{"<script>alert(1)</script>", "Queen & Co", 3}};
    stats.spellingRepeats = 1;
    stats.spellingPairs = {{"AC/DC", "\"ACDC\" <i>", 1}};
    stats.mostRefused = {{"Tom & Jerry <Live> 'x'", 4}};
    return stats;
}

TEST(ReportInBrowser, TitlesShowAsTextAndTheHistogramDraws) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    const sim::ReportContext context = {"<b>list</b>.m3u", 50, false, 0, 0, 0, true, {5, 20, true}, {}};
    const std::string dom = parsedSelfContained(sim::renderHtmlReport(context, hostileStats()));
    EXPECT_NE(dom.find("&lt;script&gt;alert(1)&lt;/script&gt; / Queen &amp; Co"), std::string::npos);
    EXPECT_NE(dom.find("Tom &amp; Jerry &lt;Live&gt; 'x'"), std::string::npos);
    EXPECT_NE(dom.find("<title>Tuning report: &lt;b&gt;list&lt;/b&gt;.m3u</title>"), std::string::npos);
    EXPECT_EQ(occurrences(dom, "<svg"), 1u);
    EXPECT_EQ(occurrences(dom, "<rect"), 6u);
    EXPECT_EQ(occurrences(dom, "fill=\"#d9822b\""), 3u) << "the buckets within the artist window";
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
