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
#include "tuning/station_limits.h"
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

// One seed's figures: a skip rate and the early returns of an artist a day, in hundredths.
sim::SeedFigures seed(uint64_t number, double skipRate, int32_t perDay) {
    sim::SeedFigures figures = {};
    figures.seed = number;
    figures.skipRate = skipRate;
    figures.stationSeconds = 72 * 3600;
    figures.artistReturns = 40;
    figures.earlyArtist = perDay * 3 / 100;
    figures.artistPerDay = perDay;
    figures.shortestGapSeconds = 600 + perDay;
    figures.medianGapSeconds = 3000 + perDay;
    return figures;
}

// A grid of three artist limits by two title limits, on three seeds that differ: the worst seed is
// a different one in each row, and no two figures shown are alike.
struct SweepPage {
    sim::SweepContext context = {};
    std::vector<sim::SweepRow> rows;

    SweepPage() {
        context.playlistName = "<b>list</b> & 'more'.m3u";
        context.entries = 400;
        context.rotationSeconds = 23 * 3600;
        context.plan = {{8, 9, 10}, {0, 150}, true, true, {7, 8, 9}, 72 * 3600, {60, 3, 100, 100}};
        context.repeatCommand =
            "songbeacon-host p.dll '<b>list</b> & '\\''more'\\''.m3u' --sweep-artist 8..10";
        for (int32_t artist : {8, 9, 10})
            for (int32_t title : {0, 150}) {
                const int32_t k = (artist - 8) * 2 + (title > 0 ? 1 : 0); // 0..5
                std::vector<sim::SeedFigures> seeds = {seed(7, 0.041 + 0.011 * k, 40 + 7 * k),
                                                       seed(8, 0.046 + 0.011 * k, 30 + 5 * k),
                                                       seed(9, 0.038 + 0.011 * k, 20 + 3 * k)};
                seeds[static_cast<size_t>(k % 3)].artistPerDay = 250 - 30 * k; // the worst, here or there
                rows.push_back(sim::sweepRow({artist, title}, seeds, context.plan.goal));
            }
    }
};

// The boxes of the texts of `svg` (font size 11 to 13, about 0.6 of it a character), none rotated;
// true when two of them overlap.
bool labelsCross(const std::string& svg, std::string* which) {
    struct Box {
        double left, right, top, bottom;
        std::string text;
    };
    std::vector<Box> boxes;
    const std::regex text("<text ([^>]*)>([^<]*)</text>");
    const std::regex number("(x|y|font-size)=\"(-?[0-9.]+)\"");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), text); it != std::sregex_iterator(); ++it) {
        const std::string attributes = (*it)[1].str(), content = (*it)[2].str();
        if (attributes.find("rotate") != std::string::npos)
            continue;
        double x = 0, y = 0, size = 12;
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), number);
             a != std::sregex_iterator(); ++a)
            ((*a)[1] == "x" ? x : (*a)[1] == "y" ? y : size) = std::stod((*a)[2].str());
        const double width = 0.6 * size * static_cast<double>(content.size());
        const double left = attributes.find("text-anchor=\"end\"") != std::string::npos      ? x - width
                            : attributes.find("text-anchor=\"middle\"") != std::string::npos ? x - width / 2
                                                                                             : x;
        boxes.push_back({left, left + width, y - 0.8 * size, y + 0.2 * size, content});
    }
    for (size_t i = 0; i < boxes.size(); i++)
        for (size_t j = i + 1; j < boxes.size(); j++)
            if (boxes[i].left < boxes[j].right && boxes[j].left < boxes[i].right &&
                boxes[i].top < boxes[j].bottom && boxes[j].top < boxes[i].bottom) {
                *which = "\"" + boxes[i].text + "\" and \"" + boxes[j].text + "\"";
                return true;
            }
    return false;
}

// Each <svg> of `dom` whose class is `css`.
std::vector<std::string> svgsOf(const std::string& dom, const std::string& css) {
    std::vector<std::string> found;
    const std::string opening = "<svg class=\"" + css + "\"";
    for (size_t at = dom.find(opening); at != std::string::npos; at = dom.find(opening, at + 1))
        found.push_back(dom.substr(at, dom.find("</svg>", at) - at));
    return found;
}

TEST(ReportInBrowser, TheSweepPageShowsEveryFigureWhereItBelongs) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    SweepPage sweep;
    const std::vector<sim::SweepRow>& rows = sweep.rows;
    const sim::Recommendation answer = sim::recommend(rows, sweep.context.plan.goal);
    // Rows 0..5: worst seeds 2.50, 2.20, 1.90, 1.60, 1.30 and 1.00 a day: only 10 / 150 meets the
    // artist goal, at 9.6 % skips (the median; its worst seed 10.1 %).
    ASSERT_EQ(answer.recommended, 5);
    const sim::ReplayOutcome replay = {true, rows[5].setting, 3, 4500, true, ""};
    sweep.context.station = sim::stationLimitsOf(true, {8, 0, true}); // the station now: 8 / off, row 0
    const std::string dom = parsedSelfContained(sim::renderSweepHtml(sweep.context, rows, answer, replay));
    EXPECT_NE(dom.find("<title>Sweep: &lt;b&gt;list&lt;/b&gt; &amp; 'more'.m3u</title>"), std::string::npos);

    // A map per goal: one cell per setting, each with its own figure, the answer ringed in each.
    const std::vector<std::string> maps = svgsOf(dom, "map");
    ASSERT_EQ(maps.size(), 3u);
    std::vector<std::string> skips, returns;
    for (const sim::SweepRow& row : rows) {
        const std::string setting =
            sim::limitText(row.setting.artistLimit) + " / " + sim::limitText(row.setting.titleLimit) + ": ";
        skips.push_back(setting + sim::tenthsText(row.skipTenths));
        returns.push_back(setting + sim::hundredthsText(row.worstArtistPerDay));
    }
    EXPECT_EQ(matches(maps[0], "<rect class=\"cell\"[^>]*><title>([^<]*)</title>"),
              (std::vector<std::string>{"8 / off: 4.1", "8 / 150: 5.2", "9 / off: 6.3", "9 / 150: 7.4",
                                        "10 / off: 8.5", "10 / 150: 9.6"}));
    EXPECT_EQ(matches(maps[0], "<rect class=\"cell\"[^>]*><title>([^<]*)</title>"), skips);
    EXPECT_EQ(matches(maps[1], "<rect class=\"cell\"[^>]*><title>([^<]*)</title>"),
              (std::vector<std::string>{"8 / off: 2.50", "8 / 150: 2.20", "9 / off: 1.90", "9 / 150: 1.60",
                                        "10 / off: 1.30", "10 / 150: 1.00"}));
    EXPECT_EQ(matches(maps[1], "<rect class=\"cell\"[^>]*><title>([^<]*)</title>"), returns);
    EXPECT_EQ(matches(maps[1], "<text class=\"figure\"[^>]*>([^<]*)</text>"),
              (std::vector<std::string>{"2.50", "2.20", "1.90", "1.60", "1.30", "1.00"}));
    // Each map's colour scale names its values: 0, round numbers, the goal (1 a day) and the most,
    // each at the place of its colour (the square root of its share of the most).
    EXPECT_EQ(matches(maps[1], "<text class=\"scale\"[^>]*>([^<]*)</text>"),
              (std::vector<std::string>{"0", "0.05", "0.2", "0.5", "1", "2.5"}));
    EXPECT_EQ(matches(maps[1], "<text class=\"scale\" x=\"([0-9]+)\"[^>]*>1</text>"),
              std::vector<std::string>{std::to_string(64 + 190)});
    for (const std::string& map : maps) {
        EXPECT_EQ(occurrences(map, "<rect class=\"mark\""), 1u);
        EXPECT_NE(map.find("ringed: recommended: 10 / 150"), std::string::npos);
        // The answer's cell and the station's, named beside their lines and in the key.
        EXPECT_EQ(occurrences(map, "<rect class=\"now\""), 1u);
        EXPECT_EQ(matches(map, "<text class=\"(?:mark|now)\"[^>]*>(\xE2\x86\x90 [^<]*)</text>"),
                  (std::vector<std::string>{"\xE2\x86\x90 recommended", "\xE2\x86\x90 now"}));
        EXPECT_NE(map.find(">dashed: now: 8 / off</text>"), std::string::npos);
        EXPECT_NE(map.find(">the goal is met inside the thick line: "), std::string::npos);
        EXPECT_GE(occurrences(map, "<rect class=\"scale\""), 50u);
        EXPECT_NE(map.find("<path class=\"goal\""), std::string::npos) << "the goal's boundary";
        std::string crossing;
        EXPECT_FALSE(labelsCross(map, &crossing)) << crossing;
    }
    // The artist goal's boundary: the one cell that meets it, 10 / 150, bottom right, on all sides.
    EXPECT_EQ(matches(maps[1], "<path class=\"goal\" d=\"([^\"]*)\"").size(), 1u);
    EXPECT_EQ(occurrences(matches(maps[1], "<path class=\"goal\" d=\"([^\"]*)\"").front(), "M"), 4u);

    // The trade-off: every setting a dot with its figures, the answer ringed.
    const std::vector<std::string> trade = svgsOf(dom, "tradeoff");
    ASSERT_EQ(trade.size(), 1u);
    EXPECT_EQ(
        matches(trade[0], "<circle class=\"setting\"[^>]*><title>([^<]*)</title>"),
        (std::vector<std::string>{"8 / off: 4.1 % skips, 2.50 a day", "8 / 150: 5.2 % skips, 2.20 a day",
                                  "9 / off: 6.3 % skips, 1.90 a day", "9 / 150: 7.4 % skips, 1.60 a day",
                                  "10 / off: 8.5 % skips, 1.30 a day", "10 / 150: 9.6 % skips, 1.00 a day"}));
    EXPECT_EQ(occurrences(trade[0], "<circle class=\"mark\""), 1u);
    EXPECT_EQ(occurrences(trade[0], "<rect class=\"now\""), 1u);
    EXPECT_NE(trade[0].find(">dashed square: now: 8 / off</text>"), std::string::npos);
    EXPECT_NE(trade[0].find("<polyline class=\"frontier\""), std::string::npos);
    std::string crossing;
    EXPECT_FALSE(labelsCross(trade[0], &crossing)) << crossing;

    // The table: each row's own figures, the answer's row marked, the goals column kept in view.
    const std::vector<std::string> tableRows = matches(dom, "(<tr[^>]*>(?:<td[^>]*>[^<]*</td>)+)</tr>");
    ASSERT_EQ(tableRows.size(), rows.size());
    for (size_t r = 0; r < rows.size(); r++) {
        const std::vector<std::string> cells = matches(tableRows[r], "<td[^>]*>([^<]*)</td>");
        ASSERT_GE(cells.size(), 9u);
        // Limits, then the goals (never out of view), then the figures.
        EXPECT_EQ(cells[0], sim::limitText(rows[r].setting.artistLimit)) << r;
        EXPECT_EQ(cells[1], sim::limitText(rows[r].setting.titleLimit)) << r;
        EXPECT_EQ(cells[2].substr(0, 3), r == 5 ? "all" : "tit") << cells[2];
        EXPECT_EQ(cells[3], sim::tenthsText(rows[r].skipTenths)) << r;
        EXPECT_EQ(cells[4], sim::tenthsText(rows[r].worstSkipTenths)) << r;
        EXPECT_EQ(cells[6], sim::hundredthsText(rows[r].worstArtistPerDay)) << r;
        EXPECT_EQ(tableRows[r].find("<tr class=\"mark\">") == 0, r == 5) << r;
        EXPECT_EQ(tableRows[r].find("<tr class=\"now\">") == 0, r == 0) << r;
        EXPECT_EQ(matches(tableRows[r], "<td class=\"(goals)\">").size(), 1u) << r;
    }
    EXPECT_NE(dom.find("<div class=\"scroll\"><table>"), std::string::npos);
    EXPECT_NE(dom.find(".scroll{overflow-x:auto"), std::string::npos);
    for (const std::string& width : matches(dom, "<svg [^>]*width=\"([0-9]+)\""))
        EXPECT_LE(std::stoi(width), 1100) << "every picture fits a 1200-pixel window";
}

TEST(ReportInBrowser, TheSweepPageIsSelfContainedAndShowsItsTextsAsText) {
    if (!support::chromiumInstalled())
        GTEST_SKIP() << support::kChromium << " is not installed";
    SweepPage sweep;
    sweep.context.plan.titleLimits = {150};
    sweep.context.plan.titleSwept = false;
    std::vector<sim::SweepRow> rows;
    for (size_t i = 1; i < sweep.rows.size(); i += 2)
        rows.push_back(sweep.rows[i]);
    const sim::Recommendation answer = sim::recommend(rows, sweep.context.plan.goal);
    ASSERT_EQ(answer.recommended, 2) << "10 / 150";
    const sim::ReplayOutcome replay = {
        true, rows[2].setting, 3,
        4500, false,           "seed 8, track 3 started: the plug-in played entry 4 \"<i>x</i>\""};
    const std::string dom = parsedSelfContained(sim::renderSweepHtml(sweep.context, rows, answer, replay));
    EXPECT_NE(dom.find("the plug-in played entry 4 \"&lt;i&gt;x&lt;/i&gt;\""), std::string::npos);
    EXPECT_EQ(occurrences(dom, "<svg class=\"curves\""), 1u) << "one limit swept: curves, no map";
    EXPECT_EQ(occurrences(dom, "<svg class=\"map\""), 0u);
    const std::vector<std::string> curves = svgsOf(dom, "curves");
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(occurrences(curves[0], "<polyline"), 2u) << "the skip rate and the early returns";
    EXPECT_EQ(occurrences(curves[0], "<circle"), 6u) << "three settings in each panel";
    std::string crossing;
    EXPECT_FALSE(labelsCross(curves[0], &crossing)) << crossing;
    EXPECT_NE(dom.find("replayed, the plug-in disagreed: 10 / 150"), std::string::npos)
        << "the replayed setting is marked, but not as an answer";
    const std::vector<std::string> marked =
        matches(dom, "<tr class=\"mark\">((?:<td[^>]*>[^<]*</td>)+)</tr>");
    ASSERT_EQ(marked.size(), 1u) << "the replayed row, unconfirmed";
    EXPECT_EQ(matches(marked[0], "<td[^>]*>([^<]*)</td>")[2], "all  &lt;- replayed, not confirmed");
    EXPECT_EQ(dom.find("recommended: SameArtistCheckLimit"), std::string::npos);
    EXPECT_EQ(dom.find("recommended: 10"), std::string::npos);
}

} // namespace
