// The sweep: its runs decide as the plug-in would (a small case worked by hand), its figures are
// in station minutes, its recommendation follows the documented rule (a playlist where the
// answer is forced, and rows built for each branch), and its reports say what the figures say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "report/sweep_report.h"
#include "report/sweep_starving.h"
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
    // One seed beyond it fails the setting, wherever that seed stands.
    for (size_t bad = 0; bad < 3; bad++) {
        std::vector<sim::SeedFigures> seeds = {seedOf(1, 0.08, 33), seedOf(2, 0.05, 33), seedOf(3, 0.11, 33)};
        seeds[bad].artistPerDay = 133;
        seeds[bad].titlePerDay = 101;
        const sim::SweepRow row = sim::sweepRow({9, 50}, seeds, goal);
        EXPECT_FALSE(row.meetsArtistGoal) << bad;
        EXPECT_FALSE(row.meetsTitleGoal) << bad;
        EXPECT_EQ(row.worstArtistPerDay, 133) << bad;
        EXPECT_EQ(row.worstTitlePerDay, 101) << bad;
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

sim::SweepPlan spacedPlan(int32_t maxSkipTenths) {
    sim::SweepPlan plan;
    plan.artistLimits = {10, 11, 12, 13, 14, 15, 16};
    plan.titleLimits = {0};
    plan.artistSwept = true;
    plan.titleSwept = false;
    plan.seeds = {7, 8, 9};
    plan.stationSeconds = 24 * 3600;
    plan.goal = {60, 0, 100, maxSkipTenths};
    return plan;
}

TEST(SweepRecommendation, FindsTheArtistLimitThePlaylistForces) {
    const std::vector<sim::PlaylistEntry> playlist = spacedPlaylist();
    std::vector<sim::SweepRow> rows;
    ASSERT_EQ(sim::runSweep(playlist, spacedPlan(800), &rows), sim::kPlayedItsLength);
    ASSERT_EQ(rows.size(), 7u);
    for (const sim::SweepRow& row : rows) {
        ASSERT_EQ(row.seeds.size(), 3u);
        EXPECT_EQ(row.meetsArtistGoal, row.setting.artistLimit >= 14) << row.setting.artistLimit;
        for (const sim::SeedFigures& seed : row.seeds) {
            EXPECT_GE(seed.stationSeconds, 24 * 3600);
            EXPECT_EQ(seed.unpreventable, 0) << "every artist spelt one way";
            if (row.setting.artistLimit >= 14) {
                // but for the newest title played again, unjudged, when every other entry came up
                // refused: seldom, and within the allowance.
                EXPECT_LE(seed.earlyArtist, 1) << "a window of 14 keeps every artist an hour apart";
            }
        }
    }
    // The skip rate grows with the window: fewer artists left to choose from.
    EXPECT_LT(rows.front().medianSkipRate, rows.back().medianSkipRate);

    const sim::Recommendation answer = sim::recommend(rows, spacedPlan(800).goal);
    ASSERT_EQ(answer.verdict, sim::kEveryGoalMet);
    ASSERT_GE(answer.recommended, 0);
    EXPECT_EQ(rows[static_cast<size_t>(answer.recommended)].setting.artistLimit, 14);
    EXPECT_EQ(answer.replayed, answer.recommended);
    EXPECT_TRUE(answer.choices.empty());
}

// 100 artists of one 4-minute title each, one of them with two: an artist window of 14 keeps
// every artist an hour apart, and nothing less does on every seed. Without a window the returns
// within the hour are a few a day, lost among hundreds of later ones: at least 95 % of all returns
// are an hour apart or more, so a share of returns would have called "off" good enough.
TEST(SweepRecommendation, PerDayNotAShareOfReturns) {
    std::vector<sim::PlaylistEntry> playlist;
    for (int artist = 0; artist < 100; artist++) // "Aax Band" to "Jjx Band": the rule tells all apart
        playlist.push_back({std::string(1, static_cast<char>('A' + artist / 10)) +
                                static_cast<char>('a' + artist % 10) + "x Band - Song",
                            240});
    playlist.push_back({"Aax Band - Other Song", 240});
    sim::SweepPlan plan;
    plan.artistLimits = {0, 12, 13, 14, 15};
    plan.titleLimits = {0};
    plan.artistSwept = true;
    plan.titleSwept = false;
    plan.seeds = {3, 4, 5};
    plan.stationSeconds = 72 * 3600;
    plan.goal = {60, 0, 0, 100}; // no artist back within the hour, at most 10 % skips
    std::vector<sim::SweepRow> rows;
    ASSERT_EQ(sim::runSweep(playlist, plan, &rows), sim::kPlayedItsLength);
    for (const sim::SeedFigures& seed : rows[0].seeds) {
        EXPECT_GT(seed.earlyArtist, 0) << seed.seed;
        EXPECT_GE((seed.artistReturns - seed.earlyArtist) * 100, seed.artistReturns * 95)
            << "the old share rule would pass off on seed " << seed.seed;
    }
    const sim::Recommendation answer = sim::recommend(rows, plan.goal);
    ASSERT_GE(answer.recommended, 0);
    EXPECT_EQ(rows[static_cast<size_t>(answer.recommended)].setting.artistLimit, 14);
    EXPECT_FALSE(rows[2].meetsArtistGoal) << "13 lets some artist back within the hour";
    // With an allowance of one a day, 13 is enough: the answer follows the allowance.
    plan.goal.perDayHundredths = 100;
    ASSERT_EQ(sim::runSweep(playlist, plan, &rows), sim::kPlayedItsLength);
    const sim::Recommendation allowingOne = sim::recommend(rows, plan.goal);
    ASSERT_GE(allowingOne.recommended, 0);
    EXPECT_EQ(rows[static_cast<size_t>(allowingOne.recommended)].setting.artistLimit, 13);
}

// The example playlist (302 entries, a rotation of 21:52:13): the answer for "no artist back within
// the hour more than once a day, at most 20 % skips" is the same at three rotations, at 72 hours and
// at nine rotations, because early returns are counted per day, not as a share of a number of
// returns that grows with the run.
TEST(SweepRecommendation, TheAnswerDoesNotMoveWithTheLengthOfTheRuns) {
    std::FILE* file = std::fopen(SB_SOURCE_DIR "/examples/rotation.m3u", "rb");
    if (file == nullptr) // a test pack: examples/ beside the program, where it runs
        file = std::fopen("examples/rotation.m3u", "rb");
    ASSERT_NE(file, nullptr);
    std::string bytes;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    std::fclose(file);
    const std::vector<sim::PlaylistEntry> playlist = sim::parsePlaylistEntries("rotation.m3u", bytes);
    ASSERT_EQ(playlist.size(), 302u);
    sim::SweepPlan plan;
    plan.artistLimits = {10, 11, 12, 13, 14, 15, 16, 17};
    plan.titleLimits = {0, 50, 100};
    plan.artistSwept = plan.titleSwept = true;
    plan.seeds = {7, 8, 9};
    plan.goal = {60, sim::kDefaultTitleGapHours, 100, 200};
    std::vector<sim::SweepSetting> answers;
    for (int64_t seconds :
         {3 * sim::rotationSeconds(playlist), int64_t{72 * 3600}, 9 * sim::rotationSeconds(playlist)}) {
        plan.stationSeconds = seconds;
        std::vector<sim::SweepRow> rows;
        ASSERT_EQ(sim::runSweep(playlist, plan, &rows), sim::kPlayedItsLength);
        const sim::Recommendation answer = sim::recommend(rows, plan.goal);
        ASSERT_GE(answer.recommended, 0) << seconds;
        answers.push_back(rows[static_cast<size_t>(answer.recommended)].setting);
    }
    for (const sim::SweepSetting& answer : answers) {
        EXPECT_EQ(answer.artistLimit, 14);
        EXPECT_EQ(answer.titleLimit, 50) << "the smallest title limit that meets the title goal";
    }
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
sim::SweepRow row(int32_t artist, int32_t title, bool artistGoal, bool skipGoal, int32_t skipTenths,
                  int32_t perDay, bool titleGoal = true) {
    sim::SweepRow row = {};
    row.setting = {artist, title};
    row.meetsArtistGoal = artistGoal;
    row.meetsTitleGoal = titleGoal;
    row.meetsSkipGoal = skipGoal;
    row.skipTenths = skipTenths;
    row.worstSkipTenths = skipTenths + 5;
    row.worstArtistPerDay = perDay;
    return row;
}

TEST(SweepRecommendation, TheFewestSkipsOfTheSettingsThatMeetEveryGoal) {
    const sim::SweepGoal goal = {60, 3, 100, 100};
    const struct {
        const char* what;
        std::vector<sim::SweepRow> rows;
        int32_t recommended;
    } cases[] = {
        {"the first row, the smallest limits, is the answer",
         {row(0, 0, true, true, 0, 0), row(0, 50, true, true, 12, 0), row(1, 0, true, true, 3, 0)},
         0},
        {"fewest skips, not the smallest artist limit",
         {row(5, 0, true, true, 90, 50), row(5, 50, true, true, 95, 40), row(6, 0, true, true, 81, 20),
          row(6, 50, true, true, 85, 10)},
         2},
        {"a setting that misses the title goal is no answer",
         {row(5, 0, true, true, 40, 50, false), row(5, 50, true, true, 60, 40),
          row(5, 100, true, true, 80, 40)},
         1},
        {"ties as shown go to the smaller limits",
         {row(5, 0, false, true, 50, 150), row(5, 50, true, true, 70, 90), row(6, 0, true, true, 70, 10)},
         1},
        {"the last row can be the answer",
         {row(5, 0, false, true, 50, 150), row(6, 0, false, true, 60, 120), row(7, 0, true, true, 70, 90)},
         2},
    };
    for (const auto& c : cases) {
        const sim::Recommendation answer = sim::recommend(c.rows, goal);
        EXPECT_EQ(answer.verdict, sim::kEveryGoalMet) << c.what;
        EXPECT_EQ(answer.recommended, c.recommended) << c.what;
        EXPECT_EQ(answer.replayed, c.recommended) << c.what;
        EXPECT_TRUE(answer.choices.empty()) << c.what;
    }
}

TEST(SweepRecommendation, WhenNothingMeetsEveryGoalTheFrontierIsOffered) {
    const sim::SweepGoal goal = {60, 0, 100, 100}; // at most 1 a day, at most 10 % skips
    // Early returns a day fall as skips rise. 2 / 0 is dominated by 3 / 0 (fewer returns, as few
    // skips); 9 / 0 starved.
    std::vector<sim::SweepRow> rows = {
        row(0, 0, false, true, 10, 1300),  row(2, 0, false, true, 40, 900),
        row(3, 0, false, true, 40, 700),   row(4, 0, false, true, 80, 450),
        row(5, 0, false, false, 120, 300), row(6, 0, false, false, 150, 250),
        row(7, 0, false, false, 200, 120), row(8, 0, true, false, 400, 60),
        row(9, 0, true, false, 90, 0),
    };
    rows[8].starved = true;
    rows[8].meetsSkipGoal = false;
    const std::vector<int32_t> frontier = sim::tradeOffFrontier(rows, goal);
    EXPECT_EQ(frontier, (std::vector<int32_t>{0, 2, 3, 4, 5, 6, 7}))
        << "fewest skips first; 2 / 0 and 9 / 0 out";

    const sim::Recommendation answer = sim::recommend(rows, goal);
    EXPECT_EQ(answer.verdict, sim::kGoalsConflict) << "each goal is met by some setting";
    EXPECT_EQ(answer.unmetGoals, 0);
    EXPECT_EQ(answer.recommended, -1);
    // The larger miss of each, as a share of its goal: 12 (12 a day over 1), 6, 3.5, 2 (the skips'
    // 0.2 smaller), 1.5, 1 (0.2 a day over, 10 % over 10 %) and 3 (30 % over 10 %): 7 / 0.
    EXPECT_EQ(answer.nearest, 6);
    EXPECT_DOUBLE_EQ(sim::goalMiss(rows[4], goal), 2.0);
    EXPECT_DOUBLE_EQ(sim::goalMiss(rows[6], goal), 1.0);
    EXPECT_DOUBLE_EQ(sim::goalMiss(rows[7], goal), 3.0);
    EXPECT_EQ(answer.replayed, 6);
    EXPECT_EQ(answer.choices, frontier) << "seven settings: the whole frontier";

    // A longer frontier: skips rising from 1 % to 10 % bring the early returns down from 13 a day
    // to 1.1; then 25 % skips for 1.05 and 40 % for 1 (10 / 0, the one within the allowance).
    std::vector<sim::SweepRow> longer;
    for (int32_t artist = 0; artist <= 8; artist++) {
        const int32_t skips[] = {10, 20, 30, 40, 50, 60, 70, 90, 100};
        const int32_t returns[] = {1300, 1000, 800, 600, 400, 300, 200, 150, 110};
        longer.push_back(row(artist, 0, false, true, skips[artist], returns[artist]));
    }
    longer.push_back(row(9, 0, false, false, 250, 105));
    longer.push_back(row(10, 0, true, false, 400, 100));
    const sim::Recommendation spread = sim::recommend(longer, goal);
    EXPECT_EQ(spread.nearest, 8) << "10 % skips, 1.1 a day";
    // The ends, the nearest (which is also the fewest early returns within 10 % skips), then the
    // widest steps split: the early returns from 13 to 1.1 a day, twice, the skips from 10 % to 40 %
    // (at 9 / 0), and the early returns again.
    EXPECT_EQ(spread.choices, (std::vector<int32_t>{0, 1, 2, 4, 8, 9, 10}));
    for (sim::SweepRow& r : longer)
        r.meetsArtistGoal = false;
    EXPECT_EQ(sim::recommend(longer, goal).choices.back(), 10)
        << "the fewest early returns, though within no allowance";

    // A goal no setting meets binds, and says so.
    for (sim::SweepRow& r : rows)
        r.meetsArtistGoal = false;
    EXPECT_EQ(sim::recommend(rows, goal).unmetGoals, sim::kArtistGoalBit);
    for (sim::SweepRow& r : rows)
        r.meetsSkipGoal = false;
    const sim::Recommendation neither = sim::recommend(rows, goal);
    EXPECT_EQ(neither.verdict, sim::kGoalsUnmet);
    EXPECT_EQ(neither.unmetGoals, sim::kArtistGoalBit | sim::kSkipGoalBit);
    EXPECT_EQ(neither.nearest, 6) << "the frontier does not depend on which goals are met";
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
    const std::string page = sim::renderSweepHtml(context, rows, answer, replay);
    EXPECT_EQ(page.find("<b>R&B"), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;R&amp;B&lt;/b&gt;.m3u"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("<svg class=\"curves\""), std::string::npos) << "one limit swept: curves";
    EXPECT_EQ(page.find("<svg class=\"map\""), std::string::npos);
    EXPECT_NE(page.find("<svg class=\"tradeoff\""), std::string::npos);
    EXPECT_NE(page.find("| recommended: 14 / off</text>"), std::string::npos);
    EXPECT_NE(page.find("recommended: SameArtistCheckLimit=14 SameTitleCheckLimit=0"), std::string::npos);
    EXPECT_NE(page.find("decided all 1234 tracks as the mirror did"), std::string::npos);
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
