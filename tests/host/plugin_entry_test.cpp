// The entry linked into this program, so that allocations can be made to fail and the plug-in's
// own heap blocks counted: a refused allocation leaves nothing half set up, and shutDown frees all.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/memory.h"
#include "host/plugin_entry.h"
#include "sim_player.h"

namespace {

constexpr DWORD kDeadlineMs = 30000;

struct EntryTest : ::testing::Test {
    sim::Player player;
    PluginDescriptor* plugin = winampGetGeneralPurposePlugin();
    std::string iniPath, pagePath;

    void SetUp() override {
        sim::initPlayer(&player);
        ASSERT_TRUE(sim::createPlayerWindow(&player));
        plugin->hostWindow = player.window;
        plugin->moduleInstance = GetModuleHandleA(nullptr);
        // The settings file sits beside this program; point its page into the temporary folder.
        char modulePath[MAX_PATH], temp[MAX_PATH];
        GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
        iniPath = modulePath;
        iniPath = iniPath.substr(0, iniPath.rfind('\\') + 1) + "plugin.ini";
        GetTempPathA(sizeof temp, temp);
        pagePath = std::string(temp) + "sb-entry-" + std::to_string(GetCurrentProcessId()) + ".htm";
        std::ofstream(iniPath, std::ios::binary) << "[Songbeacon]\r\nOutputFilename=" << pagePath << "\r\n";
    }
    void TearDown() override {
        memory::failAllocationsAfter(-1);
        sim::destroyPlayerWindow(&player);
        DeleteFileA(iniPath.c_str());
        DeleteFileA(pagePath.c_str());
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
    ASSERT_TRUE(sim::pumpUntil([](void* p) { return static_cast<sim::Player*>(p)->position == 1004; },
                               &player, kDeadlineMs));
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
    std::ifstream page(pagePath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(player.playingQueries, 0); // no worker ever asked
}

} // namespace
