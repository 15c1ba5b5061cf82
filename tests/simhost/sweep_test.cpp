// The sweep: its runs decide as the plug-in would (a small case worked by hand), its figures are
// in station minutes, its recommendation follows the documented rule (a playlist where the
// answer is forced, and rows built for each branch), and its reports say what the figures say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/sweep_report.h"
#include "tuning/recommendation.h"
#include "tuning/sweep.h"

namespace {

// Five entries played in order, round after round, with artist window 2 and title window 4.
struct HandWorkedRun : ::testing::Test {
    const std::vector<sim::PlaylistEntry> playlist = {
        {"Abba - SOS", 180},
        {"Abba - Waterloo", 200},
        {"Blur - Song 2", 120},
        {"Queen - Innuendo", 300},
        {"Queensryche - Silent Lucidity", 240},
    };
    sim::RunRecord record;

    sim::SimulatedEnd run(int64_t stationSeconds) {
        sim::PlayOrder order;
        sim::startPlayOrder(&order, 5, false, 0);
        return sim::simulateRun(playlist, {2, 4, true}, order, stationSeconds, &record);
    }
};

TEST_F(HandWorkedRun, DecidesEachTrackAsThePlugInWould) {
    ASSERT_EQ(run(1000), sim::kPlayedItsLength);
    // Entry (1-based) and played (P) or skipped (S), worked out by hand from the rule:
    //   round 1: SOS P; Waterloo S (Abb, 1 back); Blur P; Queen P; Queensryche S (Que: misjudged);
    //   round 2: SOS S (the same title 3 back, beyond the artist window); Waterloo P; Blur S (title);
    //            Queen S (artist); Queensryche S (Que again: misjudged);
    //   round 3: SOS S (Abb: Waterloo); Waterloo is the newest title, so it is not judged: it plays
    //            again, and its end reaches 1000 s.
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {1, sim::kPlayed},  {2, sim::kSkipped}, {3, sim::kPlayed},  {4, sim::kPlayed},
        {5, sim::kSkipped}, {1, sim::kSkipped}, {2, sim::kPlayed},  {3, sim::kSkipped},
        {4, sim::kSkipped}, {5, sim::kSkipped}, {1, sim::kSkipped}, {2, sim::kPlayed},
    };
    ASSERT_EQ(record.events.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(record.events[i].entry + 1, expected[i].first) << "event " << i;
        EXPECT_EQ(record.events[i].kind, expected[i].second) << "event " << i;
    }
    EXPECT_EQ(record.events[5].rule, sim::kRuleTitle);
    EXPECT_EQ(record.events[11].again, sim::kAgainLooping) << "every other entry refused since Waterloo";
    EXPECT_EQ(record.events[11].at, 800);
    EXPECT_EQ(record.stationSeconds, 1000);
}

TEST_F(HandWorkedRun, StopsAfterThePlayThatReachesItsLengthAndNotBefore) {
    run(801);
    EXPECT_EQ(record.events.size(), 12u) << "the play starting at 800 s reaches 1000 s";
    run(1001);
    EXPECT_GT(record.events.size(), 12u);
    EXPECT_EQ(record.events.back().kind, sim::kPlayed);
    EXPECT_EQ(record.events.back().entry, 1) << "Waterloo loops: every other entry is refused";

    // A run whose record fills before its length ends there, as the real run does: the clock no
    // longer moves once nothing more is recorded, so it would otherwise never end.
    sim::PlayOrder order;
    sim::startPlayOrder(&order, 5, false, 0);
    EXPECT_EQ(sim::simulateRun(playlist, {2, 4, true}, order, 1000000000, &record, 30), sim::kRecordFilled);
    EXPECT_TRUE(record.full);
    EXPECT_EQ(record.events.size(), 30u);
}

TEST_F(HandWorkedRun, FiguresInStationMinutesAndTracks) {
    run(1000);
    const sim::SeedFigures figures = sim::seedFigures(record, 42, false, {5, 50.0});
    EXPECT_EQ(figures.seed, 42u);
    EXPECT_EQ(figures.played, 5);
    EXPECT_EQ(figures.skipped, 7);
    EXPECT_DOUBLE_EQ(figures.skipRate, 7.0 / 12.0);
    EXPECT_EQ(figures.longestSkipRun, 4);
    EXPECT_EQ(figures.misjudged, 2) << "Queensryche twice; SOS after Waterloo is rightly refused";
    // Abba returns twice: Waterloo at 600 s after SOS at 0 s (2 tracks between), then Waterloo
    // again at 800 s (none between). Only the second is sooner than 5 minutes.
    EXPECT_EQ(figures.gapSeconds, (std::vector<int64_t>{200, 600}));
    EXPECT_EQ(figures.gapTracks, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(figures.returnsWithinGoal, 1);
    EXPECT_DOUBLE_EQ(figures.shareApart, 0.5);
    EXPECT_EQ(figures.gapReachedBy95, 200);

    const sim::SweepRow row = sim::sweepRow({2, 4}, {figures, figures}, {5, 60.0});
    EXPECT_EQ(row.shortestGapSeconds, 200);
    EXPECT_DOUBLE_EQ(row.medianGapSeconds, 400.0);
    EXPECT_EQ(row.returns, 4);
    EXPECT_EQ(row.misjudged, 4);
    EXPECT_DOUBLE_EQ(row.skipsPerHour, 7 * 3600.0 / 1000.0);
    EXPECT_FALSE(row.meetsArtistGoal);
    EXPECT_TRUE(row.meetsSkipGoal) << "58.3 % is within 60 %";
    EXPECT_FALSE(sim::sweepRow({2, 4}, {figures}, {5, 58.2}).meetsSkipGoal);
    EXPECT_TRUE(sim::sweepRow({2, 4}, {figures}, {5, 58.3}).meetsSkipGoal) << "compared as shown";
}

TEST(SweepFigures, TheArtistGoalHoldsAtExactlyNinetyFivePercentOnEverySeed) {
    sim::SeedFigures seed = {};
    seed.gapSeconds.assign(20, 4000);
    seed.gapTracks.assign(20, 20);
    seed.returnsWithinGoal = 1; // 19 of 20 apart: 95 %
    EXPECT_TRUE(sim::sweepRow({1, 0}, {seed}, {60, 10.0}).meetsArtistGoal);
    sim::SeedFigures worse = seed;
    worse.returnsWithinGoal = 2;
    EXPECT_FALSE(sim::sweepRow({1, 0}, {seed, worse, seed}, {60, 10.0}).meetsArtistGoal)
        << "one seed short of 95 % fails the setting";
    sim::SeedFigures starved = seed;
    starved.starved = true;
    EXPECT_FALSE(sim::sweepRow({1, 0}, {seed, starved}, {60, 100.0}).meetsSkipGoal);
}

TEST(SweepLength, CoversThreeRotationsAndAtLeast72Hours) {
    const std::vector<sim::PlaylistEntry> small = {{"A - a", 200}, {"B - b", 0}};
    EXPECT_EQ(sim::rotationSeconds(small), 410) << "an unknown length counts as 210 s";
    EXPECT_EQ(sim::defaultSweepSeconds(small), 72 * 3600);
    const std::vector<sim::PlaylistEntry> large(1000, {"A - a", 300}); // 83:20:00 a rotation
    EXPECT_EQ(sim::defaultSweepSeconds(large), 3 * 300000);
}

// 20 artists, five titles each, every track 4 minutes: an artist comes back 60 minutes after its
// last start only with 14 tracks between, which an artist window of 14 guarantees and one of 13,
// with 7 artists to choose from, misses about one return in seven.
std::vector<sim::PlaylistEntry> spacedPlaylist() {
    std::vector<sim::PlaylistEntry> playlist;
    for (int title = 0; title < 5; title++)
        for (char artist = 'A'; artist < 'A' + 20; artist++)
            playlist.push_back({std::string(1, artist) + "x" +
                                    std::string(1, static_cast<char>(artist + 32)) + " Band - Song " +
                                    std::to_string(title),
                                240});
    return playlist;
}

sim::SweepPlan spacedPlan(double maxSkipPercent) {
    sim::SweepPlan plan;
    plan.artistLimits = {10, 11, 12, 13, 14, 15, 16};
    plan.titleLimits = {0};
    plan.artistSwept = true;
    plan.titleSwept = false;
    plan.seeds = {7, 8, 9};
    plan.stationSeconds = 24 * 3600;
    plan.goal = {60, maxSkipPercent};
    return plan;
}

TEST(SweepRecommendation, FindsTheArtistLimitThePlaylistForces) {
    const std::vector<sim::PlaylistEntry> playlist = spacedPlaylist();
    std::vector<sim::SweepRow> rows;
    ASSERT_EQ(sim::runSweep(playlist, spacedPlan(80.0), &rows), sim::kPlayedItsLength);
    ASSERT_EQ(rows.size(), 7u);
    for (const sim::SweepRow& row : rows) {
        ASSERT_EQ(row.seeds.size(), 3u);
        EXPECT_EQ(row.meetsArtistGoal, row.setting.artistLimit >= 14) << row.setting.artistLimit;
        for (const sim::SeedFigures& seed : row.seeds) {
            EXPECT_GE(seed.stationSeconds, 24 * 3600);
            // The window keeps an artist's plays at least its size apart, but for the newest title
            // played again, unjudged, when every other entry came up refused: none between.
            int32_t playedAgain = 0;
            for (int32_t between : seed.gapTracks) {
                EXPECT_TRUE(between == 0 || between >= row.setting.artistLimit) << between;
                playedAgain += between == 0 ? 1 : 0;
            }
            if (row.setting.artistLimit >= 14) {
                EXPECT_EQ(seed.returnsWithinGoal, playedAgain);
            }
        }
    }
    // The skip rate grows with the window: fewer artists left to choose from.
    EXPECT_LT(rows.front().medianSkipRate, rows.back().medianSkipRate);

    const sim::Recommendation answer = sim::recommend(rows);
    ASSERT_EQ(answer.verdict, sim::kBothGoalsMet);
    ASSERT_GE(answer.recommended, 0);
    EXPECT_EQ(rows[static_cast<size_t>(answer.recommended)].setting.artistLimit, 14);
    EXPECT_EQ(answer.replayed, answer.recommended);
}

TEST(SweepRecommendation, SaysWhichGoalBindsAndShowsBothSides) {
    const std::vector<sim::PlaylistEntry> playlist = spacedPlaylist();
    std::vector<sim::SweepRow> rows;
    ASSERT_EQ(sim::runSweep(playlist, spacedPlan(60.0), &rows), sim::kPlayedItsLength);
    ASSERT_GT(rows[4].medianSkipRate, 0.6) << "at 14 more than 60 % are skipped";
    const sim::Recommendation answer = sim::recommend(rows);
    EXPECT_EQ(answer.verdict, sim::kGoalsConflict);
    EXPECT_EQ(answer.recommended, -1);
    ASSERT_GE(answer.closestByArtist, 0);
    ASSERT_GE(answer.closestBySkips, 0);
    EXPECT_EQ(rows[static_cast<size_t>(answer.closestByArtist)].setting.artistLimit, 14);
    const sim::SweepRow& bySkips = rows[static_cast<size_t>(answer.closestBySkips)];
    EXPECT_TRUE(bySkips.meetsSkipGoal);
    for (const sim::SweepRow& row : rows) {
        if (row.meetsSkipGoal) {
            EXPECT_LE(row.setting.artistLimit, bySkips.setting.artistLimit)
                << "the largest that skips little enough";
        }
    }
    EXPECT_EQ(answer.replayed, answer.closestByArtist);
}

TEST(SweepRecommendation, ASweepEndsAtTheFirstRunThatFillsItsRecord) {
    // Window 0 plays 360 tracks a day and skips none; window 19 leaves one artist in 20 to play,
    // and refuses most of what comes up: its first seed fills a record of 1000 events.
    sim::SweepPlan plan = spacedPlan(100.0);
    plan.artistLimits = {0, 19};
    plan.mostEvents = 1000;
    std::vector<sim::SweepRow> rows;
    ASSERT_EQ(sim::runSweep(spacedPlaylist(), plan, &rows), sim::kRecordFilled);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].seeds.size(), 3u);
    EXPECT_EQ(rows[1].setting.artistLimit, 19);
    ASSERT_EQ(rows[1].seeds.size(), 1u) << "the sweep stops at the seed that filled";
    EXPECT_EQ(rows[1].seeds[0].played + rows[1].seeds[0].skipped, 1000) << "figured on what it recorded";
}

// A row with the goals it meets and the figures the rule compares.
sim::SweepRow row(int32_t artist, int32_t title, bool artistGoal, bool skipGoal, double skipRate,
                  double apart) {
    sim::SweepRow row = {};
    row.setting = {artist, title};
    row.meetsArtistGoal = artistGoal;
    row.meetsSkipGoal = skipGoal;
    row.medianSkipRate = skipRate;
    row.worstShareApart = apart;
    return row;
}

TEST(SweepRecommendation, TheRuleOnEachBranch) {
    // A grid: the smallest artist limit meeting both, then the largest title limit with it.
    std::vector<sim::SweepRow> rows = {
        row(5, 0, false, true, 0.02, 0.90),   row(5, 100, false, true, 0.05, 0.91),
        row(6, 0, true, true, 0.04, 0.96),    row(6, 100, true, true, 0.08, 0.96),
        row(6, 200, true, false, 0.15, 0.97), row(7, 0, true, true, 0.05, 0.99),
    };
    sim::Recommendation answer = sim::recommend(rows);
    EXPECT_EQ(answer.verdict, sim::kBothGoalsMet);
    EXPECT_EQ(answer.recommended, 3);
    EXPECT_EQ(answer.closestByArtist, -1);

    // Only the artist goal is ever met: the skip goal binds. Closest by artist: the smallest
    // limit meeting it at its fewest skips; by skips: the fewest skips of all.
    rows = {row(5, 0, false, false, 0.12, 0.90), row(6, 0, true, false, 0.20, 0.96),
            row(6, 100, true, false, 0.18, 0.96), row(7, 0, true, false, 0.25, 0.99)};
    answer = sim::recommend(rows);
    EXPECT_EQ(answer.verdict, sim::kSkipGoalBinds);
    EXPECT_EQ(answer.closestByArtist, 2);
    EXPECT_EQ(answer.closestBySkips, 0);
    EXPECT_EQ(answer.replayed, 2);

    // Only the skip goal is ever met: the artist goal binds; closest by artist is the best share.
    rows = {row(5, 0, false, true, 0.02, 0.90), row(6, 0, false, true, 0.04, 0.93),
            row(7, 0, false, false, 0.12, 0.94)};
    answer = sim::recommend(rows);
    EXPECT_EQ(answer.verdict, sim::kArtistGoalBinds);
    EXPECT_EQ(answer.closestByArtist, 2);
    EXPECT_EQ(answer.closestBySkips, 1);

    rows = {row(5, 0, false, false, 0.30, 0.90), row(6, 0, false, false, 0.20, 0.80)};
    answer = sim::recommend(rows);
    EXPECT_EQ(answer.verdict, sim::kNeitherGoalIsMet);
    EXPECT_EQ(answer.closestByArtist, 0);
    EXPECT_EQ(answer.closestBySkips, 1);
}

TEST(SweepReplayCheck, FindsTheFirstEventThatDiffers) {
    const std::vector<sim::PlaylistEntry> playlist = {{"Abba - SOS", 180}, {"Blur - Song 2", 120}};
    sim::RunRecord real, mirror;
    sim::startRecord(&real, &playlist);
    sim::startRecord(&mirror, &playlist);
    auto add = [](sim::RunRecord* record, int32_t entry, int32_t kind) {
        sim::TrackEvent event = {};
        event.entry = entry;
        event.kind = kind;
        event.at = 600;
        record->events.push_back(event);
    };
    add(&real, 0, sim::kPlayed);
    add(&mirror, 0, sim::kPlayed);
    EXPECT_EQ(sim::firstDifference(real, mirror), -1);
    add(&real, 1, sim::kSkipped);
    add(&mirror, 1, sim::kPlayed);
    EXPECT_EQ(sim::firstDifference(real, mirror), 1);
    EXPECT_EQ(
        sim::differenceText(real, mirror, 1, 12),
        "seed 12, track 2 started (station time 0:10:00): the plug-in skipped entry 2 \"Blur - Song 2\", "
        "the mirror played entry 2 \"Blur - Song 2\"");
    real.events[1].kind = sim::kPlayed;
    add(&mirror, 0, sim::kPlayed);
    EXPECT_EQ(sim::firstDifference(real, mirror), 2) << "a run that ends early differs too";
    EXPECT_EQ(sim::differenceText(real, mirror, 2, 12),
              "seed 12, track 3 started: the plug-in's run ended before it, where the mirror played entry 1 "
              "\"Abba - SOS\"");
    real.events[0].entry = 1;
    EXPECT_EQ(sim::firstDifference(real, mirror), 0) << "another entry is a difference";
}

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
        context.plan = spacedPlan(80.0);
        context.repeatCommand = "songbeacon-host p.dll l.m3u --sweep-artist 10..16";
        ASSERT_EQ(sim::runSweep(playlist, context.plan, &rows), sim::kPlayedItsLength);
        answer = sim::recommend(rows);
    }
};

TEST_F(SweepReport, EndsWithTheRecommendedLineAndItsReason) {
    const std::string text = sim::recommendationText(context, rows, answer);
    const sim::SweepRow& chosen = rows[4];
    EXPECT_EQ(text.substr(0, text.find('\n')), "recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0");
    EXPECT_NE(
        text.find("  why: the smallest artist limit swept that keeps the same artist at least 60 minutes "
                  "apart in 95 % of returns on every seed (worst seed 100.0 %), at a median skip rate of " +
                  sim::percentText(chosen.medianSkipRate) + " % (at most 80.0 %)\n"),
        std::string::npos)
        << text;

    context.plan.goal.maxSkipPercent = 60.0;
    for (sim::SweepRow& row : rows)
        row.meetsSkipGoal = row.medianSkipRate <= 0.6;
    const std::string none = sim::recommendationText(context, rows, sim::recommend(rows));
    EXPECT_EQ(none.find("recommended: none: no setting meets both goals; the goals conflict"), 0u) << none;
    EXPECT_NE(
        none.find("  closest by artist: SameArtistCheckLimit=14 SameTitleCheckLimit=0: 100.0 % of returns"),
        std::string::npos)
        << none;
    EXPECT_NE(none.find("  closest by skips:  SameArtistCheckLimit="), std::string::npos) << none;
}

TEST_F(SweepReport, TheTableLinesUpAndMarksTheRecommendedRow) {
    const std::string table = sim::renderSweepTable(context, rows, answer);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = table.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(table.substr(start, end - start));
    ASSERT_GE(lines.size(), 9u);
    // Every row ends its "misjudged" column where the heading does.
    const size_t edge = lines[1].find("misjudged") + std::string("misjudged").size();
    for (size_t i = 2; i < 9; i++) {
        EXPECT_EQ(lines[i][edge], ' ') << lines[i];
        EXPECT_NE(lines[i][edge - 1], ' ') << lines[i];
        EXPECT_EQ(lines[i].compare(0, 6, "    " + std::to_string(rows[i - 2].setting.artistLimit)), 0)
            << lines[i];
    }
    EXPECT_NE(lines[6].find("both  <- recommended"), std::string::npos) << lines[6];
    EXPECT_NE(lines[5].find("skips"), std::string::npos) << "13 meets only the skip goal: " << lines[5];
}

TEST_F(SweepReport, ThePageEscapesEveryTextAndChartsTheRecommendedSetting) {
    sim::ReplayOutcome replay = {true, rows[4].setting, 3, 1234, true, ""};
    const std::string page = sim::renderSweepHtml(context, rows, answer, replay);
    EXPECT_EQ(page.find("<b>R&B"), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;R&amp;B&lt;/b&gt;.m3u"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("<svg"), std::string::npos);
    EXPECT_NE(page.find("recommended: 14 / 0</text>"), std::string::npos);
    EXPECT_NE(page.find("recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0"), std::string::npos);
    EXPECT_NE(page.find("decided all 1234 tracks as the mirror did"), std::string::npos);
    // One whisker (the spread over the seeds) per setting in each of the two panels.
    size_t whiskers = 0;
    for (size_t at = 0; (at = page.find("stroke-width=\"5\"", at)) != std::string::npos; at++)
        whiskers++;
    EXPECT_EQ(whiskers, 2 * rows.size());

    replay.agreed = false;
    replay.difference = "seed 7, track 3 started: \"<i>\"";
    const std::string bad = sim::renderSweepHtml(context, rows, answer, replay);
    EXPECT_NE(bad.find("error: replay through the plug-in"), std::string::npos);
    EXPECT_NE(bad.find("&quot;&lt;i&gt;&quot;"), std::string::npos);
    EXPECT_EQ(bad.find("recommended: SameArtistCheckLimit"), std::string::npos)
        << "no pick after a difference";
}

} // namespace
