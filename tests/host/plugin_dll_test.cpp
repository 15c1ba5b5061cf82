// The real gen_SBeacon.dll, loaded by a test host the way the player loads it: through its one
// export, with the host's main window answering the player's messages on the test's thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "support/air_log_text.h"
#include "support/closing_player.h"
#include "support/plugin_host.h"

namespace {

using dllhost::fileExists;
using dllhost::kDeadlineMs;
using dllhost::readFile;

struct PluginDllTest : dllhost::PluginHostTest {
    std::string page() { return readFile(path("status.htm")); }
};

// What a second thread saw of a message box before it pressed OK.
struct MessageBoxSeen {
    bool found;
    std::string text;
    bool hasOwner, showsIcon, showsCancel;
};

DWORD WINAPI pressOkOnErrorBox(LPVOID seenPointer) {
    auto* seen = static_cast<MessageBoxSeen*>(seenPointer);
    HWND box = nullptr;
    if (!dllhost::waitFor([&] {
            box = FindWindowA("#32770", "Error");
            return box != nullptr && IsWindowVisible(box);
        }))
        return 1;
    char text[256] = "";
    GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text); // a message box's text control
    seen->found = true;
    seen->text = text;
    seen->hasOwner = GetWindow(box, GW_OWNER) != nullptr;
    HWND icon = GetDlgItem(box, 0x440); // a message box's icon control
    seen->showsIcon = icon != nullptr && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    HWND cancel = GetDlgItem(box, IDCANCEL);
    seen->showsCancel = cancel != nullptr && IsWindowVisible(cancel);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    return 0;
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
    EXPECT_EQ(ini.find("PollInterval"), std::string::npos) << "the first start wrote a ninth key";
}

TEST_F(PluginDllTest, DescriptionNamesTheFileAsLoaded) {
    load("gen_My Station.dll");
    ASSERT_EQ(startUp(), 0);
    EXPECT_STREQ(plugin->description, "Songbeacon Plug-In 0.24b (gen_My Station.dll)");
}

TEST_F(PluginDllTest, TracksPlayedMakeThePagesAndShutDownSaysOffLine) {
    writeIni(path("status.htm"), "RecentTitleListLength=10\r\n");
    load();
    ASSERT_EQ(startUp(), 0);
    play({"Abba - SOS", "Queen - Innuendo", "Tom & Jerry <Live>"});
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Abba - SOS"));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Queen - Innuendo"));
    player.position = 2;
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Tom &amp; Jerry &lt;Live&gt;"));
    EXPECT_NE(page().find("Last 2 tracks played:"), std::string::npos);

    shutDown();
    const std::string offLine = page();
    EXPECT_NE(offLine.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(offLine.find("Currently playing track:"), std::string::npos);
    // The off-line table starts below the newest entry, as the playing page's did.
    EXPECT_NE(offLine.find("Last 2 tracks played:"), std::string::npos);
    EXPECT_LT(offLine.find(">Queen - Innuendo<"), offLine.find(">Abba - SOS<"));
    EXPECT_EQ(offLine.find("Jerry"), std::string::npos);
}

// The player's text `ansi` as the air log must hold it: decoded from the ANSI code page, in UTF-8.
std::string asUtf8(const std::string& ansi) {
    wchar_t wide[256];
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide, 256);
    char utf8[768];
    return std::string(utf8, static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide, units, utf8,
                                                                     sizeof utf8, nullptr, nullptr)));
}

// How far the time at the start of `line` is from now, in seconds, by the offset it gives.
double secondsFromNow(const std::string& line) {
    std::tm local = {};
    int millisecond, offsetHours, offsetMinutes;
    char sign;
    if (std::sscanf(line.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d.%3d%c%2d:%2d", &local.tm_year, &local.tm_mon,
                    &local.tm_mday, &local.tm_hour, &local.tm_min, &local.tm_sec, &millisecond, &sign,
                    &offsetHours, &offsetMinutes) != 10)
        return 1e9;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    const double offset = (sign == '-' ? -60.0 : 60.0) * (offsetHours * 60 + offsetMinutes);
    return static_cast<double>(_mkgmtime(&local)) - offset - static_cast<double>(std::time(nullptr));
}

TEST_F(PluginDllTest, TheAirLogBesideThePluginTellsTheDayFromStartToShutDown) {
    // A name without a folder: beside the plug-in, not in the player's working folder.
    writeIni(path("status.htm"), "SameArtistCheckLimit=1\r\nAirLog=air.log\r\n");
    load();
    ASSERT_EQ(startUp(), 0);
    const std::string first = "Bj\xf6rk - J\xf3ga", refused = "bj\xf6rk - Hyperballad";
    play({first, refused, "Queen - Innuendo"});
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), first));
    player.position = 1; // the same artist, ASCII letters folded: skipped
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Queen - Innuendo"));
    dllhost::configureDrivenBy(plugin->configure, [&](dllhost::DialogDriver& driver) {
        driver.type(1103, "5");
        driver.press(IDOK);
    });
    ASSERT_TRUE(pumpPasses(3)); // the new limits, in force from the next pass
    shutDown();

    const std::vector<std::string> lines = support::airLogLines(path("air.log"));
    ASSERT_GE(lines.size(), 2u) << "no air log beside the plug-in";
    EXPECT_EQ(lines[0], "#Songbeacon air log\tformat 1");
    const std::vector<std::string> expected = {
        "start\t\t\t\t\t\t\t1\t0\t1\t0.24b",
        "playing\t\t\t\t\t\t\t\t\t\t",
        "played\t1\t" + asUtf8(first) + "\t\t\t\t\t\t\t\t",
        "skipped\t2\t" + asUtf8(refused) + "\tartist\t" + asUtf8("bj\xf6") + "\t" + asUtf8(first) +
            "\t1\t\t\t\t",
        "played\t3\tQueen - Innuendo\t\t\t\t\t\t\t\t",
        "limits\t\t\t\t\t\t\t5\t0\t1\t",
        "shutdown\t\t\t\t\t\t\t\t\t\t",
    };
    EXPECT_EQ(support::airLogEvents(path("air.log")), expected);
    EXPECT_TRUE(GetACP() != 1252 || asUtf8(first) == "Bj\xc3\xb6rk - J\xc3\xb3ga");
    // Local time with its offset from UTC: the same moment as now, give or take the test's run.
    EXPECT_LT(std::abs(secondsFromNow(lines[1]) + 30), 31.0) << lines[1];
    EXPECT_EQ(iniText("AirLog"), "air.log") << "the plug-in rewrote AirLog";
}

TEST_F(PluginDllTest, AnAirLogNamedWhileThePlayerRunsBeginsWhenTheDialogOpens) {
    writeIni(path("status.htm"), "SameTitleCheckLimit=20\r\n");
    load();
    ASSERT_EQ(startUp(), 0);
    play({"Abba - SOS"});
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Abba - SOS"));
    writeIni(path("status.htm"), "SameTitleCheckLimit=20\r\nAirLog=" + path("air.log") + "\r\n");
    dllhost::configureDrivenBy(plugin->configure,
                               [](dllhost::DialogDriver& driver) { driver.press(IDCANCEL); });
    ASSERT_TRUE(pumpPasses(3));
    player.state = sim::kPaused;
    ASSERT_TRUE(pumpPasses(3));
    shutDown();
    EXPECT_EQ(support::airLogEvents(path("air.log")),
              (std::vector<std::string>{"limits\t\t\t\t\t\t\t0\t20\t1\t", "playing\t\t\t\t\t\t\t\t\t\t",
                                        "paused\t\t\t\t\t\t\t\t\t\t", "shutdown\t\t\t\t\t\t\t\t\t\t"}));
}

TEST_F(PluginDllTest, ShutDownWithNoTrackWritesTheOffLinePageWithoutTable) {
    writeIni(path("status.htm"));
    load();
    ASSERT_EQ(startUp(), 0);
    ASSERT_TRUE(pumpPasses(100)); // the worker polls a stopped player meanwhile
    EXPECT_FALSE(fileExists(path("status.htm")));
    shutDown();
    EXPECT_NE(page().find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(page().find("<BR><TABLE"), std::string::npos);
}

TEST_F(PluginDllTest, ShutDownAnswersTheWorkersPendingMessage) {
    writeIni(path("status.htm"));
    load();
    ASSERT_EQ(startUp(), 0);
    // Stop pumping until the worker is blocked in a message to the host's window, which only this
    // thread can answer; shutDown must answer it while it waits, or the worker could never end.
    ASSERT_TRUE(
        dllhost::waitFor([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }));
    shutDown();
    // The final page is written only once the worker has ended within the wait.
    EXPECT_NE(page().find("The server is currently off-line."), std::string::npos);
}

TEST_F(PluginDllTest, ConfigureRereadsTheFileAndOpensTheDialogOwnedByTheHost) {
    writeIni(path("status.htm"));
    load();
    ASSERT_EQ(startUp(), 0);
    writeIni(path("status.htm"), "RecentTitleListLength=3\r\n"); // a hand edit while the player runs
    HWND owner = nullptr;
    std::string historyLength;
    dllhost::configureDrivenBy(plugin->configure, [&](dllhost::DialogDriver& driver) {
        owner = GetWindow(driver.dialog, GW_OWNER);
        historyLength = driver.field(1102);
        driver.press(IDCANCEL);
    });
    EXPECT_EQ(owner, player.window);
    EXPECT_EQ(historyLength, "3");
}

// The player's close handler of the next test: a second configure, shutDown, then the module freed
// at once, all still inside the dialog's loop, as a player that unloads its plug-ins on closing does.
HMODULE moduleToFree = nullptr;
void (*configureToCall)() = nullptr;
void (*shutDownToCall)() = nullptr;
void shutDownAndFreeTheModule() {
    configureToCall(); // the player's menu, clicked again: returns at once, the dialog being open
    shutDownToCall();
    FreeLibrary(moduleToFree);
}

TEST_F(PluginDllTest, PlayerClosingAndFreeingTheModuleInsideTheDialogEndsItSafely) {
    writeIni(path("status.htm"), "RecentTitleListLength=10\r\nSameArtistCheckLimit=2\r\n");
    load();
    ASSERT_EQ(startUp(), 0);
    play({"Abba - SOS"});
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Abba - SOS"));
    const std::string iniBefore = readFile(path("plugin.ini"));

    // The dialog's loop, its procedure and configure are all still to return into the module the
    // player has just freed: the plug-in keeps it loaded, so none of them crashes.
    moduleToFree = module;
    configureToCall = plugin->configure;
    shutDownToCall = plugin->shutDown;
    const support::ClosedDuringDialog closed =
        support::closePlayerDuringDialog(player.window, plugin->configure, shutDownAndFreeTheModule);
    module = nullptr; // the player's reference is gone
    running = false;
    EXPECT_EQ(closed.shutDowns, 1);
    EXPECT_TRUE(closed.endedByShutDown) << "shutDown left the dialog open";
    EXPECT_TRUE(closed.closed);
    EXPECT_EQ(readFile(path("plugin.ini")), iniBefore) << "the dialog saved after shutDown";
    EXPECT_NE(page().find("The server is currently off-line."), std::string::npos);
    const std::string modulePath = path("gen_SBeacon.dll");
    EXPECT_NE(GetModuleHandleA(modulePath.c_str()), nullptr) << "the module was not kept loaded";

    // Loaded again later in the same process, it is the kept module, and it starts afresh with the
    // settings as they were before the dialog.
    module = LoadLibraryA(modulePath.c_str());
    ASSERT_NE(module, nullptr);
    auto entry = reinterpret_cast<sim::PluginHeader* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, sim::kPluginEntryName)));
    ASSERT_NE(entry, nullptr);
    plugin = entry();
    EXPECT_STREQ(plugin->description, "") << "the kept module describes itself before its start";
    plugin->hostWindow = player.window;
    plugin->moduleInstance = module;
    ASSERT_EQ(startUp(), 0);
    EXPECT_EQ(iniInteger("RecentTitleListLength"), 10);
    EXPECT_EQ(iniInteger("SameArtistCheckLimit"), 2);
    EXPECT_EQ(iniText("OutputFilename"), path("status.htm"));
    ASSERT_TRUE(waitForCurrentTrack(path("status.htm"), "Abba - SOS"));
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
    writeIni(path("status.htm"), "AirLog=air.log\r\n"); // its writer too must let the module go
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
    host.hang = 1; // the next message the worker sends never returns...
    ASSERT_EQ(WaitForSingleObject(host.hanging, kDeadlineMs), WAIT_OBJECT_0);

    shutDown(); // ...so this gives up after its time limit
    EXPECT_FALSE(fileExists(path("status.htm"))) << "the final page was written while a pass could still run";
    EXPECT_EQ(plugin->startUp(), 1) << "a new start while the old worker still runs";

    // Once the host answers, the worker sees the stop request and ends; it held its own reference
    // to the module, so the module goes away only after that.
    const std::string modulePath = path("gen_SBeacon.dll");
    SetEvent(host.release);
    FreeLibrary(module);
    module = nullptr;
    EXPECT_TRUE(dllhost::waitFor([&] { return GetModuleHandleA(modulePath.c_str()) == nullptr; }));
    // The log's writer wrote what it held, the shutdown line last, before it let the module go.
    const std::vector<std::string> events = support::airLogEvents(path("air.log"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().substr(0, 6), "start\t");
    EXPECT_EQ(events.back(), "shutdown\t\t\t\t\t\t\t\t\t\t");

    PostThreadMessageA(hostThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(hostThread, kDeadlineMs);
    CloseHandle(hostThread);
    CloseHandle(host.ready);
    CloseHandle(host.hanging);
    CloseHandle(host.release);
}

} // namespace
