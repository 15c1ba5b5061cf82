// The plug-in reads number keys with the platform's integer reader, which takes words as 0 (and
// "12abc" as 12) and a number beyond 32 bits as its low 32 bits (under Wine, 2147483648 reads as
// -2147483648), and saves back what it read; PollInterval alone it reads digit by digit, holding it
// to 0..1000, so that no length of number wraps round, and in decimal only ("0x10" is 0, where the
// platform's reader may take 16). It keeps texts cut to its buffers. These checks warn about each
// case in the operator's terms, saying what the plug-in takes.
#include "cli/settings_check.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "airlog/air_path.h"

namespace {

constexpr int32_t kMostLimit = 1000;        // the plug-in remembers the last 1000 tracks
constexpr int32_t kMostPollInterval = 1000; // a second between polls at most
constexpr int32_t kTextCapacity = 1024;
constexpr int32_t kPathCapacity = 260;

const sim::IniKeyInfo kKeys[sim::kIniKeyCount] = {
    {"EnableHTMLOutput", true, 1, 0},       {"OutputFilename", false, 0, kPathCapacity},
    {"HTMLTitle", false, 0, kTextCapacity}, {"HTMLHeader", false, 0, kTextCapacity},
    {"RecentTitleListLength", true, 10, 0}, {"EnablePlaylistMonitoring", true, 1, 0},
    {"SameArtistCheckLimit", true, 0, 0},   {"SameTitleCheckLimit", true, 0, 0},
    {"PollInterval", true, 0, 0},           {"AirLog", false, 0, kPathCapacity},
};

// What a number key's text is to the operator: words, or a whole number within 32 bits or beyond.
enum NumberForm : int32_t { kWords, kWholeNumber, kWholeBeyond32Bits };

// The form of `text`: an optional sign and decimal digits, blanks around allowed, is a whole number;
// anything else is words.
NumberForm numberForm(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return kWords;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        i++;
    const size_t digitsStart = i;
    int64_t magnitude = 0;
    bool beyond = false;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); i++) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) {
            beyond = true;
            magnitude = 2147483648LL; // keeps the sum in range however many digits follow
        }
    }
    if (i == digitsStart || text.find_first_not_of(" \t", i) != std::string::npos)
        return kWords;
    if (beyond || magnitude > (negative ? 2147483648LL : 2147483647LL))
        return kWholeBeyond32Bits;
    return kWholeNumber;
}

// PollInterval's text as the plug-in reads it: blanks, an optional sign, then the decimal digits up
// to the first other character ("12ms" is 12, "0x10" is 0, a word 0), held at 2^31 either way so
// that no length of digits wraps round.
int64_t pollIntervalAsRead(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-')
        i++;
    int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); i++)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), 2147483648LL);
    return negative ? -value : value;
}

// The value of a hexadecimal `text` ("0x10", blanks around allowed) as decimal text, or "" when it
// is no such number or a number beyond a second's milliseconds.
std::string hexadecimalValue(const std::string& text) {
    const size_t start = text.find_first_not_of(" \t");
    const bool prefixed = start != std::string::npos && start + 2 < text.size() && text[start] == '0' &&
                          (text[start + 1] == 'x' || text[start + 1] == 'X');
    if (!prefixed)
        return "";
    size_t i = start + 2;
    int64_t value = 0;
    for (;
         i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])) && value <= kMostPollInterval;
         i++) {
        const int digit = std::tolower(static_cast<unsigned char>(text[i]));
        value = value * 16 + (std::isdigit(digit) ? digit - '0' : digit - 'a' + 10);
    }
    if (i == start + 2 || value > kMostPollInterval || text.find_first_not_of(" \t", i) != std::string::npos)
        return "";
    return std::to_string(value);
}

// Warnings about number key `key`: words, a number beyond 32 bits, or a limit out of the range the
// plug-in works with. PollInterval's number is the plug-in's own reading of its text, whatever the
// platform's reader made of it.
void checkNumber(const sim::IniSnapshot& ini, int32_t key, std::vector<std::string>* warnings) {
    const sim::IniValue& value = ini.values[key];
    const std::string name = kKeys[key].name;
    const bool isPollInterval = key == sim::kPollInterval; // read, never saved
    const int64_t number = isPollInterval && value.present ? pollIntervalAsRead(value.text) : value.number;
    const std::string read = std::to_string(number);
    const NumberForm form = value.present ? numberForm(value.text) : kWholeNumber;
    const std::string savedBack = isPollInterval ? "" : " and saves " + read + " back";
    if (form == kWords) {
        std::string warning =
            name + "=" + value.text + " is not a whole number: the plug-in reads it as " + read + savedBack;
        if (isPollInterval && number == 0) {
            warning += ", the continuous poll, which costs the most CPU";
            const std::string hexadecimal = hexadecimalValue(value.text);
            if (!hexadecimal.empty())
                warning += " (" + value.text + " is hexadecimal: write " + hexadecimal + ")";
        }
        warnings->push_back(warning);
        if (!isPollInterval)
            return;
    }
    // PollInterval is brought into its range as its digits are read, so it never wraps round.
    const bool pollBeyond = isPollInterval && form == kWholeBeyond32Bits;
    if (form == kWholeBeyond32Bits && !pollBeyond)
        warnings->push_back(name + "=" + value.text +
                            " is a whole number outside the 32-bit range (-2147483648 to 2147483647): the "
                            "plug-in reads it as " +
                            read + savedBack);
    if (isPollInterval && (number > kMostPollInterval || number < 0))
        warnings->push_back(name + "=" + (pollBeyond ? value.text : read) +
                            (number < 0 ? " is below 0" : " is above 1000") + ": the plug-in takes it as " +
                            (number < 0 ? "0" : "1000") + " (milliseconds between polls)");
    const bool isLimit = key == sim::kSameArtistCheckLimit || key == sim::kSameTitleCheckLimit;
    if ((isLimit || key == sim::kRecentTitleListLength) && value.number > kMostLimit)
        warnings->push_back(name + "=" + read + " is above 1000: the plug-in remembers only the last 1000 " +
                            "tracks, so it acts as 1000 (the configuration dialog would cut it to 1000)");
    if (isLimit && value.number < 0)
        warnings->push_back(name + "=" + read + " is below 0: the plug-in then makes no " +
                            (key == sim::kSameArtistCheckLimit ? "artist" : "whole-title") + " check at all");
}

// A warning when text key `key` is longer than the plug-in keeps.
void checkText(const sim::IniSnapshot& ini, int32_t key, std::vector<std::string>* warnings) {
    const sim::IniValue& value = ini.values[key];
    const size_t kept = static_cast<size_t>(kKeys[key].capacity - 1);
    if (value.text.size() <= kept || key == sim::kAirLog) // a long AirLog: see airLogWarning
        return;
    std::string warning = std::string(kKeys[key].name) + " is " + std::to_string(value.text.size()) +
                          " characters long: the plug-in keeps the first " + std::to_string(kept);
    if (key == sim::kOutputFilename)
        warning += ", so the page goes to " + value.text.substr(0, kept);
    warnings->push_back(warning);
}

} // namespace

namespace sim {

const IniKeyInfo& iniKeyInfo(int32_t key) {
    return kKeys[key >= 0 && key < kIniKeyCount ? key : 0];
}

std::vector<std::string> checkSettings(const IniSnapshot& ini) {
    std::vector<std::string> warnings;
    if (!ini.fileFound)
        warnings.push_back(
            "there is no plugin.ini beside the plug-in: it starts with its defaults (no limits, so "
            "it refuses nothing; the page goes to c:/status.htm) and writes them there");
    for (int32_t key = 0; key < kIniKeyCount; key++) {
        if (kKeys[key].isNumber)
            checkNumber(ini, key, &warnings);
        else
            checkText(ini, key, &warnings);
    }
    if (ini.values[kEnablePlaylistMonitoring].number == 0)
        warnings.push_back(
            "EnablePlaylistMonitoring is 0: the repeat filter is off and no track will be skipped");
    return warnings;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string outputFilenameKept(const IniSnapshot& ini) {
    return ini.values[kOutputFilename].text.substr(0, kPathCapacity - 1);
}

std::string airLogPathOf(const IniSnapshot& ini, const std::string& iniPath) {
    const std::string& setting = ini.values[kAirLog].text;
    if (setting.size() >= static_cast<size_t>(kPathCapacity))
        return ""; // the plug-in keeps no name it would have to cut
    std::vector<char> path(static_cast<size_t>(airlog::kAirLogPathCapacity));
    return airlog::resolveLogPath(iniPath.c_str(), setting.c_str(), path.data(), path.size()) ? path.data()
                                                                                              : "";
}

std::string airLogWarning(const IniSnapshot& ini, const std::string& iniPath, int32_t access) {
    const std::string& setting = ini.values[kAirLog].text;
    if (setting.empty())
        return "";
    const std::string path = airLogPathOf(ini, iniPath);
    if (path.empty())
        return "AirLog is " + std::to_string(setting.size()) + " characters long" +
               (setting.size() < static_cast<size_t>(kPathCapacity)
                    ? ", " + std::to_string(folderOf(iniPath).size() + 1 + setting.size()) +
                          " with the plug-in's folder before it"
                    : std::string()) +
               ": the plug-in takes paths of at most 259 and keeps no air log";
    const std::string lost = " (it keeps what lines it can and counts the rest until it can write)";
    if (access == kAirLogFolderMissing)
        return "the air log's folder " + folderOf(path) + " does not exist: the plug-in cannot write " +
               path + lost;
    if (access == kAirLogNotWritable)
        return "the air log " + path + " cannot be written" + lost;
    return "";
}

RuleLimits limitsOf(const IniSnapshot& ini) {
    return {ini.values[kSameArtistCheckLimit].number, ini.values[kSameTitleCheckLimit].number,
            ini.values[kEnablePlaylistMonitoring].number != 0};
}

} // namespace sim
