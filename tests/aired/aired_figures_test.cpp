// What went to air, counted: paused time is no time on air; --from and --to count only their days,
// against what played before them; a simulated run read as the plug-in would log it counts as the
// sweep counts the same run; and a player that plays in order is told from the tool's shuffle, so
// that nothing is recommended from a model that does not fit.
#include <gtest/gtest.h>

#include <algorithm>

#include "aired/aired_answer.h"
#include "aired/aired_figures.h"
#include "aired/aired_prediction.h"
#include "aired/air_log_lines.h"
#include "aired/record_lines.h"
#include "tuning/sweep.h"

namespace {

using namespace airtest;

const sim::SweepGoal kGoal = {60, 3, 100, 100};

sim::AiredFigures figuresOf(const std::string& text, const sim::AiredScope& scope = {}) {
    sim::AirLog log = {};
    EXPECT_EQ(read(text, &log), sim::kAirLogRead);
    return sim::airedFigures(sim::airedHistory(log, nullptr), kGoal, scope);
}

TEST(AiredFigures, PausedStoppedAndShutDownTimeIsNoTimeOnAir) {
    // Abba at 0 and again 70 minutes later: with 20 of them paused it is back after 50 on air.
    const std::string paused = kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                               line(2, "paused") + line(22, "playing") + played(24, 2, "Blur - Song 2") +
                               played(70, 3, "Abba - Waterloo") + line(74, "stopped");
    const sim::AiredFigures early = figuresOf(paused);
    EXPECT_EQ(early.all.earlyArtist, 1);
    EXPECT_EQ(early.all.airMs, 54 * 60000);
    // The same hour and ten minutes without the pause: not early.
    const std::string playing = kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                                played(24, 2, "Blur - Song 2") + played(70, 3, "Abba - Waterloo");
    EXPECT_EQ(figuresOf(playing).all.earlyArtist, 0);
    // A stop, and the player shut down and started again, are no time on air either.
    const std::string off = kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                            line(5, "stopped") + line(15, "playing") + line(20, "shutdown") +
                            start(50, 3, 10) + line(55, "playing") + played(55, 3, "Abba - Waterloo") +
                            line(60, "stopped");
    const sim::AiredFigures restarted = figuresOf(off);
    EXPECT_EQ(restarted.all.airMs, (5 + 5 + 5) * 60000);
    EXPECT_EQ(restarted.all.earlyArtist, 1);
    // By the local hour of the log: 20:00 (+01:00).
    EXPECT_EQ(restarted.playedByHour[20], 2);
    // A day and more without a line while playing is a machine asleep or a clock set forward.
    const sim::AiredFigures asleep =
        figuresOf(kHeading + start(0, 3, 10) + line(0, "playing") + played(0, 1, "Abba - SOS") +
                  played(30 * 60, 2, "Blur - Song 2") + line(30 * 60 + 4, "stopped"));
    EXPECT_EQ(asleep.all.airMs, 4 * 60000);
    EXPECT_EQ(asleep.holes, 1);
}

TEST(AiredFigures, FromAndToCountTheirDaysAgainstWhatPlayedBefore) {
    // 23:40 Abba, then past midnight Abba again after 30 minutes, then Cher late that night.
    const double day = 24 * 60;
    const std::string text = kHeading + start(200, 3, 10) + line(200, "playing") +
                             played(220, 1, "Abba - SOS") + played(250, 2, "Abba - Waterloo") +
                             played(260, 3, "Blur - Song 2") +
                             skipped(264, 4, "Blur - Tender", "Blur - Song 2", 1) +
                             played(day + 200, 5, "Cher - Believe") + line(day + 300, "stopped");
    sim::AiredScope scope;
    ASSERT_TRUE(sim::parseDay("2026-12-09", &scope.fromDay));
    scope.toDay = scope.fromDay;
    const sim::AiredFigures figures = figuresOf(text, scope);
    ASSERT_EQ(figures.days.size(), 1u);
    EXPECT_EQ(sim::dayText(figures.days[0].day), "2026-12-09");
    EXPECT_EQ(figures.all.played, 3);
    EXPECT_EQ(figures.all.skipped, 1);
    EXPECT_EQ(figures.all.earlyArtist, 1);     // held against 23:40 the day before
    EXPECT_EQ(figures.all.airMs, day * 60000); // on air the whole day
    EXPECT_EQ(figuresOf(text).days.size(), 3u);
}

TEST(AiredFigures, ASimulatedRunReadAsItsLogCountsAsTheSweepCountsIt) {
    const char* const artists[] = {"Abba",          "Blur",    "Cher",        "Dido", "Enya",
                                   "Faith No More", "Garbage", "Hole",        "Inxs", "Jewel",
                                   "Kiss",          "Lush",    "Muse",        "Nena", "Oasis",
                                   "Pulp",          "Queen",   "Queensryche", "Rush", "The Beatles"};
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 60; i++)
        playlist.push_back(
            {std::string(artists[i % 20]) + " - Song " + std::to_string(i), 150 + i * 7 % 120});
    playlist.push_back({"Beatles, The - Song 60", 200}); // a spelling the rule reads as another artist
    sim::RunRecord record;
    sim::simulateRun(playlist, {4, 20, true}, sim::sweepOrder(61, 7), 4 * 86400, &record);
    const sim::SeedFigures sweep = sim::seedFigures(record, sim::sweepPlaylist(playlist), 7, false, kGoal);

    sim::AirLog log = {};
    sim::appendRecordLines(record, {4, 20, true}, "0.24b", {kStartMs, kOffset}, {}, &log);
    const sim::AiredHistory history = sim::airedHistory(log, &playlist);
    const sim::AiredFigures aired = sim::airedFigures(history, kGoal, {});
    EXPECT_EQ(aired.all.played, sweep.played);
    EXPECT_EQ(aired.all.skipped, sweep.skipped);
    EXPECT_EQ(aired.all.airMs, record.stationSeconds * 1000);
    EXPECT_EQ(aired.all.earlyArtist, sweep.earlyArtist);
    EXPECT_EQ(aired.all.unpreventable, sweep.unpreventable);
    EXPECT_EQ(aired.all.earlyTitle, sweep.earlyTitle);
    EXPECT_EQ(aired.all.longestSkipRun, sweep.longestSkipRun);
    EXPECT_EQ(aired.artistPerDay, sweep.artistPerDay);
    EXPECT_GT(sweep.earlyArtist, 0);
    EXPECT_EQ(sim::playedOrder(history, {}).verdict, sim::kOrderDealt);
}

TEST(AiredFigures, ThePredictionOfARunOfTheModelHoldsThatRunAmongItsSeeds) {
    // The station is the model itself, shuffled with seed 2: the prediction's seed 2 is that very
    // run, so each of its figures is the aired one, and none can fall outside.
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 80; i++)
        playlist.push_back({"Artist" + std::string(1, static_cast<char>('A' + i % 26)) +
                                std::to_string(i % 3) + " - Song " + std::to_string(i),
                            170 + i * 13 % 90});
    sim::RunRecord record;
    sim::simulateRun(playlist, {6, 30, true}, sim::sweepOrder(80, 2), 2 * 86400, &record);
    sim::AirLog log = {};
    sim::appendRecordLines(record, {6, 30, true}, "0.24b", {kStartMs, kOffset}, {}, &log);
    const sim::AiredHistory history = sim::airedHistory(log, &playlist);
    const sim::AiredFigures figures = sim::airedFigures(history, kGoal, {});
    const sim::AiredPrediction prediction = sim::predictAired(history, figures, {}, playlist, {1, 2, 3});
    ASSERT_EQ(prediction.periods.size(), 1u);
    ASSERT_TRUE(prediction.periods[0].simulated);
    ASSERT_EQ(prediction.periods[0].figures.size(), static_cast<size_t>(sim::kPredictedFigures));
    for (const sim::FigureSpread& spread : prediction.periods[0].figures) {
        EXPECT_FALSE(spread.outside) << spread.figure;
        EXPECT_NE(std::find(spread.seeds.begin(), spread.seeds.end(), spread.aired), spread.seeds.end())
            << spread.figure;
    }
}

TEST(AiredFigures, APlayerInOrderIsNotTheModelAndNothingIsRecommendedFromIt) {
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < 40; i++)
        playlist.push_back({"Artist" + std::to_string(i % 13) + " - Song " + std::to_string(i), 200});
    sim::PlayOrder inOrder;
    sim::startPlayOrder(&inOrder, 40, false, 0);
    sim::RunRecord record;
    sim::simulateRun(playlist, {3, 10, true}, inOrder, 3 * 86400, &record);
    sim::AirLog log = {};
    sim::appendRecordLines(record, {3, 10, true}, "0.24b", {kStartMs, kOffset}, {}, &log);
    const sim::AiredHistory history = sim::airedHistory(log, nullptr);
    const sim::PlayedOrder order = sim::playedOrder(history, {});
    EXPECT_EQ(order.verdict, sim::kOrderInOrder);
    EXPECT_FALSE(order.fits);
    sim::SweepPlan plan;
    plan.artistLimits = {0, 3};
    plan.titleLimits = {10};
    plan.seeds = {1};
    plan.stationSeconds = 86400;
    plan.goal = kGoal;
    const sim::AiredAnswer answer =
        sim::answerFromHistory(history.playlist, "the log's titles", plan, order, history);
    EXPECT_EQ(answer.state, sim::kAnswerWithheld);
    EXPECT_NE(answer.reason.find("plays its playlist in order"), std::string::npos) << answer.reason;
    EXPECT_TRUE(answer.rows.empty());
}

} // namespace
