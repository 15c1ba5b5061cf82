// The HTML report as a browser shows it: opened in headless Chromium from a file, with nothing
// else beside it. Titles that look like markup must show as text, the histogram must draw, and the
// page must need nothing from elsewhere.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "report/report.h"
#include "support/headless_browser.h"

namespace {

std::string parsedByChromium(const std::string& page) {
    return support::parsedByChromium(page, "report.html");
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
    const std::string page = sim::renderHtmlReport(context, hostileStats());

    // Self-contained: nothing to fetch, nothing to run.
    for (const char* outside : {"http", "src=", "href=", "<link", "@import", "url(", "<script", "<img"})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;

    const std::string dom = parsedByChromium(page);
    ASSERT_NE(dom.find("</html>"), std::string::npos) << dom;
    EXPECT_EQ(dom.find("<script"), std::string::npos);
    EXPECT_EQ(dom.find("<i>"), std::string::npos);
    EXPECT_EQ(dom.find("<b>"), std::string::npos);
    EXPECT_NE(dom.find("&lt;script&gt;alert(1)&lt;/script&gt; / Queen &amp; Co"), std::string::npos);
    EXPECT_NE(dom.find("Tom &amp; Jerry &lt;Live&gt; 'x'"), std::string::npos);
    EXPECT_NE(dom.find("<title>Tuning report: &lt;b&gt;list&lt;/b&gt;.m3u</title>"), std::string::npos);
    EXPECT_EQ(occurrences(dom, "<svg"), 1u);
    EXPECT_EQ(occurrences(dom, "<rect"), 6u);
    EXPECT_EQ(occurrences(dom, "fill=\"#d9822b\""), 3u) << "the buckets within the artist window";
}

} // namespace
