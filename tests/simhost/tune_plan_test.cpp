// songbeacon-tune's command line and the ranges it chooses: a bad option is named before anything
// is asked or copied, and the ranges never starve the rotation nor exceed what a sweep plays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tune/tune_plan.h"

namespace {

TEST(TunePlan, WhatThePlayerOrASweepRefusesIsNamedAtOnce) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"l.m3u", "--log", "x.csv"}, "--log: a sweep writes no per-track log"},
        {{"--speed", "2"}, "unknown option --speed"},
        {{"l.m3u", "other.m3u"}, "unexpected argument \"other.m3u\": give one playlist, first, then options"},
        {{"l.m3u", "--artist-limit", "1001"},
         "--artist-limit needs a whole number from 0 to 1000, not '1001'"},
        {{"l.m3u", "--title-limit"}, "--title-limit needs a whole number from 0 to 1000, not ''"},
        {{"l.m3u", "--ini"}, "--ini needs a settings file"},
    };
    for (const auto& [arguments, expected] : cases) {
        sim::TuneCommand command;
        std::string error;
        EXPECT_EQ(sim::parseTuneCommand(arguments, &command, &error), sim::kTuneBadOptions) << expected;
        EXPECT_EQ(error.rfind(expected, 0), 0u) << error;
    }
}

// `entries` titles of `artists` artists whose first three letters differ, each 200 seconds long.
std::vector<sim::PlaylistEntry> playlistOf(int entries, int artists) {
    std::vector<sim::PlaylistEntry> playlist;
    for (int i = 0; i < entries; i++) {
        const int a = i % artists;
        const std::string artist = {static_cast<char>('A' + a / 676 % 26),
                                    static_cast<char>('a' + a / 26 % 26), static_cast<char>('a' + a % 26)};
        playlist.push_back({artist + " - Song " + std::to_string(i), 200});
    }
    return playlist;
}

TEST(TunePlan, RangesFollowTheGoalsButNeverStarveTheRotationNorExceedASweep) {
    const struct {
        int entries, artists, seeds, artistGap;
        int artistTo, titleTo, titleStep;
    } cases[] = {
        // An hour holds 18 tracks of 200 s, three hours 54: twice each, the title by a round step.
        {400, 200, 3, 60, 36, 100, 10},
        // Half the artists and half the titles at most, so that no setting starves the rotation.
        {40, 12, 3, 60, 6, 20, 2},
        {1, 1, 3, 60, 0, 0, 1},
        // Eleven titles at most: eleven steps of 1 would be twelve limits, so the step is 2.
        {22, 12, 3, 60, 6, 10, 2},
        // A long artist gap on many seeds: the title step coarsens, then the artist range shortens,
        // until the runs fit within a sweep's 10000.
        {5000, 3000, 100, 600, 45, 100, 100},
    };
    for (const auto& c : cases) {
        sim::TuneCommand command;
        command.seeds = c.seeds;
        command.artistGapMinutes = c.artistGap;
        const sim::TuneRanges ranges = sim::defaultRanges(playlistOf(c.entries, c.artists), command);
        EXPECT_EQ(ranges.artist.to, c.artistTo) << c.entries << " entries";
        EXPECT_EQ(ranges.title.to, c.titleTo) << c.entries << " entries";
        EXPECT_EQ(ranges.title.step, c.titleStep) << c.entries << " entries";
        const int settings = (ranges.artist.to + 1) * (ranges.title.to / ranges.title.step + 1);
        EXPECT_LE(settings * c.seeds, sim::kMostSweepRuns);
    }
}

TEST(TunePlan, ThePlayerGetsTheCopyTheRangesAndTheReportOnlyWhereTheOperatorGaveNone) {
    sim::TuneRanges ranges = {};
    ranges.artist = {true, 0, 26, 1};
    ranges.title = {true, 0, 80, 10};
    const struct {
        std::vector<std::string> typed, player;
    } cases[] = {
        // The playlist first; the tool's own options stay with the tool.
        {{"C:\\My Lists\\Mix.m3u", "--no-browser", "--ini", "s.ini", "--seeds", "2", "--artist-limit", "7"},
         {"--seeds", "2", "--sweep-artist", "0..26", "--sweep-title", "0..80:10", "--report",
          "C:\\T\\sweep.html"}},
        {{"C:\\My Lists\\Mix.m3u", "--sweep-title", "0..50", "--report", "mine.html"},
         {"--sweep-title", "0..50", "--report", "mine.html"}},
    };
    for (const auto& c : cases) {
        sim::TuneCommand command;
        std::string error;
        ASSERT_EQ(sim::parseTuneCommand(c.typed, &command, &error), sim::kTuneParsed) << error;
        std::vector<std::string> expected = {"songbeacon-tune", "C:\\T\\gen_SBeacon.dll", command.playlist};
        expected.insert(expected.end(), c.player.begin(), c.player.end());
        EXPECT_EQ(sim::playerArguments(command, "C:\\T\\gen_SBeacon.dll", command.playlist, ranges,
                                       "C:\\T\\sweep.html"),
                  expected);
        EXPECT_EQ(command.playlist, "C:\\My Lists\\Mix.m3u");
    }
    EXPECT_EQ(sim::typedCommandOf("C:\\Program Files\\songbeacon-tune.exe",
                                  {"C:\\My Lists\\a.m3u", "--seeds", "2"}),
              "\"C:\\Program Files\\songbeacon-tune.exe\" \"C:\\My Lists\\a.m3u\" --seeds 2");
}

// The advice after the answer: what to type, nothing when the limits are already the answer, and
// the filter's switch first when plugin.ini has it off (the dialog does not show it).
TEST(TunePlan, TheDialogAdviceFollowsWhereTheStationStands) {
    const std::string type = sim::dialogAdvice({true, {14, 50}, false, false});
    EXPECT_NE(
        type.find("type\n    14 into \"Same Artist Check limit\"\n    50 into \"Same Title Check limit\"\n"),
        std::string::npos)
        << type;
    EXPECT_EQ(sim::dialogAdvice({true, {14, 50}, true, false}),
              "Your limits are already the recommended ones: leave the plug-in's settings as they are.\n");
    for (bool recommended : {true, false}) {
        const std::string off = sim::dialogAdvice({recommended, {14, 50}, false, true});
        EXPECT_EQ(off.find("First switch the filter on: in the player's plugin.ini (Plugins folder), set "
                           "EnablePlaylistMonitoring=1"),
                  0u)
            << off;
        EXPECT_NE(off.find(recommended ? "14 into" : "pick one of the choice: lines"), std::string::npos)
            << off;
    }
}

} // namespace
