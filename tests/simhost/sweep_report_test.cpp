// The sweep's reports say what the figures say: the heading, the table, the answer and the choice
// as text, the phrases both renderings share, and the page, its texts escaped.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "report/sweep_page.h"
#include "report/sweep_report.h"
#include "report/sweep_starving.h"
#include "simhost/sweep_cases.h"
#include "tuning/recommendation.h"
#include "tuning/station_limits.h"
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
    EXPECT_EQ(
        text,
        "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0\n"
        "  why: of the settings that meet every goal on every seed, the fewest skips (the title rule "
        "off): an artist back within 60 minutes 0.00 times a day on the worst seed (at most 1), a "
        "median skip rate of " +
            sim::tenthsText(chosen.skipTenths) + " % (at most 80.0 %; worst seed " +
            sim::tenthsText(chosen.worstSkipTenths) +
            " %)\n"
            "  the title rule is off in every setting swept, so what switching it on costs is not known "
            "(--sweep-title tries it)\n");
    // A title goal asked of runs shorter than one rotation is not judged, and the answer says so.
    context.plan.goal.unjudgedTitleGapHours = 3;
    EXPECT_NE(
        sim::recommendationText(context, rows, answer)
            .find(" %)\n  the title goal (3 hours) is not judged: each run is shorter than one rotation of "
                  "the playlist, in which no title comes back (leave out --hours); this answer rests on "
                  "the artist and skip goals alone\n"),
        std::string::npos);
}

TEST_F(SweepReport, AnArtistGoalNotJudgedIsSaidAndLeftOutOfTheAnswer) {
    context.plan.goal.artistUnjudged = true;
    const std::string heading = sim::renderSweepHeading(context);
    EXPECT_NE(
        heading.find("\ngoals: an artist back sooner than 60 minutes after its previous start: not judged, "),
        std::string::npos)
        << heading;
    const std::string text = sim::recommendationText(context, rows, answer);
    EXPECT_NE(text.find("the fewest skips (the title rule off): a median skip rate of "), std::string::npos)
        << text;
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

// The real list's case: the fewest skips switch the title rule off, and a title limit costs next
// to nothing; the answer names the safer choice, or else what switching the rule on costs.
TEST(SweepText, TheSaferChoiceAndWhatARuleOnCosts) {
    sim::SweepContext context = {};
    context.plan.goal = {60, 3, 100, 110};
    std::vector<sim::SweepRow> rows = {row(5, 0, true, true, 100, 50), row(5, 50, true, true, 101, 50)};
    rows[0].worstTitlePerDay = 49;
    sim::Recommendation answer = sim::recommend(rows, context.plan.goal);
    ASSERT_EQ(answer.recommended, 0);
    std::string text = sim::recommendationText(context, rows, answer);
    EXPECT_NE(
        text.find(
            " %)\nsafer nearby: SameArtistCheckLimit=5 SameTitleCheckLimit=50, 0.1 points more skips "
            "(10.1 %) for 0.49 fewer early returns a day: 0.50 of an artist and 0.00 of a title, against "
            "0.50 of an artist and 0.49 of a title (the fewest early returns within 0.5 points more "
            "skips)\n"),
        std::string::npos)
        << text;
    EXPECT_EQ(text.find("with the title rule on"), std::string::npos) << "the safer line says it: " << text;
    EXPECT_NE(sim::renderSweepTable(context, rows, answer).find("<- safer"), std::string::npos);

    rows[1].skipTenths = 110; // a whole point more: beyond the margin, but within the goal
    answer = sim::recommend(rows, context.plan.goal);
    text = sim::recommendationText(context, rows, answer);
    EXPECT_EQ(text.find("safer nearby"), std::string::npos) << text;
    EXPECT_NE(
        text.find(" %)\n  with the title rule on: SameArtistCheckLimit=5 SameTitleCheckLimit=50, 1.0 point "
                  "more skips (a median skip rate of 11.0 %), the same title within 3 hours 0.00 times a day "
                  "instead of 0.49\n"),
        std::string::npos)
        << text;
    rows[1].meetsSkipGoal = false;
    answer = sim::recommend(rows, context.plan.goal);
    EXPECT_NE(
        sim::recommendationText(context, rows, answer).find("instead of 0.49; it misses the skip goal\n"),
        std::string::npos);
}

// Every goal met by some setting, but the artist and title goals never by the same one: said as
// such, not as a skip rate of "0.-1 %".
TEST(SweepText, ArtistAndTitleGoalsMetOnlyApartConflict) {
    sim::SweepContext context = {};
    context.plan.goal = {60, 3, 100, 100};
    const std::vector<sim::SweepRow> rows = {row(3, 50, false, true, 40, 500, true),
                                             row(14, 0, true, true, 60, 0, false)};
    const sim::Recommendation none = sim::recommend(rows, context.plan.goal);
    ASSERT_EQ(none.verdict, sim::kGoalsConflict);
    const std::string text = sim::recommendationText(context, rows, none);
    EXPECT_NE(
        text.find("no setting meets every goal; the goals conflict: no setting keeps both artists and titles "
                  "apart enough (one goal or the other, never both), and those that skip little enough bring "
                  "an artist back early at least 5.00 times a day (at most 1 asked)\n"),
        std::string::npos)
        << text;
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
    // 33 artist limits by 7 title limits, the skip goal met on a staircase of cells: a boundary
    // of many edges, longer than any one piece of the page is built in.
    sim::SweepContext context = {};
    context.plan.goal = {60, 3, 100, 100};
    context.plan.artistSwept = context.plan.titleSwept = true;
    std::vector<sim::SweepRow> rows;
    for (int32_t artist = 0; artist <= 32; artist++) {
        context.plan.artistLimits.push_back(artist);
        for (int32_t title = 0; title <= 300; title += 50) {
            rows.push_back(row(artist, title, artist >= 14, artist + title / 25 <= 20,
                               artist * 10 + title / 5, std::max(0, 1500 - artist * 100)));
        }
    }
    for (int32_t title = 0; title <= 300; title += 50)
        context.plan.titleLimits.push_back(title);
    rows.back().worstArtistPerDay = 31930; // 319.30 a day: too wide for a cell 27 pixels wide
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
    size_t figures = 0;
    for (size_t at = 0; (at = page.find("<text class=\"figure\"", at)) != std::string::npos; at++)
        figures++;
    EXPECT_EQ(figures, 3 * rows.size()) << "at 33 columns every cell still shows its figure";
    EXPECT_NE(page.find("<title>32 / 300: 319.30</title>"), std::string::npos);
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
    // Named as a range, with the range of their figures.
    EXPECT_NE(
        page.find("Not drawn: 33 settings that starve the rotation, so that one title plays again and again "
                  "once the playlist has come round: title limit 300 with any artist limit (6.0 to 38.0 % "
                  "skips, 0.00 to 319.30 a day)."),
        std::string::npos);
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

TEST_F(SweepReport, TheConsolesShortTableFitsEightyColumnsAndMarksTheAnswer) {
    // The station at 3 / off, added to the sweep as the program adds it; a title goal, so that the
    // widest table shows (with an allowance the forced playlist's titles can meet: 90 a day).
    context.station = sim::stationLimitsOf(true, {3, 0, true});
    sim::includeStationLimits(&context.plan, &context.station);
    context.plan.goal.titleGapHours = 3;
    context.plan.goal.perDayHundredths = 9000;
    ASSERT_EQ(sim::runSweep(playlist, context.plan, &rows), sim::kPlayedItsLength);
    answer = sim::recommend(rows, context.plan.goal);
    ASSERT_GE(answer.recommended, 1) << "not the station's 3 / off";
    const sim::SweepRow& chosen = rows[static_cast<size_t>(answer.recommended)];
    const std::vector<std::string> lines = linesOf(sim::renderSweepTable(context, rows, answer));
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 80u) << line;
    // Each row's skip rate ends where its heading's "%" does, with the row's own figures.
    const size_t edge = lines[1].find('%');
    ASSERT_NE(edge, std::string::npos) << lines[1];
    size_t shown = 0;
    for (size_t i = 2; i < lines.size() && lines[i].size() > 2 && lines[i][2] == ' '; i++) { // not a note
        const int32_t artist = std::stoi(lines[i].substr(0, 6));
        const auto found = std::find_if(rows.begin(), rows.end(), [&](const sim::SweepRow& r) {
            return r.setting.artistLimit == artist;
        });
        ASSERT_NE(found, rows.end()) << lines[i];
        EXPECT_EQ(lines[i].substr(0, edge + 1).substr(edge + 1 - sim::tenthsText(found->skipTenths).size()),
                  sim::tenthsText(found->skipTenths))
            << lines[i];
        EXPECT_NE(lines[i].find("  " + sim::hundredthsText(found->worstArtistPerDay) + "  "),
                  std::string::npos)
            << lines[i];
        shown++;
    }
    EXPECT_LT(shown, rows.size()) << "a few rows: the whole table is the page's";
    const std::string table = sim::renderSweepTable(context, rows, answer);
    EXPECT_NE(table.find("    " + std::to_string(chosen.setting.artistLimit) + "    off   " +
                         sim::tenthsText(chosen.skipTenths)),
              std::string::npos)
        << table;
    const auto marked = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("  <- recommended") != std::string::npos;
    });
    ASSERT_NE(marked, lines.end()) << table;
    const std::string limit = std::to_string(chosen.setting.artistLimit);
    EXPECT_EQ(marked->compare(0, 6, std::string(6 - limit.size(), ' ') + limit), 0) << *marked;
    EXPECT_NE(marked->find("  all  "), std::string::npos) << *marked;
    EXPECT_NE(table.find("\n     3    off"), std::string::npos) << "the station's limits: " << table;
    EXPECT_NE(table.find("<- now\n"), std::string::npos) << table;
    EXPECT_NE(table.find("\n  limits: off is a limit of 0"), std::string::npos) << table;
    std::string note = table.substr(table.find("\n  limits: "));
    for (size_t at; (at = note.find("\n  ")) != std::string::npos;)
        note.replace(at, 3, " ");
    EXPECT_NE(note.find(" These 5 of the 8 settings are the answer, your limits now"), std::string::npos)
        << note;

    // A replay that was not confirmed marks no answer.
    const sim::ReplayOutcome failed = {true, chosen.setting, 1, 0, false, ""};
    const std::string unconfirmed =
        sim::renderSweepTable(context, rows, sim::standingRecommendation(answer, failed));
    EXPECT_EQ(unconfirmed.find("<- recommended"), std::string::npos);
    EXPECT_NE(unconfirmed.find("<- unconfirmed"), std::string::npos) << unconfirmed;
    // The whole table, as the page and the CSV have it: every setting, the parts in full words.
    const std::vector<std::string> csv = linesOf(sim::renderSweepCsv(context, rows, answer));
    ASSERT_EQ(csv.size(), rows.size() + 1);
    EXPECT_EQ(csv[0].compare(0, 40, "artist_limit,title_limit,skip_median_pct"), 0) << csv[0];
    EXPECT_EQ(csv[1].compare(0, 4, "3,0,"), 0) << csv[1];
    EXPECT_EQ(csv[1].substr(csv[1].size() - 5), ",now\r") << "the station's, first: " << csv[1];
    EXPECT_EQ(csv[static_cast<size_t>(answer.recommended) + 1].substr(0, 5),
              std::to_string(chosen.setting.artistLimit) + ",0,");
    EXPECT_NE(csv[static_cast<size_t>(answer.recommended) + 1].find(",all,no,recommended"),
              std::string::npos);
}

// plugin.ini's limits are swept too: a title limit outside the range as one more line of the grid,
// the filter off or no plugin.ini as both rules off; and the answer says first where they stand.
TEST_F(SweepReport, TheStationsOwnLimitsAreSweptAndTheAnswerSaysWhereTheyStand) {
    const struct {
        bool found;
        sim::RuleLimits read;
        int32_t source;
        sim::SweepSetting evaluated;
    } cases[] = {
        {true, {7, 120, true}, sim::kStationFromIni, {7, 120}},
        {true, {7, 120, false}, sim::kStationFilterOff, {0, 0}},
        {false, {0, 0, true}, sim::kStationNoIni, {0, 0}},
        {true, {2000, -5, true}, sim::kStationFromIni, {1000, 0}},
    };
    for (const auto& c : cases) {
        const sim::StationLimits station = sim::stationLimitsOf(c.found, c.read);
        EXPECT_EQ(station.source, c.source) << c.read.artistLimit;
        EXPECT_EQ(station.evaluated.artistLimit, c.evaluated.artistLimit) << c.read.artistLimit;
        EXPECT_EQ(station.evaluated.titleLimit, c.evaluated.titleLimit) << c.read.artistLimit;
    }
    // 7 / 120 beside the tool's ranges 0..26 and 0..90:10: one more title line, no more columns.
    sim::SweepPlan plan = {};
    for (int32_t limit = 0; limit <= 26; limit++)
        plan.artistLimits.push_back(limit);
    for (int32_t limit = 0; limit <= 90; limit += 10)
        plan.titleLimits.push_back(limit);
    context.station = sim::stationLimitsOf(true, {7, 120, true});
    sim::includeStationLimits(&plan, &context.station);
    EXPECT_EQ(plan.artistLimits.size(), 27u);
    EXPECT_EQ(plan.titleLimits, (std::vector<int32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 120}));
    EXPECT_FALSE(context.station.artistAdded);
    EXPECT_TRUE(context.station.titleAdded);
    plan.artistSwept = plan.titleSwept = true;
    plan.seeds = {1};
    std::swap(context.plan.artistLimits, plan.artistLimits);
    std::swap(context.plan.titleLimits, plan.titleLimits);
    context.plan.titleSwept = true;
    EXPECT_NE(
        sim::renderSweepHeading(context).find(
            "SameTitleCheckLimit 0..90 (10 settings) (0: the rule off) and 120 (now); on 3 seeds: 891 runs"),
        std::string::npos)
        << sim::renderSweepHeading(context);

    // Over the forced playlist, the station at 12 / off: it misses the artist goal, which 14 meets.
    context.plan = spacedPlan(800);
    context.station = sim::stationLimitsOf(true, {12, 0, true});
    const std::string missing = sim::recommendationText(context, rows, answer);
    EXPECT_EQ(
        missing.find("now: SameArtistCheckLimit=12 SameTitleCheckLimit=0, as plugin.ini holds them (the "
                     "title rule off): an artist back within 60 minutes " +
                     sim::hundredthsText(rows[2].worstArtistPerDay) + " times a day"),
        0u)
        << missing;
    EXPECT_NE(missing.find("; it misses the artist goal\nrecommended: SameArtistCheckLimit=14"),
              std::string::npos)
        << missing;
    // At 16 / off it meets every goal: said first, with what changing to 14 saves.
    context.station = sim::stationLimitsOf(true, {16, 0, true});
    const std::string meeting = sim::recommendationText(context, rows, answer);
    EXPECT_EQ(
        meeting.find("your limits meet the goals; changing to SameArtistCheckLimit=14 SameTitleCheckLimit=0 "
                     "saves " +
                     sim::tenthsText(rows[6].skipTenths - rows[4].skipTenths) + " points of skips (" +
                     sim::tenthsText(rows[4].skipTenths) + " % instead of " +
                     sim::tenthsText(rows[6].skipTenths) + " %)\nnow: "),
        0u)
        << meeting;
    context.station = sim::stationLimitsOf(true, {14, 0, true});
    EXPECT_EQ(sim::recommendationText(context, rows, answer)
                  .find("your limits meet the goals, and no setting that meets them skips less: keep them\n"),
              0u);
    context.station = sim::stationLimitsOf(true, {14, 0, false});
    EXPECT_NE(sim::recommendationText(context, rows, answer).find("\nnow: "), 0u) << "no row of 0 / 0 swept";
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

TEST_F(SweepReport, ThePageMarksTheNearestChoiceOnceThePlugInHasConfirmedIt) {
    context.plan.goal.maxSkipTenths = 600;
    for (sim::SweepRow& row : rows)
        row.meetsSkipGoal = row.skipTenths <= 600;
    const sim::Recommendation none = sim::recommend(rows, context.plan.goal);
    ASSERT_EQ(none.recommended, -1);
    ASSERT_GE(none.nearest, 0);
    ASSERT_EQ(none.replayed, none.nearest);
    const sim::SweepSetting nearest = rows[static_cast<size_t>(none.nearest)].setting;
    const std::string page = sim::renderSweepHtml(context, rows, none, {true, nearest, 3, 900, true, ""});
    size_t marked = 0;
    for (size_t at = 0; (at = page.find("<tr class=\"mark\">", at)) != std::string::npos; at++)
        marked++;
    EXPECT_EQ(marked, 1u) << "the table marks the nearest choice's row";
    EXPECT_NE(page.find("<line class=\"mark\""), std::string::npos) << "the curves mark it";
    EXPECT_NE(page.find("| nearest the goals: " + sim::pairText(nearest) + "</text>"), std::string::npos);
}

} // namespace
