// The entry linked into this program, so that allocations can be made to fail and the plug-in's
// own heap blocks counted: a refused allocation leaves nothing half set up, and shutDown frees all.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/memory.h"
#include "host/plugin_entry.h"
#include "settings/settings_store.h"
#include "support/closing_player.h"
#include "support/dialog_driver.h"
#include "support/player_fixture.h"

namespace {

using support::kDeadlineMs;

struct EntryTest : support::PlayerTest {
    PluginDescriptor* plugin = winampGetGeneralPurposePlugin();
    std::string iniPath, pagePath;

    void SetUp() override {
        PlayerTest::SetUp();
        plugin->hostWindow = player.window;
        plugin->moduleInstance = GetModuleHandleA(nullptr);
        // The settings file sits beside this program; point its page into the test's folder.
        char modulePath[MAX_PATH];
        GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
        iniPath = modulePath;
        iniPath = iniPath.substr(0, iniPath.rfind('\\') + 1) + "plugin.ini";
        pagePath = path("status.htm");
        support::writeFile(iniPath, "[Songbeacon]\r\nOutputFilename=" + pagePath + "\r\n");
    }
    void TearDown() override {
        memory::failAllocationsAfter(-1);
        DeleteFileA(iniPath.c_str());
        PlayerTest::TearDown();
    }
};

TEST_F(EntryTest, RefusedAllocationInStartUpLeavesNothingHalfSetUp) {
    const int32_t blocksBefore = memory::liveBlocks();
    // startUp allocates five blocks: the settings path, the history and three text buffers.
    for (int32_t successes = 0; successes < 5; successes++) {
        memory::failAllocationsAfter(successes);
        EXPECT_EQ(plugin->startUp(), 1) << "with " << successes << " allocations allowed";
        memory::failAllocationsAfter(-1);
        EXPECT_EQ(memory::liveBlocks(), blocksBefore);
        EXPECT_STREQ(plugin->descriptionText, "");
        plugin->configure(); // inert: no dialog opens
        plugin->shutDown();  // inert: no page is written
        EXPECT_EQ(GetFileAttributesA(pagePath.c_str()), INVALID_FILE_ATTRIBUTES);
    }
    ASSERT_EQ(plugin->startUp(), 0);
    plugin->shutDown();
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
}

TEST_F(EntryTest, ShutDownFreesEveryEntryAndBuffer) {
    const int32_t blocksBefore = memory::liveBlocks();
    ASSERT_EQ(plugin->startUp(), 0);
    for (int i = 0; i < 1005; i++)
        player.titles.push_back("Artist " + std::to_string(i) + " - Title");
    player.state = sim::kPlaying;
    player.wrapAtEnd = true;
    // Walk the playlist once through: each new entry is admitted, the ring wraps past 1000.
    player.context = this;
    player.afterMessage = [](sim::Player* p, UINT message, WPARAM, LPARAM which) {
        if (message == sim::kUserMessage && which == sim::kQueryPlaylistTitle && p->position < 1004)
            p->position++;
    };
    ASSERT_TRUE(support::pumpUntil([&] { return player.position == 1004; }));
    sim::pumpFor(50);
    plugin->shutDown();
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
}

// Reserves every free stretch of the address space that could hold a thread's stack, so that
// the next CreateThread fails the way it does in a process that has run out of address space.
// The heap keeps the free space it already has, so small allocations still succeed.
std::vector<void*> reserveAddressSpace() {
    std::vector<void*> reserved;
    for (SIZE_T size = SIZE_T{1} << 30; size >= 64 * 1024;) {
        void* block = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (block != nullptr)
            reserved.push_back(block);
        else
            size /= 2;
    }
    return reserved;
}

TEST_F(EntryTest, WorkerThatCannotStartIsReportedInTheDescription) {
    // Warm the heap first: the start-up's own small allocations must not need new address space.
    std::vector<void*> warm;
    for (int i = 0; i < 256; i++)
        warm.push_back(std::malloc(16 * 1024));
    for (void* block : warm)
        std::free(block);

    std::vector<void*> reserved = reserveAddressSpace();
    const int started = plugin->startUp();
    for (void* block : reserved)
        VirtualFree(block, 0, MEM_RELEASE);

    ASSERT_EQ(started, 0); // the plug-in stays loaded with its settings
    EXPECT_STREQ(plugin->descriptionText, "Error initializing Songbeacon!");
    plugin->shutDown(); // still writes the off-line page
    EXPECT_NE(support::readFile(pagePath).find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(player.playingQueries, 0); // no worker ever asked
}

TEST_F(EntryTest, ShutDownFromInsideTheDialogFreesEverythingAndLeavesNoLock) {
    const int32_t blocksBefore = memory::liveBlocks();
    ASSERT_EQ(plugin->startUp(), 0);
    play({"Abba - SOS"});
    ASSERT_TRUE(support::pumpUntil(
        [&] { return support::readFile(pagePath).find("Abba - SOS") != std::string::npos; }));
    const std::string iniBefore = support::readFile(iniPath);

    const support::ClosedDuringDialog closed =
        support::closePlayerDuringDialog(player.window, plugin->configure, plugin->shutDown);
    EXPECT_EQ(closed.shutDowns, 1);
    EXPECT_TRUE(closed.endedByShutDown);
    EXPECT_TRUE(closed.closed);
    EXPECT_EQ(support::readFile(iniPath), iniBefore);
    EXPECT_NE(support::readFile(pagePath).find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
    EXPECT_FALSE(settings::lockIsSetUp()) << "the dialog set the settings lock up again after shutDown";

    // A clean stop: the plug-in starts again and its dialog works as before.
    ASSERT_EQ(plugin->startUp(), 0);
    support::runDrivenBy(plugin->configure, [](support::DialogDriver& dialog) {
        EXPECT_TRUE(dialog.type(1102, "7"));
        EXPECT_TRUE(dialog.press(IDOK));
    });
    EXPECT_EQ(support::iniInteger(iniPath, "RecentTitleListLength"), 7);
    plugin->shutDown();
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
    EXPECT_FALSE(settings::lockIsSetUp());
}

// Watches for the configuration dialog from a thread of its own and closes it whenever it shows.
struct DialogWatch {
    std::atomic<bool> stop;
    std::atomic<int32_t> seen;
};

DWORD WINAPI watchForDialog(LPVOID context) {
    auto* watch = static_cast<DialogWatch*>(context);
    while (!watch->stop) {
        HWND dialog = FindWindowA("#32770", support::kDialogCaption);
        if (dialog != nullptr) {
            watch->seen++;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        Sleep(5);
    }
    return 0;
}

TEST_F(EntryTest, CallbacksArrivingDuringTheShutDownWaitDoNothing) {
    const int32_t blocksBefore = memory::liveBlocks();
    ASSERT_EQ(plugin->startUp(), 0);
    play({"Abba - SOS"});
    ASSERT_TRUE(support::pumpUntil(
        [&] { return support::readFile(pagePath).find("Abba - SOS") != std::string::npos; }));

    // Stop answering until the worker waits in a message to the player: shutDown's wait answers
    // it, and the player's handler then calls back into the plug-in.
    ASSERT_TRUE(
        support::waitFor([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }));
    struct Reentry {
        PluginDescriptor* plugin;
        int32_t calls;
    } reentry = {plugin, 0};
    player.context = &reentry;
    player.afterMessage = [](sim::Player* p, UINT, WPARAM, LPARAM) {
        auto* reentry = static_cast<Reentry*>(p->context);
        if (reentry->calls++ > 0)
            return;
        reentry->plugin->configure();
        reentry->plugin->shutDown();
        EXPECT_EQ(reentry->plugin->startUp(), 1);
    };
    DialogWatch watch = {{false}, {0}};
    HANDLE watcher = CreateThread(nullptr, 0, watchForDialog, &watch, 0, nullptr);
    plugin->shutDown();
    watch.stop = true;
    WaitForSingleObject(watcher, kDeadlineMs);
    CloseHandle(watcher);
    player.afterMessage = nullptr;

    EXPECT_GE(reentry.calls, 1);
    EXPECT_EQ(watch.seen, 0) << "a dialog opened inside the shut-down";
    EXPECT_NE(support::readFile(pagePath).find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
    // The stop was clean, not abandoned: the plug-in starts again.
    ASSERT_EQ(plugin->startUp(), 0);
    plugin->shutDown();
}

} // namespace
