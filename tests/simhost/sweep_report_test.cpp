// The sweep's reports say what the figures say: the heading, the table, the answer and the choice
// as text, the phrases both renderings share, and the page, its texts escaped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "report/sweep_report.h"
#include "report/sweep_starving.h"
#include "simhost/sweep_cases.h"
#include "tuning/recommendation.h"
#include "tuning/replay_extent.h"
#include "tuning/sweep.h"

namespace {

// A sweep's context and rows over the forced playlist, for the report tests.
struct SweepReport : ::testing::Test {
    std::vector<sim::PlaylistEntry> playlist = spacedPlaylist();
    sim::SweepContext context;
    std::vector<sim::SweepRow> rows;
    sim::Recommendation answer = {};

    void SetUp() override {
        context.playlistName = "<b>R&B</b>.m3u";
        context.entries = 100;
        context.rotationSeconds = sim::rotationSeconds(playlist);
        context.plan = spacedPlan(800);
        context.repeatCommand = "songbeacon-host p.dll l.m3u --sweep-artist 10..16";
        ASSERT_EQ(sim::runSweep(playlist, context.plan, &rows), sim::kPlayedItsLength);
        answer = sim::recommend(rows, context.plan.goal);
    }
};

// The lines of `text`.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST_F(SweepReport, EndsWithTheRecommendedLineAndItsReason) {
    const std::string text = sim::recommendationText(context, rows, answer);
    const sim::SweepRow& chosen = rows[4];
    EXPECT_EQ(text,
              "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0\n"
              "  why: of the settings that meet every goal on every seed, the fewest skips (the title rule "
              "off): an artist back within 60 minutes 0.00 times a day on the worst seed (at most 1), a "
              "median skip rate of " +
                  sim::tenthsText(chosen.skipTenths) + " % (at most 80.0 %; worst seed " +
                  sim::tenthsText(chosen.worstSkipTenths) + " %)\n");
    // A title goal asked of runs shorter than one rotation is not judged, and the answer says so.
    context.plan.goal.unjudgedTitleGapHours = 3;
    EXPECT_NE(
        sim::recommendationText(context, rows, answer)
            .find(" %)\n  the title goal (3 hours) is not judged: each run is shorter than one rotation of "
                  "the playlist, in which no title comes back (leave out --hours); this answer rests on "
                  "the artist and skip goals alone\n"),
        std::string::npos);
}

TEST_F(SweepReport, WithoutAnAnswerTheChoiceOneLineEach) {
    context.plan.goal.maxSkipTenths = 600;
    for (sim::SweepRow& row : rows)
        row.meetsSkipGoal = row.skipTenths <= 600;
    const sim::Recommendation none = sim::recommend(rows, context.plan.goal);
    ASSERT_EQ(none.verdict, sim::kGoalsConflict);
    const std::string text = sim::recommendationText(context, rows, none);
    EXPECT_EQ(text.find("recommended:"), std::string::npos) << text;
    EXPECT_EQ(
        text.find("no setting meets every goal; the goals conflict: the settings that keep artists apart "
                  "enough skip at least "),
        0u)
        << text;
    size_t choices = 0, nearest = 0;
    for (const std::string& line : linesOf(text)) {
        if (line.compare(0, 8, "choice: ") != 0)
            continue;
        choices++;
        // As a script reads it: the two settings, then the figures, the nearest marked.
        const size_t at = line.find(" SameTitleCheckLimit=0 ");
        EXPECT_EQ(line.compare(0, 29, "choice: SameArtistCheckLimit="), 0) << line;
        EXPECT_NE(at, std::string::npos) << line;
        EXPECT_NE(line.find(" early returns of an artist a day (worst seed), skip rate "), std::string::npos);
        if (line.find("<- nearest the goals") != std::string::npos)
            nearest++;
    }
    EXPECT_EQ(choices, none.choices.size());
    EXPECT_GE(choices, 2u);
    EXPECT_EQ(nearest, 1u);
    EXPECT_NE(text.find("  nearest the goals: the choice whose larger miss is the smallest"),
              std::string::npos);
}

TEST(SweepText, ALimitOfZeroIsSaidToBeOff) {
    const struct {
        sim::SweepSetting setting;
        const char* words;
        const char* limits;
    } cases[] = {
        {{0, 0}, " (both rules off)", "off / off"},
        {{0, 50}, " (the artist rule off)", "off / 50"},
        {{7, 0}, " (the title rule off)", "7 / off"},
        {{1, 1000}, "", "1 / 1000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sim::offText(c.setting), c.words);
        EXPECT_EQ(sim::limitText(c.setting.artistLimit) + " / " + sim::limitText(c.setting.titleLimit),
                  c.limits);
    }
    // In the choice and in the table.
    sim::SweepContext context = {};
    context.plan.goal = {60, 0, 100, 100};
    std::vector<sim::SweepRow> rows = {row(0, 50, false, true, 20, 800), row(9, 50, true, false, 150, 40)};
    const sim::Recommendation none = sim::recommend(rows, context.plan.goal);
    const std::string text = sim::recommendationText(context, rows, none);
    EXPECT_NE(
        text.find("choice: SameArtistCheckLimit=0 SameTitleCheckLimit=50 8.00 early returns of an artist a "
                  "day (worst seed), skip rate 2.0 % (worst seed 2.5 %) (the artist rule off)\n"),
        std::string::npos)
        << text;
    const sim::SweepTable table = sim::sweepTable(context, rows, none);
    EXPECT_EQ(table.cells[0][0], "off");
    EXPECT_EQ(table.cells[1][0], "9");
    // In the heading: a swept range from 0, and a limit of 0 taken from plugin.ini.
    context.plan.artistLimits = {0, 1, 2};
    context.plan.titleLimits = {0};
    context.plan.artistSwept = true;
    context.plan.seeds = {1};
    const std::string heading = sim::renderSweepHeading(context);
    EXPECT_NE(heading.find("settings: SameArtistCheckLimit 0..2 (3 settings) (0: the rule off), "
                           "SameTitleCheckLimit 0 (0: the rule off) as plugin.ini holds it;"),
              std::string::npos)
        << heading;
}

TEST(SweepText, AllowancesAndRatesInWords) {
    EXPECT_EQ(sim::allowanceText(100), "at most 1 time a day");
    EXPECT_EQ(sim::allowanceText(0), "at most 0 times a day (none)");
    EXPECT_EQ(sim::allowanceText(250), "at most 2.5 times a day");
    EXPECT_EQ(sim::allowanceText(5), "at most 0.05 times a day");
    EXPECT_EQ(sim::hundredthsText(792), "7.92");
    EXPECT_EQ(sim::hundredthsText(5), "0.05");
    EXPECT_EQ(sim::hundredthsText(0), "0.00");
}

TEST(SweepPage, ALargeGridDrawsEveryCellAndTheWholeBoundary) {
    // 31 artist limits by 7 title limits, the skip goal met on a staircase of cells: a boundary
    // of many edges, longer than any one piece of the page is built in.
    sim::SweepContext context = {};
    context.plan.goal = {60, 3, 100, 100};
    context.plan.artistSwept = context.plan.titleSwept = true;
    std::vector<sim::SweepRow> rows;
    for (int32_t artist = 0; artist <= 30; artist++) {
        context.plan.artistLimits.push_back(artist);
        for (int32_t title = 0; title <= 300; title += 50) {
            rows.push_back(row(artist, title, artist >= 14, artist + title / 25 <= 20,
                               artist * 10 + title / 5, std::max(0, 1500 - artist * 100)));
        }
    }
    for (int32_t title = 0; title <= 300; title += 50)
        context.plan.titleLimits.push_back(title);
    rows.back().worstArtistPerDay = 31930; // 319.30 a day: too wide for a cell 29 pixels wide
    rows[1].skipTenths = 960;              // off / 50: nearly every track skipped
    context.distinctTitles = 350;          // a title limit of 300 leaves 50: it starves the rotation
    const sim::Recommendation answer = sim::recommend(rows, context.plan.goal);
    ASSERT_GE(answer.recommended, 0);
    const std::string page =
        sim::renderSweepHtml(context, rows, answer, {true, rows[0].setting, 3, 9, true, ""});
    size_t cells = 0;
    for (size_t at = 0; (at = page.find("<rect class=\"cell\"", at)) != std::string::npos; at++)
        cells++;
    EXPECT_EQ(cells, 3 * rows.size()) << "one cell per setting in each map: skips, artists, titles";
    EXPECT_NE(page.find("<title>30 / 300: 319.30</title>"), std::string::npos);
    EXPECT_NE(page.find(">319</text>"), std::string::npos) << "written whole, not into the next cell";
    EXPECT_EQ(page.find(">319.30</text>"), std::string::npos);
    EXPECT_NE(page.find(">15.00</text>"), std::string::npos) << "five characters fit";
    const size_t path = page.find("<path class=\"goal\" d=\"");
    ASSERT_NE(path, std::string::npos);
    const size_t end = page.find("\" fill=\"none\" stroke=\"#8a3b00\" stroke-width=\"3\"/>", path);
    ASSERT_NE(end, std::string::npos) << "the boundary is drawn whole";
    EXPECT_GT(end - path, 512u);
    // The skip goal's staircase: each title line's last cell inside has its right edge drawn.
    const std::string d = page.substr(path, end - path);
    size_t edges = 0;
    for (size_t at = 0; (at = d.find('M', at)) != std::string::npos; at++)
        edges++;
    EXPECT_GE(edges, 2u * 7u + 20u);
    // The trade-off's skip rates reach 100 % at most; the starving settings are named, not drawn.
    const std::string trade = page.substr(page.find("<svg class=\"tradeoff\""));
    EXPECT_NE(trade.find(">100</text>"), std::string::npos);
    EXPECT_EQ(trade.find(">200</text>"), std::string::npos);
    EXPECT_NE(page.find("Not drawn: 31 settings that starve the rotation"), std::string::npos);
    EXPECT_NE(page.find("30 / 300: 36.0 % skips, 319.30 a day."), std::string::npos);
}

TEST_F(SweepReport, TheHeadingStatesTheGoalsSeedsAndShortRuns) {
    context.plan.goal = {45, 3, 50, 75};
    context.plan.seeds = {10, 11, 12, 13, 14, 15, 16};
    context.plan.stationSeconds = 3 * context.rotationSeconds; // exactly three rotations: no warning
    std::string heading = sim::renderSweepHeading(context);
    EXPECT_NE(
        heading.find("\ngoals: an artist back sooner than 45 minutes after its previous start at most 0.5 "
                     "times a day on every seed; the same title sooner than 3 hours at most 0.5 times a "
                     "day; a median skip rate of at most 7.5 %\n"),
        std::string::npos)
        << heading;
    EXPECT_NE(heading.find("seeds: 10 and the 6 numbers after it;"), std::string::npos) << heading;
    EXPECT_EQ(heading.find("warning:"), std::string::npos) << heading;
    context.plan.stationSeconds--;
    context.plan.goal.perDayHundredths = 0;
    heading = sim::renderSweepHeading(context);
    EXPECT_NE(heading.find("warning: 19:59:59 of station time covers 3.0 rotations"), std::string::npos)
        << heading;
    EXPECT_NE(heading.find("previous start at most 0 times a day (none) on every seed; the same title sooner "
                           "than 3 hours at most 0 times a day (none);"),
              std::string::npos)
        << heading;
    // The settings that starve the rotation of its 100 titles, named.
    context.distinctTitles = 100;
    context.plan.titleLimits = {0, 50, 75, 100};
    EXPECT_EQ(
        sim::starvationWarnings(context),
        std::vector<std::string>{
            "SameTitleCheckLimit=75 and above starve the rotation, whatever the artist limit (14 of the "
            "28 settings): a title limit of 75 leaves 25 titles to play once all 100 have played: from "
            "the second pass on, every entry outside those few is refused, and when the artist window "
            "bars them too, one title plays again and again"});
}

TEST_F(SweepReport, TheTableLinesUpAndMarksTheRecommendedRow) {
    const std::vector<std::string> lines = linesOf(sim::renderSweepTable(context, rows, answer));
    ASSERT_GE(lines.size(), 9u);
    // Every row ends its "misjudged" column where the heading does, and shows the row's own figures.
    const size_t edge = lines[1].find("misjudged") + std::string("misjudged").size();
    for (size_t i = 2; i < 9; i++) {
        const sim::SweepRow& row = rows[i - 2];
        EXPECT_EQ(lines[i][edge], ' ') << lines[i];
        EXPECT_NE(lines[i][edge - 1], ' ') << lines[i];
        EXPECT_EQ(lines[i].compare(0, 6, "    " + std::to_string(row.setting.artistLimit)), 0) << lines[i];
        EXPECT_EQ(lines[i].compare(6, 9, "    off  "), 0) << "title limit 0: " << lines[i];
        EXPECT_NE(lines[i].find("  " + sim::tenthsText(row.skipTenths) + "  "), std::string::npos)
            << lines[i];
        EXPECT_NE(lines[i].find("  " + sim::hundredthsText(row.worstArtistPerDay) + "  "), std::string::npos)
            << lines[i];
    }
    EXPECT_NE(lines[6].find("all  <- recommended"), std::string::npos) << lines[6];
    EXPECT_NE(lines[5].find("skips"), std::string::npos) << "13 meets only the skip goal: " << lines[5];

    // A replay that was not confirmed marks no answer.
    const sim::ReplayOutcome failed = {true, rows[4].setting, 1, 0, false, ""};
    const std::string unconfirmed =
        sim::renderSweepTable(context, rows, sim::standingRecommendation(answer, failed));
    EXPECT_EQ(unconfirmed.find("<- recommended"), std::string::npos);
    EXPECT_NE(unconfirmed.find("all  <- replayed, not confirmed"), std::string::npos) << unconfirmed;
}

TEST_F(SweepReport, ThePageEscapesEveryTextAndChartsTheRecommendedSetting) {
    sim::ReplayOutcome replay = {true, rows[4].setting, 3, 1234, true, ""};
    EXPECT_EQ(
        sim::replayText(replay),
        "replay through the plug-in: SameArtistCheckLimit=14 SameTitleCheckLimit=0 (the title rule off) "
        "on 3 seeds, the plug-in decided all 1234 tracks of each seed's whole run as the mirror did\n");
    // Each seed's run replayed only as far as it showed every kind of decision it makes: the line
    // says how far, and what it showed.
    replay.wholeRuns = false;
    replay.fewestSeconds = 20 * 3600;
    replay.mostSeconds = 22 * 3600 + 30;
    replay.shareSeconds = 24 * 3600;
    replay.kindsShown = sim::kDecidedAdmitted | sim::kDecidedArtistRefusal | sim::kDecidedHistoryDropped;
    EXPECT_EQ(
        sim::replayText(replay),
        "replay through the plug-in: SameArtistCheckLimit=14 SameTitleCheckLimit=0 (the title rule off) "
        "on 3 seeds, the plug-in decided all 1234 tracks of the first 20:00:00 to 22:00:30 of each seed's "
        "run as the mirror did\n"
        "  replayed as far as each run had shown every kind of decision it makes and the plug-in's history "
        "had filled: titles admitted, refused by the artist rule, the plug-in's history full (1000 titles) "
        "and dropping its oldest\n");
    // Its share of one run's length cut a run short of a kind of decision it makes later.
    replay.cut = true;
    replay.kindsLater = sim::kDecidedLooping;
    EXPECT_NE(
        sim::replayText(replay).find("\n  replayed for at most 24:00:00 of each seed's run, its share of "
                                     "one run's length: titles admitted, refused by the artist rule, the "
                                     "plug-in's history full (1000 titles) and dropping its oldest; later "
                                     "in some runs: one title looping while every other entry is refused\n"),
        std::string::npos)
        << sim::replayText(replay);
    replay.cut = false;
    replay.kindsLater = 0;
    const std::string page = sim::renderSweepHtml(context, rows, answer, replay);
    EXPECT_EQ(page.find("<b>R&B"), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;R&amp;B&lt;/b&gt;.m3u"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("<svg class=\"curves\""), std::string::npos) << "one limit swept: curves";
    EXPECT_EQ(page.find("<svg class=\"map\""), std::string::npos);
    EXPECT_NE(page.find("<svg class=\"tradeoff\""), std::string::npos);
    EXPECT_NE(page.find("| recommended: 14 / off</text>"), std::string::npos);
    EXPECT_NE(page.find("recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0"), std::string::npos);
    EXPECT_NE(
        page.find("decided all 1234 tracks of the first 20:00:00 to 22:00:30 of each seed&#39;s run as the "
                  "mirror did"),
        std::string::npos);
    // One bar (the spread over the seeds) per setting in each of the two panels.
    size_t whiskers = 0;
    for (size_t at = 0; (at = page.find("stroke-width=\"5\"", at)) != std::string::npos; at++)
        whiskers++;
    EXPECT_EQ(whiskers, 2 * rows.size());

    for (sim::ReplayOutcome bad :
         {sim::ReplayOutcome{true, rows[4].setting, 1, 0, false, "seed 7, track 3 started: \"<i>\""},
          sim::ReplayOutcome{false, rows[4].setting, 0, 0, false, ""}}) {
        const std::string page = sim::renderSweepHtml(context, rows, answer, bad);
        EXPECT_EQ(page.find("recommended: SameArtistCheckLimit"), std::string::npos) << "no pick unconfirmed";
        EXPECT_EQ(page.find("recommended: 14"), std::string::npos);
        EXPECT_EQ(page.find("&lt;- recommended"), std::string::npos);
        if (bad.ran) {
            EXPECT_NE(page.find("&quot;&lt;i&gt;&quot;"), std::string::npos);
        }
    }
}

} // namespace
