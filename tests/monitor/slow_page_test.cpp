// The track monitor when its page target blocks: every write takes seconds and then fails, as an
// open on a network folder whose server has gone away does. This program supplies its own
// page::write() in place of the page file's, so that a write can take seconds without a network;
// the worker, the filter and the stop are the plug-in's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "monitor/track_monitor.h"
#include "page/page_file.h"
#include "settings/settings_store.h"
#include "support/player_fixture.h"

namespace {

using support::kDeadlineMs;
using support::pumpUntil;

// Long enough to count as slow by any measure, short enough for a test, and within what a player's
// exit can afford; a test may make it longer.
constexpr DWORD kFailingWriteMs = 1500;

std::atomic<DWORD> failingWriteMs{kFailingWriteMs};
std::atomic<int32_t> writeAttempts{0};
std::atomic<int32_t> writesInFlight{0};
std::atomic<ULONGLONG> lastFailureAt{0};

} // namespace

namespace page {

// Stands in for the page file's write: takes failingWriteMs, then fails.
bool write() {
    writeAttempts++;
    writesInFlight++;
    Sleep(failingWriteMs);
    lastFailureAt = GetTickCount64();
    writesInFlight--;
    return false;
}

} // namespace page

namespace {

struct SlowPageTest : support::PlayerTest {
    void SetUp() override {
        PlayerTest::SetUp();
        writeAttempts = 0;
        writesInFlight = 0;
        failingWriteMs = kFailingWriteMs;
        pluginState.hostWindow = player.window;
        pluginState.history = history::create(1000);
        pluginState.currentTitle = nullptr;
        pluginState.playing = 0;
        ASSERT_TRUE(settings::allocateTextBuffers());
        PluginSettings& live = pluginState.settings;
        live.EnableHTMLOutput = 1;
        live.RecentTitleListLength = 10;
        live.EnablePlaylistMonitoring = 1;
        live.SameArtistCheckLimit = 1; // the same artist twice in a row is refused
        live.SameTitleCheckLimit = 0;
        live.PollInterval = 0;
    }
    void TearDown() override {
        history::destroy(pluginState.history);
        pluginState.history = nullptr;
        settings::releaseTextBuffers();
        PlayerTest::TearDown();
    }
    std::vector<std::string> historyTitles() {
        std::vector<std::string> titles;
        for (int32_t i = 0; i < pluginState.history->count; i++)
            titles.push_back(history::at(pluginState.history, i));
        return titles;
    }
};

TEST_F(SlowPageTest, ASlowFailureHoldsBackEveryWriteWhileTheWorkerPollsAndFilters) {
    play({"Abba - SOS", "Queen - Innuendo", "Queen - Radio Ga Ga", "Tom Waits - Clap Hands"});
    pluginState.stopRequested = 0;
    ASSERT_TRUE(monitor::start());
    // The first track's write blocks, then fails.
    ASSERT_TRUE(pumpUntil([] { return writeAttempts == 1 && writesInFlight == 0; }));
    const ULONGLONG failedAt = lastFailureAt;

    // Tracks change at once: the new tracks are judged as ever, but none of their writes is tried.
    player.position = 1;
    const bool secondRecorded = pumpUntil([&] { return pluginState.history->count == 2; });
    const int32_t passesBefore = player.playingQueries;
    player.position = 2; // the same artist again: refused, and the player skips to the next
    const bool refusedAndMovedOn = pumpUntil([&] { return pluginState.history->count == 3; });
    // Well past the second a quick failure waits, and past twice the failed attempt.
    pumpUntil([&] { return GetTickCount64() >= failedAt + 3 * kFailingWriteMs; });
    const int32_t passes = player.playingQueries - passesBefore;
    const int32_t attempts = writeAttempts;

    // No write is in flight, so the stop waits on none: a write begun by the stop would take the
    // whole failing time, which is what the bound below catches, however busy the machine.
    const ULONGLONG stopAt = GetTickCount64();
    EXPECT_EQ(writesInFlight, 0);
    EXPECT_EQ(monitor::stop(5000), monitor::kEnded);
    const ULONGLONG stopTookMs = GetTickCount64() - stopAt;

    EXPECT_TRUE(secondRecorded);
    EXPECT_TRUE(refusedAndMovedOn) << "the filter stalled behind the failing page";
    EXPECT_EQ(historyTitles(),
              (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo", "Tom Waits - Clap Hands"}));
    EXPECT_EQ(player.nextTrackCommands, 1);
    EXPECT_EQ(attempts, 1) << "a write was tried again during the hold after a slow failure";
    EXPECT_GT(passes, 100) << "the worker stopped polling between attempts";
    EXPECT_LT(stopTookMs, kFailingWriteMs);
    std::printf("%d passes in the %llu ms after the failure; stop took %llu ms\n", passes,
                static_cast<unsigned long long>(GetTickCount64() - failedAt),
                static_cast<unsigned long long>(stopTookMs));

    // A failure within what the exit can afford still gets the off-line page tried at shut-down.
    pluginState.playing = 0;
    EXPECT_TRUE(monitor::writeFinalPage());
    EXPECT_EQ(writeAttempts, attempts + 1);
}

TEST_F(SlowPageTest, AFailureTooSlowForThePlayersExitSkipsTheOffLinePageWhileItsHoldLasts) {
    failingWriteMs = 2600;
    play({"Abba - SOS"});
    pluginState.stopRequested = 0;
    ASSERT_TRUE(monitor::start());
    ASSERT_TRUE(pumpUntil([] { return writeAttempts == 1 && writesInFlight == 0; }));
    ASSERT_EQ(monitor::stop(5000), monitor::kEnded);
    pluginState.playing = 0;
    EXPECT_FALSE(monitor::writeFinalPage());
    EXPECT_EQ(writeAttempts, 1) << "shut-down blocked again on a target that took 2.6 s to fail";
}

} // namespace
