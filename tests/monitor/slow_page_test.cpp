// The track monitor when its page target blocks: every write takes seconds and then fails, as an
// open on a network folder whose server has gone away does, until the folder comes back. This
// program supplies its own page::writeWholeFile() in place of the page file's, so that a write can
// take seconds without a network; the worker, the filter, the page, the stop and the off-line
// page's write at shut-down are the plug-in's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "monitor/track_monitor.h"
#include "page/whole_file.h"
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
std::atomic<int32_t> folderIsBack{0}; // 1: a write succeeds at once, and its page is kept below
std::string writtenPath, writtenPage; // the last page written once the folder is back

} // namespace

namespace page {

// Stands in for the file write: takes failingWriteMs, then fails; once the folder is back, keeps
// the page and its file name and succeeds at once.
bool writeWholeFile(const char* path, const char* bytes, size_t length) {
    writeAttempts++;
    writesInFlight++;
    const bool back = folderIsBack != 0;
    if (back) {
        writtenPath = path;
        writtenPage.assign(bytes, length);
    } else {
        Sleep(failingWriteMs);
        lastFailureAt = GetTickCount64();
    }
    writesInFlight--;
    return back;
}

} // namespace page

namespace {

struct SlowPageTest : support::PlayerTest {
    void SetUp() override {
        PlayerTest::SetUp();
        writeAttempts = 0;
        writesInFlight = 0;
        failingWriteMs = kFailingWriteMs;
        folderIsBack = 0;
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
        // A write left blocked at shut-down ends on its own; the next test starts once it has.
        EXPECT_TRUE(pumpUntil([] { return writesInFlight == 0; }));
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

    // The off-line page is still tried at shut-down, during the hold.
    pluginState.playing = 0;
    monitor::writeFinalPage();
    EXPECT_TRUE(pumpUntil([&] { return writeAttempts == attempts + 1; }));
}

// The worker's last write took 2.6 s to fail, more than a player's exit can afford to wait again.
struct AfterASlowFailure : SlowPageTest {
    void SetUp() override {
        SlowPageTest::SetUp();
        settings::storeOutputFilename("\\\\radio\\www\\status.htm");
        failingWriteMs = 2600;
        play({"Abba - SOS"});
        pluginState.stopRequested = 0;
        ASSERT_TRUE(monitor::start());
        ASSERT_TRUE(pumpUntil([] { return writeAttempts == 1 && writesInFlight == 0; }));
        ASSERT_EQ(monitor::stop(5000), monitor::kEnded);
        pluginState.playing = 0;
    }
};

TEST_F(AfterASlowFailure, TheOffLinePageKeepsTheExitWithinItsBoundWhileTheFolderIsStillGone) {
    failingWriteMs = 6000;
    const ULONGLONG startedAt = GetTickCount64();
    const monitor::FinalPageResult result = monitor::writeFinalPage();
    const ULONGLONG tookMs = GetTickCount64() - startedAt;
    EXPECT_EQ(result, monitor::kFinalPageStillWriting);
    // The bound is the failing write's own length, which a busy machine cannot use up: the exit
    // waits about a second, never the whole blocked write.
    EXPECT_LT(tookMs, 6000u) << "shut-down waited for the whole blocked write";
    EXPECT_TRUE(pumpUntil([] { return writeAttempts == 2; })) << "the off-line page was not tried";
    std::printf("the off-line page's write left blocked after %llu ms\n",
                static_cast<unsigned long long>(tookMs));
}

TEST_F(AfterASlowFailure, TheOffLinePageIsWrittenWhenTheFolderIsBack) {
    folderIsBack = 1;
    EXPECT_EQ(monitor::writeFinalPage(), monitor::kFinalPageWritten);
    EXPECT_EQ(writeAttempts, 2);
    EXPECT_EQ(writtenPath, "\\\\radio\\www\\status.htm");
    EXPECT_NE(writtenPage.find("The server is currently off-line."), std::string::npos) << writtenPage;
    EXPECT_EQ(writtenPage.find("Currently playing track:"), std::string::npos) << writtenPage;
}

} // namespace
