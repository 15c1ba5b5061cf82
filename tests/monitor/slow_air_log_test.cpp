// The worker and the entry when the air log's folder blocks: every write of the log waits for
// seconds (a network folder that does not answer) until the test lets it go. This program brings
// its own airlog::appendLines in place of the file's, which holds the lines in memory once let go;
// the worker, the filter, the log's writer and queue and the entry are the plug-in's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "airlog/air_file.h"
#include "airlog/air_log.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/title_history.h"
#include "host/plugin_entry.h"
#include "monitor/track_monitor.h"
#include "settings/settings_store.h"
#include "support/air_log_text.h"
#include "support/page_text.h"
#include "support/player_fixture.h"

namespace {

using support::kDeadlineMs;
using support::pumpUntil;

// The log's "file": blocked until `released` is set, then kept in `written`.
HANDLE released = nullptr;
std::atomic<int32_t> appendsInFlight{0};
SRWLOCK writtenLock = SRWLOCK_INIT;
std::string written;

// Fields 2 to 12 of each line written, as the log's events.
std::vector<std::string> writtenEvents() {
    AcquireSRWLockShared(&writtenLock);
    const std::string text = written;
    ReleaseSRWLockShared(&writtenLock);
    std::vector<std::string> events;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        events.push_back(support::afterTime(text.substr(start, end - start)));
    return events;
}

} // namespace

namespace airlog {

// Stands in for the log file's append: blocks until released, then keeps the lines.
bool appendLines(const char*, char* lines, size_t length) {
    appendsInFlight++;
    WaitForSingleObject(released, kDeadlineMs * 2);
    AcquireSRWLockExclusive(&writtenLock);
    written.append(lines, length);
    ReleaseSRWLockExclusive(&writtenLock);
    appendsInFlight--;
    return true;
}

} // namespace airlog

namespace {

struct SlowAirLogTest : support::PlayerTest {
    void SetUp() override {
        PlayerTest::SetUp();
        released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        written.clear();
    }
    void TearDown() override {
        SetEvent(released);
        airlog::close(kDeadlineMs);
        pumpUntil([] { return appendsInFlight == 0; });
        CloseHandle(released);
        PlayerTest::TearDown();
    }
};

// While `spinning`, a skip past the last refused entry goes back to the first: the player keeps
// offering refused tracks, one new track a pass, as a playlist of one artist does.
std::atomic<bool> spinning{false};

void spinThroughRefused(sim::Player* player, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == sim::kCommandNextTrack && spinning &&
        player->position == 3)
        player->position = 1;
}

TEST_F(SlowAirLogTest, AFolderThatBlocksChangesNeitherDetectionNorTheSkips) {
    pluginState.hostWindow = player.window;
    pluginState.history = history::create(1000);
    ASSERT_TRUE(settings::allocateTextBuffers());
    pluginState.settings.EnableHTMLOutput = 0;
    pluginState.settings.EnablePlaylistMonitoring = 1;
    pluginState.settings.SameArtistCheckLimit = 1;
    airlog::setFile(path("air.log").c_str());
    play({"Abba - SOS", "ABBA - Waterloo", "abba - Fernando", "Queen - Innuendo"});
    player.afterMessage = spinThroughRefused;
    pluginState.stopRequested = 0;
    ASSERT_TRUE(monitor::start());
    // The first lines' write blocks, the first track recorded all the same.
    ASSERT_TRUE(pumpUntil([] { return appendsInFlight == 1 && pluginState.history->count == 1; }));

    // Far more refused tracks than the queue holds lines, while that write still blocks.
    spinning = true;
    player.position = 1;
    const bool spun = pumpUntil([&] { return player.nextTrackCommands >= 3000; });
    spinning = false;
    const bool admitted = pumpUntil([&] { return pluginState.history->count == 2; });
    const bool stillBlocked = appendsInFlight == 1;
    SetEvent(released);
    // The lines the queue held, then the count of the rest, as soon as the write has made room.
    const bool reported = pumpUntil([] {
        const std::vector<std::string> events = writtenEvents();
        return std::any_of(events.begin(), events.end(),
                           [](const std::string& e) { return e.find("lost\t") == 0; });
    });
    EXPECT_EQ(monitor::stop(kDeadlineMs), monitor::kEnded);
    EXPECT_TRUE(airlog::close(kDeadlineMs));
    player.afterMessage = nullptr;

    ASSERT_TRUE(spun) << "the worker stalled behind the blocked log";
    EXPECT_TRUE(admitted);
    EXPECT_TRUE(stillBlocked) << "the test's block ended early; it proves nothing";
    EXPECT_TRUE(reported);
    EXPECT_EQ(std::string(history::at(pluginState.history, 0)) + ", " + history::at(pluginState.history, 1),
              "Abba - SOS, Queen - Innuendo");
    // Every line the worker posted is in the file, or counted in a `lost` line: start, playing, the
    // two tracks played and one skip for every next-track command.
    long events = 0, lost = 0, skips = 0;
    for (const std::string& event : writtenEvents()) {
        if (event.compare(0, 5, "lost\t") == 0) {
            lost += std::atol(event.substr(event.rfind('\t') + 1).c_str());
            continue;
        }
        events++;
        skips += event.compare(0, 8, "skipped\t") == 0 ? 1 : 0;
    }
    EXPECT_GT(lost, 0);
    EXPECT_GT(skips, 100);
    EXPECT_EQ(events + lost, 4 + player.nextTrackCommands);
    std::printf("%d skips while the log blocked: %ld lines written, %ld counted lost\n",
                player.nextTrackCommands, events, lost);

    history::destroy(pluginState.history);
    pluginState.history = nullptr;
    settings::releaseTextBuffers();
}

// The path of the built plug-in, where the test finds it: beside this program in a test pack.
std::string builtPlugin() {
    std::string built = "Z:" + std::string(SB_PLUGIN_DLL);
    for (char& c : built)
        if (c == '/')
            c = '\\';
    return support::besideThisProgramElse("gen_SBeacon.dll", built);
}

TEST_F(SlowAirLogTest, ShutDownKeepsItsBoundWhileTheLogBlocks) {
    // A module in the test's folder stands for the plug-in's own, so that plugin.ini is read there;
    // the entry and everything behind it are this program's.
    ASSERT_TRUE(CopyFileA(builtPlugin().c_str(), path("gen_SBeacon.dll").c_str(), FALSE));
    HMODULE module = LoadLibraryA(path("gen_SBeacon.dll").c_str());
    ASSERT_NE(module, nullptr);
    support::writeFile(path("plugin.ini"),
                       "[Songbeacon]\r\nOutputFilename=" + path("status.htm") + "\r\nAirLog=air.log\r\n");
    PluginDescriptor* plugin = winampGetGeneralPurposePlugin();
    plugin->hostWindow = player.window;
    plugin->moduleInstance = module;
    const int32_t blocksBefore = memory::liveBlocks();
    ASSERT_EQ(plugin->startUp(), 0);
    play({"Abba - SOS"});
    ASSERT_TRUE(pumpUntil([] { return appendsInFlight == 1; }));

    const ULONGLONG start = GetTickCount64();
    plugin->shutDown();
    const ULONGLONG tookMs = GetTickCount64() - start;
    const std::string page = support::readFile(path("status.htm"));
    EXPECT_LT(tookMs, 5000u) << "shutDown waited for the blocked log";
    EXPECT_NE(page.find("The server is currently off-line."), std::string::npos);
    std::printf("shutDown took %llu ms with the log blocked\n", static_cast<unsigned long long>(tookMs));

    // The writer left behind finishes on its own once the folder answers, and frees all it owned.
    SetEvent(released);
    EXPECT_TRUE(pumpUntil([&] { return memory::liveBlocks() == blocksBefore; }));
    const std::vector<std::string> events = writtenEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events[0], "start\t\t\t\t\t\t\t0\t0\t1\t0.24b");
    FreeLibrary(module);
}

} // namespace
