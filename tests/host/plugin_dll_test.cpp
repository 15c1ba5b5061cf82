// The real gen_SBeacon.dll, loaded by a test host the way the player loads it: through its one
// export, with the host's main window answering the player's messages on the test's thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "plugin_header.h"
#include "sim_player.h"

namespace {

constexpr DWORD kDeadlineMs = 30000; // generous: the machine may be loaded

std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct PluginDllTest : ::testing::Test {
    std::string folder;
    HMODULE module = nullptr;
    sim::PluginHeader* plugin = nullptr;
    sim::Player player;
    bool running = false;

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "sb-dll-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        removeFiles(); // left by an earlier run that was killed: Wine reuses process ids
        CreateDirectoryA(folder.c_str(), nullptr);
        sim::initPlayer(&player);
        ASSERT_TRUE(sim::createPlayerWindow(&player));
    }
    void TearDown() override {
        if (running)
            plugin->shutDown();
        if (module != nullptr)
            FreeLibrary(module);
        sim::destroyPlayerWindow(&player);
        removeFiles();
    }
    void removeFiles() {
        for (const char* name : {"plugin.ini", "status.htm", "gen_SBeacon.dll", "gen_My Station.dll"})
            DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string path(const char* name) { return folder + "\\" + name; }

    // Copies the built DLL into the test's folder under `name`, loads it and fetches its descriptor.
    void load(const char* name = "gen_SBeacon.dll") {
        ASSERT_TRUE(CopyFileA(windowsPath(SB_PLUGIN_DLL).c_str(), path(name).c_str(), FALSE));
        module = LoadLibraryA(path(name).c_str());
        ASSERT_NE(module, nullptr);
        auto entry = reinterpret_cast<sim::PluginHeader* (*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, sim::kPluginEntryName)));
        ASSERT_NE(entry, nullptr);
        plugin = entry();
        ASSERT_NE(plugin, nullptr);
        plugin->hostWindow = player.window;
        plugin->moduleInstance = module;
    }
    int startUp() {
        const int result = plugin->startUp();
        running = result == 0;
        return result;
    }
    void shutDown() {
        plugin->shutDown();
        running = false;
    }
    void writeIni(const std::string& keys) {
        std::ofstream(path("plugin.ini"), std::ios::binary)
            << "[Songbeacon]\r\nOutputFilename=" << path("status.htm") << "\r\n"
            << keys;
    }
    // Pumps the host's messages until the page shows `title` as the track playing.
    bool waitForCurrentTrack(const std::string& title) {
        struct Wanted {
            std::string page, cell;
        } wanted = {path("status.htm"), "SIZE=2>" + title + "</FONT></TD></TR></TABLE>\r\n"};
        return sim::pumpUntil(
            [](void* w) {
                auto* wanted = static_cast<Wanted*>(w);
                return readFile(wanted->page).find(wanted->cell) != std::string::npos;
            },
            &wanted, kDeadlineMs);
    }
};

// What a second thread saw of a message box before it pressed OK.
struct MessageBoxSeen {
    bool found;
    std::string caption, text;
    bool hasOwner, showsIcon, showsCancel;
};

DWORD WINAPI pressOkOnErrorBox(LPVOID seenPointer) {
    auto* seen = static_cast<MessageBoxSeen*>(seenPointer);
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (GetTickCount64() < deadline) {
        HWND box = FindWindowA("#32770", "Error");
        if (box != nullptr && IsWindowVisible(box)) {
            char text[256] = "";
            GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text); // a message box's text control
            seen->found = true;
            seen->caption = "Error";
            seen->text = text;
            seen->hasOwner = GetWindow(box, GW_OWNER) != nullptr;
            HWND icon = GetDlgItem(box, 0x440); // a message box's icon control
            seen->showsIcon =
                icon != nullptr && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
            HWND cancel = GetDlgItem(box, IDCANCEL);
            seen->showsCancel = cancel != nullptr && IsWindowVisible(cancel);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

TEST_F(PluginDllTest, DescriptorBeforeStartUp) {
    load();
    EXPECT_EQ(plugin->headerVersion, 0x10);
    ASSERT_NE(plugin->description, nullptr);
    EXPECT_STREQ(plugin->description, "");
}

TEST_F(PluginDllTest, HostOlderThan205GetsTheErrorBoxAndNothingElse) {
    load();
    player.version = 0x204;
    MessageBoxSeen seen = {};
    HANDLE presser = CreateThread(nullptr, 0, pressOkOnErrorBox, &seen, 0, nullptr);
    ASSERT_NE(presser, nullptr);
    EXPECT_EQ(startUp(), 1);
    WaitForSingleObject(presser, kDeadlineMs);
    CloseHandle(presser);

    ASSERT_TRUE(seen.found) << "no message box captioned Error";
    EXPECT_EQ(seen.text, "The Songbeacon Plug-In requires WinAmp v2.05 or higher!");
    EXPECT_FALSE(seen.hasOwner);
    EXPECT_FALSE(seen.showsIcon);
    EXPECT_FALSE(seen.showsCancel);
    EXPECT_EQ(player.versionQueries, 1);
    EXPECT_STREQ(plugin->description, "");
    EXPECT_FALSE(fileExists(path("plugin.ini")));

    // The refused plug-in stays inert: no dialog, no page, no crash.
    plugin->configure();
    plugin->shutDown();
    EXPECT_FALSE(fileExists(path("status.htm")));
    EXPECT_EQ(player.playingQueries, 0);
}

TEST_F(PluginDllTest, Host205IsAcceptedAndTheFirstStartWritesEveryKey) {
    load();
    player.version = 0x205;
    ASSERT_EQ(startUp(), 0);
    EXPECT_STREQ(plugin->description, "Songbeacon Plug-In 0.24b (gen_SBeacon.dll)");
    const std::string ini = readFile(path("plugin.ini"));
    size_t position = ini.find("[Songbeacon]");
    EXPECT_NE(position, std::string::npos);
    for (const char* key : {"EnableHTMLOutput=1", "OutputFilename=c:/status.htm", "HTMLTitle=", "HTMLHeader=",
                            "RecentTitleListLength=10", "EnablePlaylistMonitoring=1",
                            "SameArtistCheckLimit=0", "SameTitleCheckLimit=0"}) {
        const size_t next = ini.find(key, position);
        EXPECT_NE(next, std::string::npos) << key << " missing or out of order";
        position = next;
    }
}

TEST_F(PluginDllTest, DescriptionNamesTheFileAsLoaded) {
    load("gen_My Station.dll");
    ASSERT_EQ(startUp(), 0);
    EXPECT_STREQ(plugin->description, "Songbeacon Plug-In 0.24b (gen_My Station.dll)");
}

TEST_F(PluginDllTest, TracksPlayedMakeThePagesAndShutDownSaysOffLine) {
    writeIni("RecentTitleListLength=10\r\n");
    load();
    ASSERT_EQ(startUp(), 0);
    player.titles = {"Abba - SOS", "Queen - Innuendo", "Tom & Jerry <Live>"};
    player.state = sim::kPlaying;
    ASSERT_TRUE(waitForCurrentTrack("Abba - SOS"));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack("Queen - Innuendo"));
    player.position = 2;
    ASSERT_TRUE(waitForCurrentTrack("Tom &amp; Jerry &lt;Live&gt;"));
    const std::string playingPage = readFile(path("status.htm"));
    EXPECT_NE(playingPage.find("Last 2 tracks played:"), std::string::npos);

    shutDown();
    const std::string offLinePage = readFile(path("status.htm"));
    EXPECT_NE(offLinePage.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(offLinePage.find("Currently playing track:"), std::string::npos);
    // The off-line table starts below the newest entry, as the playing page's did.
    EXPECT_NE(offLinePage.find("Last 2 tracks played:"), std::string::npos);
    EXPECT_LT(offLinePage.find(">Queen - Innuendo<"), offLinePage.find(">Abba - SOS<"));
    EXPECT_EQ(offLinePage.find("Jerry"), std::string::npos);
}

TEST_F(PluginDllTest, ShutDownWithNoTrackWritesTheOffLinePageWithoutTable) {
    writeIni("");
    load();
    ASSERT_EQ(startUp(), 0);
    sim::pumpFor(200); // the worker polls a stopped player meanwhile
    EXPECT_FALSE(fileExists(path("status.htm")));
    shutDown();
    const std::string page = readFile(path("status.htm"));
    EXPECT_NE(page.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(page.find("<BR><TABLE"), std::string::npos);
    EXPECT_GT(player.playingQueries, 0);
}

TEST_F(PluginDllTest, ShutDownAnswersTheWorkersPendingMessage) {
    writeIni("");
    load();
    ASSERT_EQ(startUp(), 0);
    // Stop pumping until the worker is blocked in a message to the host's window, which only this
    // thread can answer; shutDown must answer it while it waits, or the worker could never end.
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount64() < deadline)
        Sleep(1);
    ASSERT_TRUE(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE);
    shutDown();
    // The final page is written only once the worker has ended within the wait.
    EXPECT_NE(readFile(path("status.htm")).find("The server is currently off-line."), std::string::npos);
}

// What a second thread saw of the configuration dialog before it pressed Cancel.
struct DialogSeen {
    HWND expectedOwner;
    bool found, ownedByHost;
    char historyLength[16];
};

DWORD WINAPI cancelConfigDialog(LPVOID seenPointer) {
    auto* seen = static_cast<DialogSeen*>(seenPointer);
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (GetTickCount64() < deadline) {
        HWND dialog = FindWindowA("#32770", "Songbeacon Plug-In");
        if (dialog != nullptr && IsWindowVisible(dialog)) {
            seen->found = true;
            seen->ownedByHost = GetWindow(dialog, GW_OWNER) == seen->expectedOwner;
            GetWindowTextA(GetDlgItem(dialog, 1102), seen->historyLength, sizeof seen->historyLength);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

TEST_F(PluginDllTest, ConfigureRereadsTheFileAndOpensTheDialogOwnedByTheHost) {
    writeIni("");
    load();
    ASSERT_EQ(startUp(), 0);
    writeIni("RecentTitleListLength=3\r\n"); // a hand edit while the player runs

    DialogSeen seen = {player.window, false, false, ""};
    HANDLE closer = CreateThread(nullptr, 0, cancelConfigDialog, &seen, 0, nullptr);
    ASSERT_NE(closer, nullptr);
    plugin->configure();
    WaitForSingleObject(closer, kDeadlineMs);
    CloseHandle(closer);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.ownedByHost);
    EXPECT_STREQ(seen.historyLength, "3");
}

// The host's window on a thread of its own that can be made to hang inside a message.
struct HangingHost {
    sim::Player player;
    HANDLE ready, hanging, release;
    std::atomic<int32_t> hang;
};

DWORD WINAPI runHangingHost(LPVOID h) {
    auto* host = static_cast<HangingHost*>(h);
    sim::initPlayer(&host->player);
    host->player.context = host;
    host->player.afterMessage = [](sim::Player* player, UINT, WPARAM, LPARAM) {
        auto* host = static_cast<HangingHost*>(player->context);
        if (host->hang != 0) {
            SetEvent(host->hanging);
            WaitForSingleObject(host->release, INFINITE);
        }
    };
    if (!sim::createPlayerWindow(&host->player))
        return 1;
    SetEvent(host->ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    sim::destroyPlayerWindow(&host->player);
    return 0;
}

TEST_F(PluginDllTest, ShutDownGivesUpOnAHungHostWithoutFreeingWhatTheWorkerUses) {
    writeIni("");
    HangingHost host = {};
    host.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    host.hanging = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    host.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD hostThreadId = 0;
    HANDLE hostThread = CreateThread(nullptr, 0, runHangingHost, &host, 0, &hostThreadId);
    ASSERT_EQ(WaitForSingleObject(host.ready, kDeadlineMs), WAIT_OBJECT_0);
    load();
    plugin->hostWindow = host.player.window;
    ASSERT_EQ(startUp(), 0);
    host.player.titles = {"Abba - SOS"}; // not yet playing: the worker only asks whether it plays
    host.hang = 1;                       // the next message the worker sends never returns...
    ASSERT_EQ(WaitForSingleObject(host.hanging, kDeadlineMs), WAIT_OBJECT_0);

    shutDown(); // ...so this gives up after its time limit
    EXPECT_FALSE(fileExists(path("status.htm"))) << "the final page was written while a pass could still run";
    EXPECT_EQ(plugin->startUp(), 1) << "a new start while the old worker still runs";

    // Once the host answers, the worker sees the stop request and ends; it held its own reference
    // to the module, so the module goes away only after that.
    SetEvent(host.release);
    FreeLibrary(module);
    module = nullptr;
    const ULONGLONG deadline = GetTickCount64() + kDeadlineMs;
    while (GetModuleHandleA(path("gen_SBeacon.dll").c_str()) != nullptr && GetTickCount64() < deadline)
        Sleep(10);
    EXPECT_EQ(GetModuleHandleA(path("gen_SBeacon.dll").c_str()), nullptr);

    PostThreadMessageA(hostThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hostThread, kDeadlineMs);
    CloseHandle(hostThread);
    CloseHandle(host.ready);
    CloseHandle(host.hanging);
    CloseHandle(host.release);
}

} // namespace
