// Hostile input through the whole plug-in: the real DLL in a test host, fed what a playlist, a
// remote stream's titles, a hand-edited plugin.ini or a misbehaving host can bring. Each case checks
// that the plug-in keeps running and does the sane thing; the detail of each rule is left to the
// tests of its own room.
#include "support/plugin_host.h"

#include <climits>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "ui/dialog_ids.h"

namespace {

using namespace dllhost;

struct HostileTest : PluginHostTest {
    std::string page;

    // Starts the plug-in on a plugin.ini naming `outputFilename` (the page in the folder by default).
    void start(const std::string& keys, std::string outputFilename = "") {
        page = outputFilename.empty() ? path("status.htm") : outputFilename;
        writeIni(page, keys);
        load();
        ASSERT_EQ(startUp(), 0);
    }
    // The playing entry moves to `position`; true once the worker has made three passes more, by
    // when it has handled that entry and whatever entry a skip from it moved on to.
    bool moveTo(int32_t position) {
        player.position = position;
        return pumpPasses(3);
    }
    std::string recentRow(int32_t row, const std::string& titleAsOnPage) const {
        return "<FONT FACE=Arial, Helvetica SIZE=2>" + std::to_string(row) +
               "</FONT></TD><TD WIDTH=85% BGCOLOR=#003355><FONT FACE=Arial, Helvetica SIZE=2>" +
               titleAsOnPage + "</FONT></TD></TR>\r\n";
    }
    std::vector<std::string> pagesInFolder() const {
        std::vector<std::string> pages;
        for (const std::string& name : listFiles(folder))
            if (name != "plugin.ini" && name != "gen_SBeacon.dll")
                pages.push_back(name);
        return pages;
    }
};

TEST_F(HostileTest, TitleOf64KiB) {
    start("SameArtistCheckLimit=5\r\nSameTitleCheckLimit=5\r\n");
    std::string huge = "Long Artist - ";
    huge += std::string(65536 - huge.size(), 'x');
    play({huge, "Queen - Innuendo"});
    ASSERT_TRUE(waitForCurrentTrack(page, huge));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(page, "Queen - Innuendo"));
    EXPECT_NE(readFile(page).find(recentRow(1, huge)), std::string::npos);
    // The same long artist again is judged over the whole long entry, and refused.
    ASSERT_TRUE(moveTo(0));
    EXPECT_EQ(player.skippedEntries, std::vector<int32_t>({0}));
    EXPECT_TRUE(isCompletePage(readFile(page)));
}

TEST_F(HostileTest, BytesFrom0x80To0xFFAreKeptAndNeverCaseFolded) {
    start("SameArtistCheckLimit=10\r\n");
    std::string high;
    for (int byte = 0x80; byte <= 0xFF; byte++)
        high += static_cast<char>(byte);
    // Latin-1 capital and small A-umlaut differ: only A-Z are folded when artists are compared.
    const std::string capitalAUmlaut = "\xC4", smallAUmlaut = "\xE4";
    const std::string sos = capitalAUmlaut + "bba - SOS", fernando = smallAUmlaut + "bba - Fernando";
    play({high, sos, fernando, capitalAUmlaut + "bba - Waterloo", "Queen - Innuendo"});
    ASSERT_TRUE(waitForCurrentTrack(page, high));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(page, sos));
    player.position = 2;
    ASSERT_TRUE(waitForCurrentTrack(page, fernando));
    player.position = 3; // the same artist bytes as entry 1: refused, and the player moves on
    ASSERT_TRUE(waitForCurrentTrack(page, "Queen - Innuendo"));
    EXPECT_EQ(player.skippedEntries, std::vector<int32_t>({3}));
    const std::string written = readFile(page);
    EXPECT_NE(written.find(recentRow(3, high)), std::string::npos);
    EXPECT_NE(written.find(recentRow(2, sos)), std::string::npos);
}

TEST_F(HostileTest, CarriageReturnAndLineFeedInATitle) {
    start("");
    play({"Line one\r\nLine two", "Only\nfeed", "Bare\rreturn"});
    // As a text-mode write puts them on disk: LF becomes CR LF, a CR before it stays.
    ASSERT_TRUE(waitForCurrentTrack(page, "Line one\r\r\nLine two"));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(page, "Only\r\nfeed"));
    player.position = 2;
    ASSERT_TRUE(waitForCurrentTrack(page, "Bare\rreturn"));
    const std::string written = readFile(page);
    EXPECT_NE(written.find(recentRow(1, "Only\r\nfeed")), std::string::npos);
    EXPECT_NE(written.find(recentRow(2, "Line one\r\r\nLine two")), std::string::npos);
}

TEST_F(HostileTest, FormatDirectivesInTitlesAndSettingsAreWrittenAsTheyStand) {
    start("HTMLTitle=%n%s%d %x title\r\nHTMLHeader=<B>%s%n%%</B>\r\n", path("page%n%s.htm"));
    play({"%s%n%n%s - %d%%", "%n%n%n%n%n%n%n%n"});
    ASSERT_TRUE(waitForCurrentTrack(page, "%s%n%n%s - %d%%"));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(page, "%n%n%n%n%n%n%n%n"));
    const std::string written = readFile(page);
    EXPECT_NE(written.find("<TITLE>%n%s%d %x title</TITLE>"), std::string::npos);
    EXPECT_NE(written.find("SIZE=2><B>%s%n%%</B></FONT>"), std::string::npos);
    EXPECT_NE(written.find(recentRow(1, "%s%n%n%s - %d%%")), std::string::npos);
    EXPECT_EQ(iniText("OutputFilename"), path("page%n%s.htm"));
    EXPECT_EQ(pagesInFolder(), std::vector<std::string>({"page%n%s.htm"}));
}

TEST_F(HostileTest, HostAnsweringNullTitles) {
    start("");
    player.answerNullTitle = true;
    play({"Abba - SOS"});
    const int32_t titleQueriesBefore = player.titleQueries;
    ASSERT_TRUE(pumpPasses(200));
    EXPECT_GE(player.titleQueries - titleQueriesBefore, 199);
    EXPECT_FALSE(fileExists(page));
    player.answerNullTitle = false;
    ASSERT_TRUE(waitForCurrentTrack(page, "Abba - SOS"));
}

TEST_F(HostileTest, HostReportingAWildPlaylistPosition) {
    start("");
    int32_t askedFor = 0;
    player.context = &askedFor;
    player.afterMessage = [](sim::Player* player, UINT message, WPARAM index, LPARAM which) {
        if (message == sim::kUserMessage && which == sim::kQueryPlaylistTitle)
            *static_cast<int32_t*>(player->context) = static_cast<int32_t>(index);
    };
    play({"Abba - SOS"});
    // The player has no entry there and answers 0 for it: nothing is recorded or written.
    for (int32_t wild : {0x7FFFFFFF, -5}) {
        player.reportedPositionOverride = wild;
        ASSERT_TRUE(pumpPasses(100));
        EXPECT_EQ(askedFor, wild) << "the title was not asked for at the position reported";
        EXPECT_FALSE(fileExists(page));
    }
    player.reportedPositionOverride = -1;
    ASSERT_TRUE(waitForCurrentTrack(page, "Abba - SOS"));
}

struct ExtremeLimits {
    const char* name;
    int32_t artistLimit, titleLimit;
    bool sameArtistRefused, sameTitleRefused; // as the newest but one, and as the oldest entry
};

void PrintTo(const ExtremeLimits& limits, std::ostream* out) {
    *out << "artist " << limits.artistLimit << ", title " << limits.titleLimit;
}

class HostileLimitTest : public HostileTest, public ::testing::WithParamInterface<ExtremeLimits> {};

// Played in turn: entries 0 and 2, then 1 (the same artist as 0), then 0 again (the same title as
// the first): a limit at a 32-bit extreme makes its window cover the whole history or none of it.
TEST_P(HostileLimitTest, LimitsAtTheEndsOf32Bits) {
    const ExtremeLimits& limits = GetParam();
    start("SameArtistCheckLimit=" + std::to_string(limits.artistLimit) +
          "\r\nSameTitleCheckLimit=" + std::to_string(limits.titleLimit) + "\r\n");
    EXPECT_EQ(iniInteger("SameArtistCheckLimit"), limits.artistLimit); // saved back as read
    EXPECT_EQ(iniInteger("SameTitleCheckLimit"), limits.titleLimit);
    play({"Abba - SOS", "Abba - Waterloo", "Queen - Innuendo", "Toto - Africa"});
    ASSERT_TRUE(waitForCurrentTrack(page, "Abba - SOS"));
    player.position = 2;
    ASSERT_TRUE(waitForCurrentTrack(page, "Queen - Innuendo"));

    // A refused entry is skipped: the player moves on, to entries already played last.
    ASSERT_TRUE(moveTo(1));
    if (limits.sameArtistRefused) {
        EXPECT_EQ(player.skippedEntries, std::vector<int32_t>({1}));
    } else {
        EXPECT_TRUE(waitForCurrentTrack(page, "Abba - Waterloo"));
        EXPECT_TRUE(player.skippedEntries.empty());
    }
    player.skippedEntries.clear();
    ASSERT_TRUE(moveTo(0));
    if (limits.sameTitleRefused) {
        ASSERT_FALSE(player.skippedEntries.empty());
        EXPECT_EQ(player.skippedEntries[0], 0);
    } else {
        EXPECT_TRUE(waitForCurrentTrack(page, "Abba - SOS"));
        EXPECT_TRUE(player.skippedEntries.empty());
    }
    player.position = 3; // and it goes on deciding
    EXPECT_TRUE(waitForCurrentTrack(page, "Toto - Africa"));
}

INSTANTIATE_TEST_SUITE_P(Ini, HostileLimitTest,
                         ::testing::Values(ExtremeLimits{"ArtistMax", INT_MAX, 0, true, true},
                                           ExtremeLimits{"ArtistMin", INT_MIN, 0, false, false},
                                           ExtremeLimits{"TitleMax", 0, INT_MAX, false, true},
                                           ExtremeLimits{"TitleMin", 0, INT_MIN, false, false},
                                           ExtremeLimits{"ArtistMinTitleMax", INT_MIN, INT_MAX, false, true},
                                           ExtremeLimits{"BothMax", INT_MAX, INT_MAX, true, true},
                                           ExtremeLimits{"BothMin", INT_MIN, INT_MIN, false, false}),
                         [](const ::testing::TestParamInfo<ExtremeLimits>& info) { return info.param.name; });

class HostileListLengthTest : public HostileTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(HostileListLengthTest, NegativeListLengthWritesNoTable) {
    start("RecentTitleListLength=" + std::to_string(GetParam()) + "\r\n");
    play({"Abba - SOS", "Queen - Innuendo", "Toto - Africa"});
    for (int32_t position = 0; position < 3; position++) {
        player.position = position;
        ASSERT_TRUE(waitForCurrentTrack(page, player.titles[static_cast<size_t>(position)]));
    }
    EXPECT_EQ(readFile(page).find("<BR><TABLE"), std::string::npos);
    shutDown();
    const std::string offLine = readFile(page);
    EXPECT_NE(offLine.find("The server is currently off-line."), std::string::npos);
    EXPECT_EQ(offLine.find("<BR><TABLE"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Ini, HostileListLengthTest, ::testing::Values(-1, INT_MIN),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return info.param == -1 ? std::string("MinusOne") : std::string("Minimum");
                         });

TEST_F(HostileTest, OutputFileInAMissingFolderThenAGoodNameApplied) {
    start("", path("no such folder\\status.htm"));
    play({"Abba - SOS", "Queen - Innuendo"});
    ASSERT_TRUE(pumpPasses(50));
    EXPECT_GT(player.titleQueries, 0);
    EXPECT_FALSE(fileExists(path("no such folder")));
    EXPECT_TRUE(pagesInFolder().empty());

    const std::string good = path("good.htm");
    configureDrivenBy(plugin->configure, [&](DialogDriver& dialog) {
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), page);
        ASSERT_TRUE(dialog.type(IDC_OUTPUT_FILENAME, good));
        ASSERT_TRUE(dialog.press(IDC_APPLY));
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(good, "Queen - Innuendo"));
    EXPECT_NE(readFile(good).find(recentRow(1, "Abba - SOS")), std::string::npos);
    EXPECT_EQ(iniText("OutputFilename"), good);
}

TEST_F(HostileTest, ReadOnlyOutputFile) {
    const std::string readOnly = path("status.htm");
    std::ofstream(readOnly, std::ios::binary) << "read-only page";
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe =
        CreateFileA(readOnly.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        GTEST_SKIP() << "this system lets writes through to read-only files (Wine run as root)";
    }
    start("", readOnly);
    play({"Abba - SOS", "Queen - Innuendo"});
    ASSERT_TRUE(pumpPasses(50));
    EXPECT_EQ(readFile(readOnly), "read-only page");
    // Still running: once the file may be written, the next track's page reaches it.
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL));
    player.position = 1;
    ASSERT_TRUE(waitForCurrentTrack(readOnly, "Queen - Innuendo"));
}

TEST_F(HostileTest, OutputFilenameOf300CharactersIsCutTo259) {
    const std::string base = folder + "\\";
    ASSERT_LT(base.size(), 259u - 4);
    const std::string name300 = base + std::string(300 - base.size(), 'n');
    const std::string cut = name300.substr(0, 259);
    start("", name300);
    EXPECT_EQ(iniText("OutputFilename"), cut) << "not saved back cut";
    play({"Abba - SOS"});
    ASSERT_TRUE(waitForCurrentTrack(cut, "Abba - SOS"));
    EXPECT_EQ(pagesInFolder(), std::vector<std::string>({cut.substr(base.size())}));
}

} // namespace
