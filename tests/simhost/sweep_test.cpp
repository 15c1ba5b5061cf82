// The sweep: its runs decide as the plug-in would (a small case worked by hand), its figures are
// in station minutes, and its replay check finds where two records part. Its recommendation and
// its reports have tests of their own (sweep_recommendation_test.cpp, sweep_report_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/sweep_report.h"
#include "simhost/sweep_cases.h"
#include "tuning/recommendation.h"
#include "tuning/replay_extent.h"
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
    // Both rules off: it fills on a play, with no refusal after it to notice.
    EXPECT_EQ(sim::simulateRun(playlist, {0, 0, true}, order, 1000000000, &record, 30), sim::kRecordFilled);
}

TEST_F(HandWorkedRun, FiguresPerDayOfStationTime) {
    run(1000);
    const sim::SweepPlaylist entries = sim::sweepPlaylist(playlist);
    // Goals: an artist no sooner than 5 minutes, a title no sooner than an hour.
    const sim::SeedFigures figures = sim::seedFigures(record, entries, 42, false, {5, 1, 100, 500});
    EXPECT_EQ(figures.seed, 42u);
    EXPECT_EQ(figures.played, 5);
    EXPECT_EQ(figures.skipped, 7);
    EXPECT_DOUBLE_EQ(figures.skipRate, 7.0 / 12.0);
    EXPECT_EQ(figures.longestSkipRun, 4);
    EXPECT_EQ(figures.misjudged, 2) << "Queensryche twice; SOS after Waterloo is rightly refused";
    // Abba returns twice: Waterloo at 600 s after SOS at 0 s, then Waterloo again at 800 s. Only
    // the second is sooner than 5 minutes; it is also the same title back within the hour.
    EXPECT_EQ(figures.artistReturns, 2);
    EXPECT_EQ(figures.earlyArtist, 1);
    EXPECT_EQ(figures.unpreventable, 0);
    EXPECT_EQ(figures.earlyTitle, 1);
    EXPECT_EQ(figures.artistPerDay, 8640) << "one in 1000 s is 86.4 a day";
    EXPECT_EQ(figures.titlePerDay, 8640);
    EXPECT_EQ(figures.shortestGapSeconds, 200);
    EXPECT_DOUBLE_EQ(figures.medianGapSeconds, 400.0);

    sim::SeedFigures longer = figures; // the same early returns over twice the time
    longer.stationSeconds = 2000;
    longer.artistPerDay = sim::perDayHundredths(1, 2000);
    const sim::SweepRow row = sim::sweepRow({2, 4}, {figures, longer}, {5, 1, 4320, 600});
    EXPECT_EQ(row.shortestGapSeconds, 200);
    EXPECT_EQ(row.artistReturns, 4);
    EXPECT_EQ(row.earlyArtist, 2);
    EXPECT_EQ(row.misjudged, 4);
    EXPECT_EQ(row.worstArtistPerDay, 8640) << "the worst seed, not the better or the mean";
    EXPECT_FALSE(row.meetsArtistGoal) << "43.2 a day on one seed is within 43.2, 86.4 on the other is not";
    EXPECT_DOUBLE_EQ(row.skipsPerHour, 14 * 3600.0 / 3000.0);
    EXPECT_TRUE(row.meetsSkipGoal) << "58.3 % is within 60 %";
    EXPECT_FALSE(sim::sweepRow({2, 4}, {figures}, {5, 0, 100, 582}).meetsSkipGoal);
    EXPECT_TRUE(sim::sweepRow({2, 4}, {figures}, {5, 0, 100, 583}).meetsSkipGoal) << "compared as shown";
    EXPECT_TRUE(sim::sweepRow({2, 4}, {figures}, {5, 0, 8640, 1000}).meetsArtistGoal)
        << "at most: equal meets";
    EXPECT_TRUE(sim::sweepRow({2, 4}, {figures}, {5, 0, 0, 1000}).meetsTitleGoal) << "titles not judged";
    EXPECT_FALSE(sim::sweepRow({2, 4}, {figures}, {5, 1, 8639, 1000}).meetsTitleGoal);
    EXPECT_TRUE(sim::sweepRow({2, 4}, {figures}, {5, 1, 8640, 1000}).meetsTitleGoal) << "equal meets";
}

TEST(SweepFigures, RatesPerDayAndSkipTenthsRoundHalfUpAsShown) {
    const struct {
        int64_t count, seconds;
        int32_t hundredths;
    } perDay[] = {
        {1, 86400, 100},     {1, 172800, 50}, {1, 3 * 86400, 33}, {2, 3 * 86400, 67},
        {1, 200 * 86400, 1}, {0, 86400, 0},   {5, 0, 0},          {65, 197 * 3600, 792},
    };
    for (const auto& c : perDay)
        EXPECT_EQ(sim::perDayHundredths(c.count, c.seconds), c.hundredths) << c.count << " in " << c.seconds;
    const struct {
        double rate;
        int32_t tenths;
        const char* shown;
    } rates[] = {
        {1.0 / 16.0, 63, "6.3"}, // 6.25 %: printf's %.1f would show 6.2
        {0.0135, 14, "1.4"},     {27.0 / 2000.0, 14, "1.4"},   {0.0, 0, "0.0"}, {1.0, 1000, "100.0"},
        {0.10049, 100, "10.0"},  {201.0 / 400.0, 503, "50.3"}, // 50.25 %, a hair less in binary
    };
    for (const auto& c : rates) {
        EXPECT_EQ(sim::rateTenths(c.rate), c.tenths) << c.rate;
        EXPECT_EQ(sim::percentText(c.rate), c.shown) << c.rate;
    }
    // A median of exactly 6.25 % shows as 6.3 and is judged as 6.3.
    sim::SeedFigures seed = {};
    seed.skipRate = 1.0 / 16.0;
    EXPECT_FALSE(sim::sweepRow({1, 0}, {seed}, {60, 0, 100, 62}).meetsSkipGoal);
    EXPECT_TRUE(sim::sweepRow({1, 0}, {seed}, {60, 0, 100, 63}).meetsSkipGoal);
}

// One seed's figures: a skip rate and early returns a day (hundredths), and the title's.
sim::SeedFigures seedOf(uint64_t seed, double skipRate, int32_t artistPerDay, int32_t titlePerDay = 0) {
    sim::SeedFigures figures = {};
    figures.seed = seed;
    figures.skipRate = skipRate;
    figures.stationSeconds = 72 * 3600;
    figures.earlyArtist = artistPerDay * 3 / 100;
    figures.artistPerDay = artistPerDay;
    figures.titlePerDay = titlePerDay;
    figures.shortestGapSeconds = -1;
    return figures;
}

TEST(SweepFigures, EachSeedIsJudgedOnItsOwnAndTheWorstSeedShown) {
    const sim::SweepGoal goal = {60, 3, 100, 100};
    // Every seed within the allowance, though together they return early three times a day.
    const sim::SweepRow within =
        sim::sweepRow({9, 50}, {seedOf(1, 0.08, 100), seedOf(2, 0.05, 67), seedOf(3, 0.11, 100)}, goal);
    EXPECT_TRUE(within.meetsArtistGoal);
    EXPECT_EQ(within.worstArtistPerDay, 100);
    EXPECT_EQ(within.skipTenths, 80) << "the median";
    EXPECT_EQ(within.worstSkipTenths, 110) << "the highest";
    EXPECT_EQ(sim::rateTenths(within.lowestSkipRate), 50);
    // One seed beyond it fails the setting, wherever that seed stands. The returns under other
    // spellings shown beside the worst seed's figure are that seed's, not another seed's larger ones.
    for (size_t bad = 0; bad < 3; bad++) {
        std::vector<sim::SeedFigures> seeds = {seedOf(1, 0.08, 33), seedOf(2, 0.05, 33), seedOf(3, 0.11, 33)};
        for (size_t i = 0; i < 3; i++)
            seeds[i].spellingsPerDay = i == bad ? 20 : 300;
        seeds[bad].artistPerDay = 133;
        seeds[bad].titlePerDay = 101;
        const sim::SweepRow row = sim::sweepRow({9, 50}, seeds, goal);
        EXPECT_FALSE(row.meetsArtistGoal) << bad;
        EXPECT_FALSE(row.meetsTitleGoal) << bad;
        EXPECT_EQ(row.worstArtistPerDay, 133) << bad;
        EXPECT_EQ(row.worstTitlePerDay, 101) << bad;
        EXPECT_EQ(row.spellingsPerDay, 20) << bad;
    }
    sim::SeedFigures starved = seedOf(4, 0.01, 0);
    starved.starved = true;
    EXPECT_FALSE(sim::sweepRow({1, 0}, {seedOf(1, 0.01, 0), starved}, goal).meetsSkipGoal);
}

// One entry each of these, played in this order with both rules off, ten minutes a track (two
// minutes the last two): 64 minutes hold them all, so every artist named twice comes back within
// the hour.
TEST(SweepFigures, ReturnsUnderAnotherSpellingAreCountedApart) {
    const std::vector<sim::PlaylistEntry> playlist = {
        {"AC/DC - Thunderstruck", 600},
        {"ACDC - Back in Black", 600},
        {"The Beatles - Help", 600},
        {"Beatles, The - Yesterday", 600},
        {"Abba - SOS", 600},
        {"ABBA - Waterloo", 600},
        {"The Beatles - Let It Be", 120},
        {"The Beatles - Let It Be", 120},
    };
    sim::PlayOrder order;
    sim::startPlayOrder(&order, 8, false, 0);
    sim::RunRecord record;
    ASSERT_EQ(sim::simulateRun(playlist, {0, 0, true}, order, 3840, &record), sim::kPlayedItsLength);
    ASSERT_EQ(record.played, 8);
    const sim::SweepPlaylist entries = sim::sweepPlaylist(playlist);
    const sim::SweepGoal goal = {60, 1, 4500, 1000}; // at most 45 a day: two in these 64 minutes
    const sim::SeedFigures figures = sim::seedFigures(record, entries, 1, false, goal);
    EXPECT_EQ(figures.artistReturns, 5);
    // ABBA after Abba: the rule folds case. "Let It Be" after "Beatles, The": "The Beatles - Help"
    // within the hour has the same first characters, so a window reaching back to it prevents it.
    EXPECT_EQ(figures.earlyArtist, 2);
    // AC/DC / ACDC, The Beatles / Beatles, The, and the second "Let It Be" right after the first:
    // the plug-in never judges a title that is the one it admitted last.
    EXPECT_EQ(figures.unpreventable, 3);
    EXPECT_EQ(figures.listedTwice, 1);
    EXPECT_EQ(figures.earlyTitle, 0) << "no limit prevents the title listed twice either";
    EXPECT_EQ(figures.shortestGapSeconds, 600) << "not the 2 minutes of the title listed twice";
    EXPECT_EQ(figures.artistPerDay, 4500);
    EXPECT_EQ(figures.spellingsPerDay, 4500);
    ASSERT_EQ(figures.spellingPairs.size(), 2u);
    std::vector<std::string> pairs;
    for (const sim::SpellingPair& pair : figures.spellingPairs)
        pairs.push_back(entries.spellings[static_cast<size_t>(pair.first)] + " / " +
                        entries.spellings[static_cast<size_t>(pair.second)] + " " +
                        std::to_string(pair.count));
    EXPECT_EQ(pairs, (std::vector<std::string>{"AC/DC / ACDC 1", "The Beatles / Beatles, The 1"}));

    const sim::SweepRow row = sim::sweepRow({5, 0}, {figures, figures}, goal);
    EXPECT_TRUE(row.meetsArtistGoal) << "the returns no limit prevents are not held against it";
    EXPECT_EQ(row.unpreventable, 6);
    ASSERT_EQ(row.spellingPairs.size(), 2u);
    EXPECT_EQ(row.spellingPairs[0].count, 2);

    sim::SweepContext context = {};
    context.plan.goal = goal;
    context.spellings = entries.spellings;
    for (const sim::PlaylistEntry& entry : playlist)
        context.titles.push_back(entry.title);
    sim::Recommendation answer = sim::recommend({row}, goal);
    EXPECT_EQ(
        sim::unpreventableText(context, {row}, answer),
        "returns no limit prevents: 4 returns of an artist sooner than 60 minutes under another spelling, "
        "at SameArtistCheckLimit=5 SameTitleCheckLimit=0 (the title rule off) on 2 seeds: the rule reads "
        "their first characters "
        "as two artists at every limit. Spell each artist one way in the playlist:\n"
        "  \"AC/DC\" / \"ACDC\": 2 returns\n"
        "  \"The Beatles\" / \"Beatles, The\": 2 returns\n"
        "returns no limit prevents: 2 returns of an artist sooner than 60 minutes as a title listed twice "
        "played right after itself, at SameArtistCheckLimit=5 SameTitleCheckLimit=0 (the title rule off) on "
        "2 "
        "seeds: the plug-in never judges a title that is the one it admitted last. List each title once in "
        "the playlist:\n"
        "  \"The Beatles - Let It Be\", entries 7 and 8: 2 returns\n");
    // What listeners hear beside the goal's figure.
    EXPECT_NE(sim::recommendationText(context, {row}, answer)
                  .find("an artist back within 60 minutes 45.00 times a day on the worst seed (at most 45) + "
                        "45.00 a day under other spellings, "),
              std::string::npos);
}

// "Let It Be" comes exactly an hour after "Help", the goal's gap, with "Beatles, The" ten minutes
// before it: a window reaching back an hour does not reach "Help", so nothing prevents the return
// under the other spelling, and it counts as one no limit prevents, not as an early one.
TEST(SweepFigures, AReturnExactlyAtTheGoalsMinutesIsNotEarlyWhateverCameBetween) {
    const std::vector<sim::PlaylistEntry> playlist = {
        {"The Beatles - Help", 3000},
        {"Beatles, The - Yesterday", 600},
        {"The Beatles - Let It Be", 600},
    };
    sim::PlayOrder order;
    sim::startPlayOrder(&order, 3, false, 0);
    sim::RunRecord record;
    ASSERT_EQ(sim::simulateRun(playlist, {0, 0, true}, order, 4200, &record), sim::kPlayedItsLength);
    ASSERT_EQ(record.played, 3);
    const sim::SeedFigures figures =
        sim::seedFigures(record, sim::sweepPlaylist(playlist), 1, false, {60, 1, 4500, 1000});
    EXPECT_EQ(figures.artistReturns, 2);
    EXPECT_EQ(figures.earlyArtist, 0) << "Help, an hour before, is not within the hour";
    EXPECT_EQ(figures.unpreventable, 2);
}

TEST(SweepLength, CoversThreeRotationsAndAtLeast72HoursAndSixtyDaysOfALongPlaylist) {
    const std::vector<sim::PlaylistEntry> small = {{"A - a", 200}, {"B - b", 0}};
    EXPECT_EQ(sim::rotationSeconds(small), 410) << "an unknown length counts as 210 s";
    EXPECT_EQ(sim::defaultSweepSeconds(small), 72 * 3600);
    const std::vector<sim::PlaylistEntry> large(1000, {"A - a", 300}); // 83:20:00 a rotation
    EXPECT_EQ(sim::defaultSweepSeconds(large), 3 * 300000);
    constexpr int64_t day = 24 * 3600;
    // Three rotations of 20 days are 60 days, the most the figures need; 21 days a rotation make
    // runs of 60 days; 50 days a rotation, one rotation and a quarter.
    EXPECT_EQ(sim::neededSweepSeconds(20 * day), 60 * day);
    EXPECT_EQ(sim::neededSweepSeconds(21 * day), 60 * day);
    EXPECT_EQ(sim::neededSweepSeconds(48 * day), 60 * day);
    EXPECT_EQ(sim::neededSweepSeconds(50 * day), 62 * day + day / 2);
    const std::vector<sim::PlaylistEntry> huge(20000, {"A - a", 285}); // 65 days 23:40 a rotation
    EXPECT_EQ(sim::defaultSweepSeconds(huge), 20000 * 285 + 5000 * 285);
}

TEST_F(HandWorkedRun, TheReplayGoesAsFarAsEveryKindOfDecisionAndItsShareOfARun) {
    // Over 5000 s the run loops from 800 s on: Waterloo again and again. Every kind it makes is
    // made by then (SOS admitted, Waterloo refused by the artist rule, SOS by the title rule, then
    // the loop), so the replay stops at the end of that play, 1000 s.
    ASSERT_EQ(run(5000), sim::kPlayedItsLength);
    const int32_t every =
        sim::kDecidedAdmitted | sim::kDecidedArtistRefusal | sim::kDecidedTitleRefusal | sim::kDecidedLooping;
    sim::ReplayExtent extent = sim::replayExtent(record, 5000, 5000);
    EXPECT_EQ(extent.kindsOfRun, every);
    EXPECT_EQ(extent.kindsShown, every);
    EXPECT_FALSE(extent.whole);
    sim::RunRecord replayed;
    sim::PlayOrder order;
    sim::startPlayOrder(&order, 5, false, 0);
    sim::simulateRun(playlist, {2, 4, true}, order, extent.stationSeconds, &replayed);
    EXPECT_EQ(replayed.events.size(), 12u) << "up to the first play again in the loop";
    EXPECT_EQ(replayed.stationSeconds, 1000);
    // A share of 500 s ends with Queen, which plays on to 600 s: no title refused yet, no loop.
    extent = sim::replayExtent(record, 5000, 500);
    EXPECT_EQ(extent.kindsShown, sim::kDecidedAdmitted | sim::kDecidedArtistRefusal);
    EXPECT_EQ(extent.stationSeconds, 500);
    // A run no longer than that is replayed whole.
    ASSERT_EQ(run(1000), sim::kPlayedItsLength);
    extent = sim::replayExtent(record, 1000, 1000);
    EXPECT_TRUE(extent.whole);
    EXPECT_EQ(extent.stationSeconds, 1000);
}

TEST(SweepReplayExtent, AStarvingSettingIsReplayedUntilItsLoopShowsAndALongRunUntilItsHistoryIsFull) {
    // 20 artists: an artist window of 1000 refuses every entry but the title played last once all
    // have played, which then plays again and again. The sweep's length of a day: some 34,000
    // tracks started, of which the replay needs a few hundred.
    const std::vector<sim::PlaylistEntry> playlist = spacedPlaylist();
    sim::ReplayExtent extent = {};
    ASSERT_EQ(sim::replayExtentOf(playlist, {1000, 0, true}, 7, 24 * 3600, 3, &extent),
              sim::kPlayedItsLength);
    EXPECT_EQ(extent.kindsShown, extent.kindsOfRun);
    EXPECT_NE(extent.kindsShown & sim::kDecidedLooping, 0);
    sim::RunRecord whole, replayed;
    sim::simulateRun(playlist, {1000, 0, true}, sim::sweepOrder(100, 7), 24 * 3600, &whole);
    sim::simulateRun(playlist, {1000, 0, true}, sim::sweepOrder(100, 7), extent.stationSeconds, &replayed);
    EXPECT_GT(whole.events.size(), 30000u);
    EXPECT_LT(replayed.events.size(), 400u) << "20 titles, a lap of refusals and the loop's first play";
    EXPECT_EQ(replayed.events.back().again, sim::kAgainLooping);

    // Both rules off over 100 days: 36,000 titles admitted, of which the replay needs the first
    // 1001, the one that drops the oldest from the plug-in's full history.
    ASSERT_EQ(sim::replayExtentOf(playlist, {0, 0, true}, 7, 100 * 24 * 3600, 3, &extent),
              sim::kPlayedItsLength);
    EXPECT_EQ(extent.kindsShown, sim::kDecidedAdmitted | sim::kDecidedHistoryDropped);
    EXPECT_EQ(extent.stationSeconds, 1000 * 240 + 1);
    // Over 36 hours the history holds the run's 540 titles only at its end: three seeds may each
    // replay 12 hours of it.
    ASSERT_EQ(sim::replayExtentOf(playlist, {0, 0, true}, 7, 36 * 3600, 3, &extent), sim::kPlayedItsLength);
    EXPECT_EQ(extent.stationSeconds, 12 * 3600);
    EXPECT_TRUE(extent.cut);
    EXPECT_EQ(extent.kindsShown, sim::kDecidedAdmitted);
    EXPECT_EQ(extent.kindsOfRun, sim::kDecidedAdmitted);
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

} // namespace
