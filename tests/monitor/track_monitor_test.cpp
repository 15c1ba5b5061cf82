// The track monitor against a simulated player. The test's thread owns the player window and
// pumps its messages while the worker runs on a thread of its own, as in the real player; each
// phase runs the worker for a number of passes (counted by the player's is-playing queries) and
// then stops it, so that the history and the page are inspected only while the worker is idle.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "monitor/track_monitor.h"
#include "settings/settings_store.h"
#include "sim_player.h"

namespace {

constexpr DWORD kDeadlineMs = 60000; // generous: the machine may be loaded

struct MonitorTest : ::testing::Test {
    sim::Player player;
    std::string pagePath;

    void SetUp() override {
        sim::initPlayer(&player);
        ASSERT_TRUE(sim::createPlayerWindow(&player));
        pluginState.hostWindow = player.window;
        pluginState.history = history::create(1000);
        pluginState.currentTitle = nullptr;
        pluginState.playing = 0;
        ASSERT_TRUE(settings::allocateTextBuffers());

        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        pagePath = std::string(temp) + "sb-monitor-" + std::to_string(GetCurrentProcessId()) + ".htm";
        DeleteFileA(pagePath.c_str());
        settings::TextSettings texts = {};
        std::strcpy(texts.OutputFilename, pagePath.c_str());
        std::strcpy(texts.HTMLTitle, "Test station");
        std::strcpy(texts.HTMLHeader, "Header");
        settings::storeTexts(texts);
        PluginSettings& live = pluginState.settings;
        live.EnableHTMLOutput = 1;
        live.RecentTitleListLength = 10;
        live.EnablePlaylistMonitoring = 1;
        live.SameArtistCheckLimit = 0;
        live.SameTitleCheckLimit = 0;
    }
    void TearDown() override {
        history::destroy(pluginState.history);
        pluginState.history = nullptr;
        settings::releaseTextBuffers();
        sim::destroyPlayerWindow(&player);
        DeleteFileA(pagePath.c_str());
    }

    void play(const std::vector<std::string>& titles, int32_t position = 0) {
        player.titles = titles;
        player.position = position;
        player.state = sim::kPlaying;
    }

    // Runs the worker until it has made `passes` more passes, then stops it and waits for its end.
    void runPasses(int32_t passes) {
        pluginState.stopRequested = 0;
        HANDLE worker = CreateThread(nullptr, 0, monitor::workerMain, nullptr, 0, nullptr);
        ASSERT_NE(worker, nullptr);
        struct Progress {
            const sim::Player* player;
            int32_t target;
        } progress = {&player, player.playingQueries + passes};
        const bool reached = sim::pumpUntil(
            [](void* p) {
                auto* progress = static_cast<Progress*>(p);
                return progress->player->playingQueries >= progress->target;
            },
            &progress, kDeadlineMs);
        pluginState.stopRequested = 1;
        const bool ended = sim::pumpUntil(
            [](void* thread) { return WaitForSingleObject(static_cast<HANDLE>(thread), 0) == WAIT_OBJECT_0; },
            worker, kDeadlineMs);
        DWORD exitCode = 1;
        GetExitCodeThread(worker, &exitCode);
        CloseHandle(worker);
        ASSERT_TRUE(reached) << "the worker made too few passes";
        ASSERT_TRUE(ended) << "the worker did not end after the stop request";
        EXPECT_EQ(exitCode, 0u);
    }

    std::vector<std::string> historyTitles() {
        std::vector<std::string> titles;
        for (int32_t i = 0; i < pluginState.history->count; i++)
            titles.push_back(history::at(pluginState.history, i));
        return titles;
    }
    bool pageExists() { return GetFileAttributesA(pagePath.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string page() {
        std::ifstream in(pagePath, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The title shown as the current track, as the page's current-track cell holds it.
    std::string currentCell(const std::string& title) {
        return "SIZE=2>" + title + "</FONT></TD></TR></TABLE>\r\n";
    }
};

TEST_F(MonitorTest, StopRequestedBeforeStartMeansNoPass) {
    play({"Abba - SOS"});
    pluginState.stopRequested = 1;
    HANDLE worker = CreateThread(nullptr, 0, monitor::workerMain, nullptr, 0, nullptr);
    ASSERT_NE(worker, nullptr);
    ASSERT_TRUE(sim::pumpUntil(
        [](void* thread) { return WaitForSingleObject(static_cast<HANDLE>(thread), 0) == WAIT_OBJECT_0; },
        worker, kDeadlineMs));
    CloseHandle(worker);
    EXPECT_EQ(player.playingQueries, 0);
    EXPECT_EQ(pluginState.history->count, 0);
}

TEST_F(MonitorTest, FirstTitleIsRecordedAndPublishedOnce) {
    pluginState.settings.SameArtistCheckLimit = 1000;
    pluginState.settings.SameTitleCheckLimit = 1000;
    play({"Abba - SOS"});
    runPasses(200);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_NE(page().find(currentCell("Abba - SOS")), std::string::npos);
    EXPECT_EQ(player.nextTrackCommands, 0);
    // Every pass asks three questions while the player plays.
    EXPECT_EQ(player.positionQueries, player.playingQueries);
    EXPECT_EQ(player.titleQueries, player.playingQueries);
    EXPECT_EQ(player.otherMessages, 0);
}

TEST_F(MonitorTest, StoppedPlayerMakesNoEntriesAndNoPage) {
    player.titles = {"Abba - SOS"};
    player.state = sim::kStopped;
    runPasses(500);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
    EXPECT_EQ(player.positionQueries, 0); // one question per pass while stopped
    EXPECT_EQ(player.titleQueries, 0);
    EXPECT_EQ(pluginState.playing, 0);
    EXPECT_EQ(pluginState.currentTitle, nullptr);
}

TEST_F(MonitorTest, EmptyTitleIntoEmptyHistoryIsIgnored) {
    play({""});
    runPasses(100);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
}

TEST_F(MonitorTest, PauseStopAndResumeOfTheSameTrackDoNothing) {
    play({"Abba - SOS", "Queen - Innuendo"});
    runPasses(50);
    ASSERT_TRUE(pageExists());
    ASSERT_TRUE(DeleteFileA(pagePath.c_str()));

    player.state = sim::kPaused;
    runPasses(50);
    player.state = sim::kStopped;
    runPasses(50);
    player.state = sim::kPlaying;
    runPasses(50);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_FALSE(pageExists()); // no rewrite for a track that did not change
}

TEST_F(MonitorTest, SameTitleTwiceInARowIsRecordedOnce) {
    pluginState.settings.EnablePlaylistMonitoring = 0;
    play({"Abba - SOS", "Abba - SOS", "Queen - Innuendo", "Abba - SOS"});
    runPasses(50);
    player.position = 1; // another entry, same text
    runPasses(50);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    player.position = 2;
    runPasses(50);
    player.position = 3; // a title in between makes the repeat a new track
    runPasses(50);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo", "Abba - SOS"}));
    EXPECT_NE(page().find(currentCell("Abba - SOS")), std::string::npos);
}

TEST_F(MonitorTest, RefusedTitleIsSkippedAndTheNextOneJudgedAfresh) {
    pluginState.settings.SameArtistCheckLimit = 1;
    play({"Abba - SOS"});
    runPasses(20);
    play({"ABBA - Waterloo", "Queen - Innuendo"});
    runPasses(200);
    EXPECT_EQ(player.nextTrackCommands, 1);
    EXPECT_EQ(player.position, 1);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Queen - Innuendo"}));
    EXPECT_NE(page().find(currentCell("Queen - Innuendo")), std::string::npos);
    EXPECT_EQ(page().find("Waterloo"), std::string::npos);
}

TEST_F(MonitorTest, EveryEntryRefusedKeepsTheCommandsComing) {
    pluginState.settings.SameArtistCheckLimit = 1000;
    play({"Abba - SOS"});
    runPasses(20);
    const int32_t titleQueriesBefore = player.titleQueries;
    ASSERT_TRUE(DeleteFileA(pagePath.c_str()));

    play({"Abba - Waterloo", "ABBA - Fernando", "abba - Mamma Mia"});
    player.wrapAtEnd = true;
    runPasses(300);
    // One command on every pass that read a refused title: all of them, here.
    EXPECT_EQ(player.nextTrackCommands, player.titleQueries - titleQueriesBefore);
    EXPECT_GE(player.nextTrackCommands, 300);
    EXPECT_EQ(historyTitles(), std::vector<std::string>{"Abba - SOS"});
    EXPECT_FALSE(pageExists());
}

TEST_F(MonitorTest, MonitoringOffRecordsEveryChange) {
    pluginState.settings.EnablePlaylistMonitoring = 0;
    pluginState.settings.SameArtistCheckLimit = 1000;
    pluginState.settings.SameTitleCheckLimit = 1000;
    play({"Abba - SOS", "Abba - Waterloo"});
    runPasses(30);
    player.position = 1;
    runPasses(30);
    player.position = 0;
    runPasses(30);
    EXPECT_EQ(historyTitles(), (std::vector<std::string>{"Abba - SOS", "Abba - Waterloo", "Abba - SOS"}));
    EXPECT_EQ(player.nextTrackCommands, 0);
}

TEST_F(MonitorTest, NoTitleFromThePlayerDoesNothing) {
    play({"Abba - SOS"});
    player.answerNullTitle = true;
    runPasses(100);
    EXPECT_EQ(pluginState.currentTitle, nullptr);
    EXPECT_NE(pluginState.playing, 0);
    player.answerNullTitle = false;
    player.reportedPositionOverride = 0x7FFFFFFF; // a wild position: the player has no such entry
    runPasses(100);
    player.reportedPositionOverride = -5;
    runPasses(100);
    EXPECT_EQ(pluginState.history->count, 0);
    EXPECT_FALSE(pageExists());
    EXPECT_EQ(player.nextTrackCommands, 0);
}

} // namespace
