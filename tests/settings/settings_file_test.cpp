// plugin.ini through the real profile functions: defaults on first start, values read back as
// themselves, cutting to the buffers, leaving the rest of the file alone, and the settings lock.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "common/memory.h"
#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "playlist/playlist.h"
#include "settings/settings_store.h"
#include "support/settings_folder_test.h"
#include "support/test_files.h"

namespace {

const char* const kKeysInOrder[] = {
    "EnableHTMLOutput",     "OutputFilename",        "HTMLTitle",
    "HTMLHeader",           "RecentTitleListLength", "EnablePlaylistMonitoring",
    "SameArtistCheckLimit", "SameTitleCheckLimit"};

const char kDefaultTitle[] =
    "Generic Server's Songbeacon Status Page (edit your winamp\\plugin.ini file to change this line!)";
const char kDefaultHeader[] =
    "<CENTER><B><FONT SIZE=+1>Generic Server<BR>(edit your winamp\\plugin.ini file to "
    "change this line!)</FONT></B></CENTER><BR>";

using support::readFile;
using support::writeFile;

using SettingsFileTest = support::SettingsFolderTest;

TEST_F(SettingsFileTest, FirstStartUsesDefaultsAndWritesEveryKeyInOrder) {
    settings::load();
    const PluginSettings& live = pluginState.settings;
    EXPECT_EQ(live.EnableHTMLOutput, 1);
    EXPECT_STREQ(texts().OutputFilename, "c:/status.htm");
    EXPECT_STREQ(texts().HTMLTitle, kDefaultTitle);
    EXPECT_STREQ(texts().HTMLHeader, kDefaultHeader);
    EXPECT_EQ(live.RecentTitleListLength, 10);
    EXPECT_EQ(live.EnablePlaylistMonitoring, 1);
    EXPECT_EQ(live.SameArtistCheckLimit, 0);
    EXPECT_EQ(live.SameTitleCheckLimit, 0);
    EXPECT_EQ(live.PollInterval, 0); // the continuous poll

    settings::save(); // the eight keys and no more: PollInterval is the operator's to add
    const std::vector<std::string> expected = {"[Songbeacon]",
                                               "EnableHTMLOutput=1",
                                               "OutputFilename=c:/status.htm",
                                               std::string("HTMLTitle=") + kDefaultTitle,
                                               std::string("HTMLHeader=") + kDefaultHeader,
                                               "RecentTitleListLength=10",
                                               "EnablePlaylistMonitoring=1",
                                               "SameArtistCheckLimit=0",
                                               "SameTitleCheckLimit=0"};
    EXPECT_EQ(sim::splitLines(readFile(iniPath)), expected);
}

TEST_F(SettingsFileTest, ValuesReadBackAsThemselves) {
    writeFile(iniPath, "[Songbeacon]\r\n"
                       "EnableHTMLOutput=0\r\n"
                       "OutputFilename=D:\\web\\now %s playing.htm\r\n"
                       "HTMLTitle=Radio %n 100%%\r\n"
                       "HTMLHeader=<B>Station</B> & friends\r\n"
                       "RecentTitleListLength=-3\r\n"
                       "EnablePlaylistMonitoring=7\r\n"
                       "SameArtistCheckLimit=-2147483648\r\n"
                       "SameTitleCheckLimit=2147483647\r\n");
    settings::load();
    const PluginSettings& live = pluginState.settings;
    EXPECT_EQ(live.EnableHTMLOutput, 0);
    EXPECT_STREQ(texts().OutputFilename, "D:\\web\\now %s playing.htm");
    EXPECT_STREQ(texts().HTMLTitle, "Radio %n 100%%");
    EXPECT_STREQ(texts().HTMLHeader, "<B>Station</B> & friends");
    EXPECT_EQ(live.RecentTitleListLength, -3);
    EXPECT_EQ(live.EnablePlaylistMonitoring, 7);
    EXPECT_EQ(live.SameArtistCheckLimit, INT_MIN);
    EXPECT_EQ(live.SameTitleCheckLimit, INT_MAX);

    const std::string before = readFile(iniPath);
    settings::save();
    EXPECT_EQ(sim::splitLines(readFile(iniPath)), sim::splitLines(before));
}

TEST_F(SettingsFileTest, LongTextsAreCutToTheirBuffersAndSavedBackCut) {
    const std::string longName = "C:\\" + std::string(297, 'n');
    const std::string longTitle(1500, 't');
    writeFile(iniPath, "[Songbeacon]\r\nOutputFilename=" + longName + "\r\nHTMLTitle=" + longTitle + "\r\n");
    settings::load();
    EXPECT_EQ(std::string(texts().OutputFilename), longName.substr(0, 259));
    EXPECT_EQ(std::string(texts().HTMLTitle), longTitle.substr(0, 1023));

    settings::save();
    const std::vector<std::string> saved = sim::splitLines(readFile(iniPath));
    ASSERT_GE(saved.size(), 3u);
    EXPECT_EQ(saved[1], "OutputFilename=" + longName.substr(0, 259));
    EXPECT_EQ(saved[2], "HTMLTitle=" + longTitle.substr(0, 1023));
}

TEST_F(SettingsFileTest, SaveLeavesOtherKeysAndSectionsAlone) {
    writeFile(iniPath, "[Other]\r\nkeep=this\r\n"
                       "[Songbeacon]\r\nSameTitleCheckLimit=25\r\nOperatorNote=hello\r\n"
                       "[Last]\r\nalso=kept\r\n");
    settings::load();
    EXPECT_EQ(pluginState.settings.SameTitleCheckLimit, 25);
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, 10); // missing key: its default
    settings::save();

    const std::vector<std::string> saved = sim::splitLines(readFile(iniPath));
    auto position = [&](const std::string& line) {
        for (size_t i = 0; i < saved.size(); i++)
            if (saved[i] == line)
                return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(position("[Other]"), 0);
    EXPECT_EQ(position("keep=this"), 1);
    EXPECT_GT(position("OperatorNote=hello"), position("[Songbeacon]"));
    EXPECT_GT(position("[Last]"), position("SameArtistCheckLimit=0"));
    EXPECT_EQ(position("also=kept"), position("[Last]") + 1);
    EXPECT_EQ(position("SameTitleCheckLimit=25"), position("[Songbeacon]") + 1); // updated in place
    for (const char* key : kKeysInOrder) {
        int count = 0;
        for (const std::string& line : saved)
            count += line.rfind(std::string(key) + "=", 0) == 0;
        EXPECT_EQ(count, 1) << key;
    }
}

TEST_F(SettingsFileTest, PollIntervalIsReadIntoItsRangeAndNeverWritten) {
    struct Case {
        const char* line; // in the file, or "" for no such key
        int32_t live;
    };
    const Case cases[] = {
        {"", 0},
        {"PollInterval=0\r\n", 0},
        {"PollInterval=5\r\n", 5},
        {"PollInterval=1000\r\n", 1000},
        {"PollInterval=1001\r\n", 1000},
        {"PollInterval=99999\r\n", 1000},
        {"PollInterval=-5\r\n", 0},
        {"PollInterval=fast\r\n", 0},
        {"PollInterval=12ms\r\n", 12},
        {"PollInterval=-2147483648\r\n", 0},
        {"PollInterval=2147483648\r\n", 1000}, // past 32 bits: never wrapped round to 0 or less
        {"PollInterval=4294967295\r\n", 1000},
        {"PollInterval=99999999999999999999999\r\n", 1000},
    };
    for (const Case& c : cases) {
        const std::string file = std::string("[Songbeacon]\r\nSameTitleCheckLimit=3\r\n") + c.line;
        writeFile(iniPath, file);
        pluginState.settings.PollInterval = 777; // whatever the last load left
        settings::load();
        EXPECT_EQ(pluginState.settings.PollInterval, c.live) << c.line;
        // Saved back: the eight keys go in, PollInterval stays exactly as the operator wrote it.
        settings::save();
        const std::vector<std::string> saved = sim::splitLines(readFile(iniPath));
        std::vector<std::string> pollLines;
        for (const std::string& line : saved)
            if (line.rfind("PollInterval=", 0) == 0)
                pollLines.push_back(line + "\r\n");
        EXPECT_EQ(pollLines,
                  c.line[0] == '\0' ? std::vector<std::string>{} : std::vector<std::string>{c.line});
        EXPECT_EQ(saved.size(), 9u + pollLines.size()) << c.line;
    }
}

TEST_F(SettingsFileTest, AirLogIsReadWholeOrNotAtAllAndNeverWritten) {
    const std::string longest(259, 'n'), tooLong(260, 'n');
    const struct {
        std::string line; // in the file, or "" for no such key
        std::string live;
    } cases[] = {
        {"", ""},
        {"AirLog=\r\n", ""},
        {"AirLog=C:\\Station\\songbeacon-air.log\r\n", "C:\\Station\\songbeacon-air.log"},
        {"AirLog=air.log\r\n", "air.log"}, // relative names are the entry's to resolve
        {"AirLog=" + longest + "\r\n", longest},
        {"AirLog=" + tooLong + "\r\n", ""}, // cut, it would name another file: no log
    };
    for (const auto& c : cases) {
        writeFile(iniPath, "[Songbeacon]\r\nSameTitleCheckLimit=3\r\n" + c.line);
        settings::storeAirLog("whatever the last load left");
        settings::load();
        char airLog[kAirLogCapacity];
        settings::copyAirLog(airLog, sizeof airLog);
        EXPECT_EQ(airLog, c.live) << c.line;
        settings::save();
        const std::string saved = readFile(iniPath);
        EXPECT_EQ(saved.find("AirLog"), c.line.empty() ? std::string::npos : saved.find(c.line)) << c.line;
    }
}

TEST_F(SettingsFileTest, NoUsablePathMeansDefaultsAndNoFile) {
    writeFile(iniPath, "[Songbeacon]\r\nRecentTitleListLength=3\r\n");
    pluginState.iniPath[0] = '\0';
    settings::load();
    EXPECT_EQ(pluginState.settings.RecentTitleListLength, 10);
    EXPECT_STREQ(texts().OutputFilename, "c:/status.htm");
    settings::save(); // must not fall back to a file in the Windows folder
    char windowsFolder[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, sizeof windowsFolder);
    EXPECT_EQ(GetFileAttributesA((std::string(windowsFolder) + "\\plugin.ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFileTest, IniPathIsBesideTheModule) {
    char modulePath[MAX_PATH];
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    settings::buildIniPath(GetModuleHandleA(nullptr));
    std::string expected = modulePath;
    expected = expected.substr(0, expected.rfind('\\') + 1) + "plugin.ini";
    EXPECT_EQ(std::string(pluginState.iniPath), expected);
}

// A reader copying the texts while the host thread keeps replacing them never sees a mixture.
DWORD WINAPI copyTextsRepeatedly(LPVOID stop) {
    auto* stopFlag = static_cast<std::atomic<int32_t>*>(stop);
    DWORD torn = 0;
    while (*stopFlag == 0) {
        settings::TextSettings copy;
        settings::copyTexts(&copy);
        const size_t length = std::strlen(copy.OutputFilename);
        const char first = copy.OutputFilename[0];
        bool whole = (first == 'a' && length == 259) || (first == 'b' && length == 3) || length == 0;
        for (size_t i = 0; i < length; i++)
            whole = whole && copy.OutputFilename[i] == first;
        whole = whole && copy.HTMLTitle[0] == first && (length == 0 || copy.HTMLHeader[0] == first);
        torn += whole ? 0 : 1;
    }
    return torn;
}

TEST_F(SettingsFileTest, ReadersNeverSeeAHalfWrittenText) {
    settings::TextSettings a, b;
    std::memset(a.OutputFilename, 'a', 259);
    a.OutputFilename[259] = '\0';
    std::strcpy(a.HTMLTitle, "a title");
    std::strcpy(a.HTMLHeader, "a header");
    std::strcpy(b.OutputFilename, "bbb");
    std::strcpy(b.HTMLTitle, "b title");
    std::strcpy(b.HTMLHeader, "b header");
    settings::storeTexts(a);

    std::atomic<int32_t> stop{0};
    HANDLE reader = CreateThread(nullptr, 0, copyTextsRepeatedly, &stop, 0, nullptr);
    ASSERT_NE(reader, nullptr);
    for (int i = 0; i < 20000; i++) {
        settings::storeTexts(i % 2 ? a : b);
        settings::storeOutputFilename(i % 2 ? a.OutputFilename : b.OutputFilename);
    }
    stop = 1;
    ASSERT_EQ(WaitForSingleObject(reader, 60000), WAIT_OBJECT_0);
    DWORD torn = 1;
    GetExitCodeThread(reader, &torn);
    CloseHandle(reader);
    EXPECT_EQ(torn, 0u);
}

TEST(SettingsBuffers, RefusedAllocationHoldsNothing) {
    const int32_t before = memory::liveBlocks();
    for (int32_t successes = 0; successes < 3; successes++) {
        memory::failAllocationsAfter(successes);
        EXPECT_FALSE(settings::allocateTextBuffers());
        memory::failAllocationsAfter(-1);
        EXPECT_EQ(memory::liveBlocks(), before);
        EXPECT_EQ(pluginState.settings.OutputFilename, nullptr);
    }
    settings::TextSettings copy;
    settings::copyTexts(&copy); // missing buffers read as empty text
    EXPECT_STREQ(copy.HTMLHeader, "");
}

} // namespace
