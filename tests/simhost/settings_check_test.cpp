// The plugin.ini checks: each value the plug-in will take otherwise than written gets one warning
// saying what it will take instead; a sound file gets none.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cli/settings_check.h"

namespace {

// A number as the platform's integer reader takes it: the leading number, kept to 32 bits.
int32_t readAsNumber(const std::string& text) {
    return static_cast<int32_t>(std::strtoll(text.c_str(), nullptr, 10));
}

// A file holding every key, each as written in `texts` (number keys read as the platform reads
// them: the leading number, or 0).
sim::IniSnapshot snapshot(const std::vector<std::pair<sim::IniKey, std::string>>& texts) {
    sim::IniSnapshot ini = {};
    ini.fileFound = true;
    const char* sound[sim::kIniKeyCount] = {"1",  "status.htm", "Radio", "<B>Radio</B>", "10", "1",
                                            "12", "150",        "5",     "air.log"};
    for (int32_t key = 0; key < sim::kIniKeyCount; key++)
        ini.values[key] = {true, sound[key], 0};
    for (const auto& [key, text] : texts)
        ini.values[key].text = text;
    for (int32_t key = 0; key < sim::kIniKeyCount; key++)
        if (sim::iniKeyInfo(key).isNumber)
            ini.values[key].number = readAsNumber(ini.values[key].text);
    return ini;
}

TEST(SettingsCheck, ASoundFileGetsNoWarning) {
    EXPECT_EQ(sim::checkSettings(snapshot({})), std::vector<std::string>{});
    EXPECT_EQ(sim::checkSettings(snapshot({{sim::kSameTitleCheckLimit, " -0 "}})),
              std::vector<std::string>{});
    // At the edges of what the plug-in takes: limits of 1000, texts as long as it keeps.
    EXPECT_EQ(sim::checkSettings(snapshot({{sim::kSameArtistCheckLimit, "1000"},
                                           {sim::kSameTitleCheckLimit, "1000"},
                                           {sim::kRecentTitleListLength, "1000"},
                                           {sim::kOutputFilename, std::string(259, 'x')},
                                           {sim::kHTMLTitle, std::string(1023, 'x')}})),
              std::vector<std::string>{});
}

TEST(SettingsCheck, PollIntervalOutOfRangeIsTakenAsTheNearestEnd) {
    const struct {
        const char* text;
        std::vector<std::string> warnings;
    } cases[] = {
        {"0", {}},
        {"1000", {}},
        {"1001",
         {"PollInterval=1001 is above 1000: the plug-in takes it as 1000 (milliseconds between polls)"}},
        {"-5", {"PollInterval=-5 is below 0: the plug-in takes it as 0 (milliseconds between polls)"}},
        {"4294967295",
         {"PollInterval=4294967295 is above 1000: the plug-in takes it as 1000 (milliseconds between "
          "polls)"}},
        {"fast",
         {"PollInterval=fast is not a whole number: the plug-in reads it as 0, the continuous poll, which "
          "costs the most CPU"}},
        {"5000ms",
         {"PollInterval=5000ms is not a whole number: the plug-in reads it as 5000",
          "PollInterval=5000 is above 1000: the plug-in takes it as 1000 (milliseconds between polls)"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sim::checkSettings(snapshot({{sim::kPollInterval, c.text}})), c.warnings) << c.text;
    sim::IniSnapshot absent = snapshot({});
    absent.values[sim::kPollInterval] = {false, "", 0};
    EXPECT_EQ(sim::checkSettings(absent), std::vector<std::string>{});
    // Hexadecimal: the platform's integer reader takes 0x10 as 16 under Wine, but the plug-in reads
    // PollInterval in decimal, as 0, and the check says what the plug-in takes.
    sim::IniSnapshot hexadecimal = snapshot({{sim::kPollInterval, "0x10"}});
    hexadecimal.values[sim::kPollInterval].number = 16;
    EXPECT_EQ(sim::checkSettings(hexadecimal),
              std::vector<std::string>{
                  "PollInterval=0x10 is not a whole number: the plug-in reads it as 0, the "
                  "continuous poll, which costs the most CPU (0x10 is hexadecimal: write 16)"});
    hexadecimal.values[sim::kPollInterval] = {true, " 0x7D0", 2000};
    EXPECT_EQ(
        sim::checkSettings(hexadecimal),
        std::vector<std::string>{"PollInterval= 0x7D0 is not a whole number: the plug-in reads it as 0, the "
                                 "continuous poll, which costs the most CPU"});
}

TEST(SettingsCheck, EachMisreadValueIsExplained) {
    const std::string longName(300, 'x');
    const std::vector<std::string> warnings = sim::checkSettings(snapshot({
        {sim::kEnableHTMLOutput, "yes"},
        {sim::kSameArtistCheckLimit, "5000"},
        {sim::kSameTitleCheckLimit, "12abc"},
        {sim::kRecentTitleListLength, "99999999999"},
        {sim::kEnablePlaylistMonitoring, "on"},
        {sim::kOutputFilename, longName},
    }));
    const std::vector<std::string> expected = {
        "EnableHTMLOutput=yes is not a whole number: the plug-in reads it as 0 and saves 0 back",
        "OutputFilename is 300 characters long: the plug-in keeps the first 259, so the page goes to " +
            std::string(259, 'x'),
        "RecentTitleListLength=99999999999 is a whole number outside the 32-bit range (-2147483648 to "
        "2147483647): the plug-in reads it as 1215752191 and saves 1215752191 back",
        "RecentTitleListLength=1215752191 is above 1000: the plug-in remembers only the last 1000 tracks, so "
        "it "
        "acts as 1000 (the configuration dialog would cut it to 1000)",
        "EnablePlaylistMonitoring=on is not a whole number: the plug-in reads it as 0 and saves 0 back",
        "SameArtistCheckLimit=5000 is above 1000: the plug-in remembers only the last 1000 tracks, so it "
        "acts as "
        "1000 (the configuration dialog would cut it to 1000)",
        "SameTitleCheckLimit=12abc is not a whole number: the plug-in reads it as 12 and saves 12 back",
        "EnablePlaylistMonitoring is 0: the repeat filter is off and no track will be skipped",
    };
    EXPECT_EQ(warnings, expected);
}

TEST(SettingsCheck, NumbersBeyond32BitsAreWholeNumbersReadAsTheirLow32Bits) {
    // What the platform's integer reader gives for them under Wine: the low 32 bits. The title
    // limit's text is long enough to live outside the string object, so a read before it is caught.
    const std::vector<std::string> warnings = sim::checkSettings(snapshot({
        {sim::kSameArtistCheckLimit, "2147483648"},
        {sim::kSameTitleCheckLimit, "0000002147483648"},
        {sim::kEnableHTMLOutput, "-2147483649"},
        {sim::kRecentTitleListLength, "4294967308"},
    }));
    const std::string outside = " is a whole number outside the 32-bit range (-2147483648 to 2147483647): ";
    const std::vector<std::string> expected = {
        "EnableHTMLOutput=-2147483649" + outside +
            "the plug-in reads it as 2147483647 and saves 2147483647 back",
        "RecentTitleListLength=4294967308" + outside + "the plug-in reads it as 12 and saves 12 back",
        "SameArtistCheckLimit=2147483648" + outside +
            "the plug-in reads it as -2147483648 and saves -2147483648 back",
        "SameArtistCheckLimit=-2147483648 is below 0: the plug-in then makes no artist check at all",
        "SameTitleCheckLimit=0000002147483648" + outside +
            "the plug-in reads it as -2147483648 and saves -2147483648 back",
        "SameTitleCheckLimit=-2147483648 is below 0: the plug-in then makes no whole-title check at all",
    };
    EXPECT_EQ(warnings, expected);
    // The edges of the range are whole numbers within it.
    EXPECT_EQ(sim::checkSettings(snapshot(
                  {{sim::kRecentTitleListLength, "-2147483648"}, {sim::kEnableHTMLOutput, "+2147483647"}})),
              std::vector<std::string>{});
}

TEST(SettingsCheck, TheLimitsAreTakenFromTheirOwnKeys) {
    sim::RuleLimits limits = sim::limitsOf(snapshot({}));
    EXPECT_EQ(limits.artistLimit, 12);
    EXPECT_EQ(limits.titleLimit, 150);
    EXPECT_TRUE(limits.monitoring);
    limits =
        sim::limitsOf(snapshot({{sim::kEnablePlaylistMonitoring, "0"}, {sim::kSameArtistCheckLimit, "7"}}));
    EXPECT_EQ(limits.artistLimit, 7);
    EXPECT_EQ(limits.titleLimit, 150);
    EXPECT_FALSE(limits.monitoring);
}

TEST(SettingsCheck, NegativeLimitsAndAMissingFile) {
    std::vector<std::string> warnings = sim::checkSettings(snapshot({{sim::kSameArtistCheckLimit, "-3"}}));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "SameArtistCheckLimit=-3 is below 0: the plug-in then makes no artist check at all");

    sim::IniSnapshot missing = {};
    for (int32_t key = 0; key < sim::kIniKeyCount; key++)
        missing.values[key].number = sim::iniKeyInfo(key).defaultNumber;
    warnings = sim::checkSettings(missing);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].find("there is no plugin.ini beside the plug-in"), 0u);
}

TEST(SettingsCheck, TheAirLogsPathAndWhatIsWrongWithIt) {
    const std::string ini = "C:\\Winamp\\Plugins\\plugin.ini";
    auto withAirLog = [](const std::string& text) { return snapshot({{sim::kAirLog, text}}); };
    EXPECT_EQ(sim::airLogPathOf(withAirLog("air.log"), ini), "C:\\Winamp\\Plugins\\air.log");
    EXPECT_EQ(sim::airLogPathOf(withAirLog("D:\\logs\\air.log"), ini), "D:\\logs\\air.log");
    EXPECT_EQ(sim::airLogPathOf(withAirLog(""), ini), "");
    EXPECT_EQ(sim::airLogWarning(withAirLog(""), ini, sim::kAirLogFolderMissing), "");
    EXPECT_EQ(sim::airLogWarning(withAirLog("air.log"), ini, sim::kAirLogWritable), "");
    EXPECT_EQ(
        sim::airLogWarning(withAirLog("D:\\logs\\air.log"), ini, sim::kAirLogFolderMissing),
        "the air log's folder D:\\logs does not exist: the plug-in cannot write D:\\logs\\air.log (it keeps "
        "what lines it can and counts the rest until it can write)");
    EXPECT_EQ(
        sim::airLogWarning(withAirLog("air.log"), ini, sim::kAirLogNotWritable),
        "the air log C:\\Winamp\\Plugins\\air.log cannot be written (it keeps what lines it can and counts "
        "the rest until it can write)");
    // Too long for a path, alone or with the plug-in's folder: no log at all, whatever the disk says.
    const std::string fits(259 - 18, 'n'), overFolder(260 - 18, 'n'), over(260, 'n');
    EXPECT_EQ(sim::airLogPathOf(withAirLog(fits), ini).size(), 259u);
    for (const std::string& name : {overFolder, over}) {
        EXPECT_EQ(sim::airLogPathOf(withAirLog(name), ini), "");
        EXPECT_EQ(sim::checkSettings(withAirLog(name)), std::vector<std::string>{}) << "said twice";
    }
    EXPECT_EQ(
        sim::airLogWarning(withAirLog(overFolder), ini, sim::kAirLogWritable),
        "AirLog is 242 characters long, 260 with the plug-in's folder before it: the plug-in takes paths of "
        "at most 259 and keeps no air log");
    EXPECT_EQ(sim::airLogWarning(withAirLog(over), ini, sim::kAirLogWritable),
              "AirLog is 260 characters long: the plug-in takes paths of at most 259 and keeps no air log");
}

TEST(SettingsCheck, FolderAndFileNameOfAPath) {
    EXPECT_EQ(sim::folderOf("c:/www/status.htm"), "c:/www");
    EXPECT_EQ(sim::folderOf("C:\\www\\live\\status.htm"), "C:\\www\\live");
    EXPECT_EQ(sim::folderOf("status.htm"), "");
    EXPECT_EQ(sim::fileNameOf("C:\\lists\\day.m3u"), "day.m3u");
    EXPECT_EQ(sim::fileNameOf("../lists/day.m3u"), "day.m3u");
    EXPECT_EQ(sim::fileNameOf("day.m3u"), "day.m3u");
}

} // namespace
