// Fuzzes the plugin.ini checks over any snapshot of the eight keys. The file itself is read by the
// Win32 profile functions, which cannot run here; the snapshot stands for what they return: a
// text per key (one line of the file, so without line ends or NULs) and the integer reader's number,
// either as Wine's reader gives it (measured: blanks, a sign and decimal digits, the low 32 bits
// kept; "0x" hexadecimal; else the leading number, or 0) or any number at all.
//
// Every warning must be one non-empty line, and the checks must never read outside a text. A
// number key's text must be classed as a reference written here classes it: "is not a whole
// number" exactly for present keys that are not a sign and digits within blanks, "outside the
// 32-bit range" exactly for whole numbers beyond it (but PollInterval, which is never cut to 32 bits).
// The limits must come from their own keys.
//
// Input layout (missing bytes read as 0):
//   flags        bit 0 the file was found; bit 1 numbers as Wine reads them (else any number)
//   per key      one byte: bit 0 present, bits 1-7 the text's length (0..127); then the text's bytes
//                (a long text is made by repeating them up to 300 bytes when bit 7 of the first is
//                set), and when numbers are any number, see fuzz::takeLimit
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/settings_check.h"
#include "fuzz_input.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

enum Form { kWords, kWhole, kBeyond };

// A sign and decimal digits within blanks: whole (within 32 bits or beyond); anything else: words.
Form referenceForm(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        begin++;
    while (end > begin && isBlank(text[end - 1]))
        end--;
    std::string number = text.substr(begin, end - begin);
    bool negative = false;
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) {
        negative = number[0] == '-';
        number.erase(0, 1);
    }
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return kWords;
    const size_t firstDigit = number.find_first_not_of('0');
    number = firstDigit == std::string::npos ? "0" : number.substr(firstDigit);
    const std::string bound = negative ? "2147483648" : "2147483647";
    const bool beyond = number.size() > bound.size() || (number.size() == bound.size() && number > bound);
    return beyond ? kBeyond : kWhole;
}

// The integer reader as Wine gives it, for a present key.
int32_t wineNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        i++;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    uint32_t value = 0;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        for (i += 2; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); i++)
            value = value * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(text[i]))
                                                           ? text[i] - '0'
                                                           : (text[i] | 0x20) - 'a' + 10);
    } else {
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++)
            value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    }
    return static_cast<int32_t>(negative ? 0u - value : value);
}

bool hasWarningStarting(const std::vector<std::string>& warnings, const std::string& start) {
    for (const std::string& warning : warnings)
        if (warning.compare(0, start.size(), start) == 0)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input = {data, size, 0};
    const uint8_t flags = fuzz::takeByte(input);
    const bool asWine = (flags & 2) != 0;
    sim::IniSnapshot ini = {};
    ini.fileFound = (flags & 1) != 0;
    for (int32_t key = 0; key < sim::kIniKeyCount; key++) {
        const uint8_t header = fuzz::takeByte(input);
        sim::IniValue& value = ini.values[key];
        value.present = (header & 1) != 0;
        std::string text;
        for (int32_t i = 0; i < (header >> 1); i++) {
            const char c = static_cast<char>(fuzz::takeByte(input));
            if (c != '\0' && c != '\r' && c != '\n')
                text += c; // a profile value is one line
        }
        if (!text.empty() && (static_cast<unsigned char>(text[0]) & 0x80) != 0)
            while (text.size() < 300)
                text += text;
        value.text = value.present ? text : "";
        const sim::IniKeyInfo& info = sim::iniKeyInfo(key);
        if (info.isNumber)
            value.number = !value.present ? info.defaultNumber
                           : asWine       ? wineNumber(value.text)
                                          : fuzz::takeLimit(input, -5, 40);
    }

    const std::vector<std::string> warnings = sim::checkSettings(ini);
    for (const std::string& warning : warnings) {
        FUZZ_CHECK(!warning.empty());
        FUZZ_CHECK(warning.find('\n') == std::string::npos);
    }
    for (int32_t key = 0; key < sim::kIniKeyCount; key++) {
        const sim::IniKeyInfo& info = sim::iniKeyInfo(key);
        const sim::IniValue& value = ini.values[key];
        if (!info.isNumber)
            continue;
        const std::string named = std::string(info.name) + "=" + value.text + " is ";
        const Form form = value.present ? referenceForm(value.text) : kWhole;
        FUZZ_CHECK(hasWarningStarting(warnings, named + "not a whole number:") == (form == kWords));
        // PollInterval is held to 0..1000 as its digits are read: beyond 32 bits is only beyond 1000.
        const bool pollInterval = key == sim::kPollInterval;
        FUZZ_CHECK(hasWarningStarting(warnings, named + "a whole number outside the 32-bit range") ==
                   (form == kBeyond && !pollInterval));
        FUZZ_CHECK(!pollInterval || form != kBeyond || hasWarningStarting(warnings, named + "above 1000") ||
                   hasWarningStarting(warnings, named + "below 0"));
    }
    const sim::RuleLimits limits = sim::limitsOf(ini);
    FUZZ_CHECK(limits.artistLimit == ini.values[sim::kSameArtistCheckLimit].number);
    FUZZ_CHECK(limits.titleLimit == ini.values[sim::kSameTitleCheckLimit].number);
    FUZZ_CHECK(limits.monitoring == (ini.values[sim::kEnablePlaylistMonitoring].number != 0));
    const std::string page = sim::outputFilenameKept(ini);
    FUZZ_CHECK(page.size() <= 259 &&
               ini.values[sim::kOutputFilename].text.compare(0, page.size(), page) == 0);
    // The air log's path is the name itself, or after the plug-in's folder; never cut.
    const std::string& airLog = ini.values[sim::kAirLog].text;
    const std::string airLogPath = sim::airLogPathOf(ini, "C:\\Winamp\\Plugins\\plugin.ini");
    FUZZ_CHECK(airLogPath.size() <= 259);
    FUZZ_CHECK(airLogPath.empty() ||
               (airLogPath.size() >= airLog.size() &&
                airLogPath.compare(airLogPath.size() - airLog.size(), airLog.size(), airLog) == 0));
    FUZZ_CHECK(!airLog.empty() ==
               (!airLogPath.empty() ||
                !sim::airLogWarning(ini, "C:\\Winamp\\Plugins\\plugin.ini", sim::kAirLogWritable).empty()));
    return 0;
}
