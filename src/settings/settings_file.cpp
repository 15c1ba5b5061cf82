// Loading and saving plugin.ini. Texts are read into local buffers first and stored under the
// settings lock afterwards, so the lock is never held across file access.
#include "settings/settings_file.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "common/bounded_text.h"
#include "common/plugin_state.h"
#include "settings/ini_path.h"
#include "settings/settings_store.h"

namespace {

constexpr char kSection[] = "Songbeacon";

constexpr int32_t kDefaultEnableHTMLOutput = 1;
constexpr char kDefaultOutputFilename[] = "c:/status.htm";
constexpr char kDefaultHTMLTitle[] =
    "Generic Server's Songbeacon Status Page (edit your winamp\\plugin.ini file to change this line!)";
constexpr char kDefaultHTMLHeader[] =
    "<CENTER><B><FONT SIZE=+1>Generic Server<BR>(edit your winamp\\plugin.ini "
    "file to change this line!)</FONT></B></CENTER><BR>";
constexpr int32_t kDefaultRecentTitleListLength = 10;
constexpr int32_t kDefaultEnablePlaylistMonitoring = 1;
constexpr int32_t kDefaultSameArtistCheckLimit = 0;
constexpr int32_t kDefaultSameTitleCheckLimit = 0;

// Null when there is no usable settings file: reads then give the defaults, writes do nothing.
const char* usableIniPath() {
    const char* path = pluginState.iniPath;
    return path != nullptr && path[0] != '\0' ? path : nullptr;
}

void readInteger(std::atomic<int32_t>& field, const char* key, int32_t fallback) {
    const char* path = usableIniPath();
    field = path != nullptr ? static_cast<int32_t>(GetPrivateProfileIntA(kSection, key, fallback, path))
                            : fallback;
}

void readText(char* out, int32_t capacity, const char* key, const char* fallback) {
    const char* path = usableIniPath();
    if (path != nullptr)
        GetPrivateProfileStringA(kSection, key, fallback, out, static_cast<DWORD>(capacity), path);
    else
        copyBounded(out, static_cast<size_t>(capacity), fallback);
}

// PollInterval as its text reads, brought into 0..kPollIntervalMaximum digit by digit: the profile
// integer reader keeps only the low 32 bits of a longer number, so 4294967295 would come back as the
// continuous poll. Read as that reader reads decimal text otherwise: an optional sign, then the digits
// up to the first other character ("12ms" is 12); a word, a negative number or no key is 0.
int32_t readPollInterval() {
    const char* path = usableIniPath();
    char text[64] = ""; // absent or empty: 0, the continuous poll; judged by its first 63 characters
    if (path != nullptr)
        GetPrivateProfileStringA(kSection, "PollInterval", "", text, sizeof text, path);
    const char* digit = text;
    while (*digit == ' ' || *digit == '\t')
        digit++;
    const bool negative = *digit == '-';
    if (*digit == '-' || *digit == '+')
        digit++;
    int32_t value = 0;
    for (; *digit >= '0' && *digit <= '9' && value <= kPollIntervalMaximum; digit++)
        value = value * 10 + (*digit - '0');
    if (negative)
        return 0;
    return value > kPollIntervalMaximum ? kPollIntervalMaximum : value;
}

// AirLog as written, or empty when absent or too long to keep whole. Read one byte beyond what is
// kept, so that a longer name shows itself.
void readAirLog() {
    const char* path = usableIniPath();
    char text[kAirLogCapacity + 1] = "";
    if (path != nullptr)
        GetPrivateProfileStringA(kSection, "AirLog", "", text, sizeof text, path);
    settings::storeAirLog(text);
}

void writeInteger(const char* key, int32_t value) {
    char text[12]; // "-2147483648" and its terminator
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    WritePrivateProfileStringA(kSection, key, text, pluginState.iniPath);
}

void writeText(const char* key, const char* value) {
    WritePrivateProfileStringA(kSection, key, value, pluginState.iniPath);
}

} // namespace

namespace settings {

void buildIniPath(void* moduleInstance) {
    char modulePath[kIniPathCapacity];
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(moduleInstance), modulePath, sizeof modulePath);
    if (length == 0 || length >= sizeof modulePath) {
        pluginState.iniPath[0] = '\0'; // no path, or one cut short: its folder is unknown
        return;
    }
    composeIniPath(modulePath, pluginState.iniPath, kIniPathCapacity);
}

void load() {
    PluginSettings& live = pluginState.settings;
    TextSettings texts;
    readInteger(live.EnableHTMLOutput, "EnableHTMLOutput", kDefaultEnableHTMLOutput);
    readText(texts.OutputFilename, kOutputFilenameCapacity, "OutputFilename", kDefaultOutputFilename);
    readText(texts.HTMLTitle, kHTMLTitleCapacity, "HTMLTitle", kDefaultHTMLTitle);
    readText(texts.HTMLHeader, kHTMLHeaderCapacity, "HTMLHeader", kDefaultHTMLHeader);
    readInteger(live.RecentTitleListLength, "RecentTitleListLength", kDefaultRecentTitleListLength);
    readInteger(live.EnablePlaylistMonitoring, "EnablePlaylistMonitoring", kDefaultEnablePlaylistMonitoring);
    readInteger(live.SameArtistCheckLimit, "SameArtistCheckLimit", kDefaultSameArtistCheckLimit);
    readInteger(live.SameTitleCheckLimit, "SameTitleCheckLimit", kDefaultSameTitleCheckLimit);
    storeTexts(texts);
    live.PollInterval = readPollInterval();
    readAirLog();
}

void save() {
    if (usableIniPath() == nullptr)
        return;
    const PluginSettings& live = pluginState.settings;
    TextSettings texts;
    copyTexts(&texts);
    writeInteger("EnableHTMLOutput", live.EnableHTMLOutput);
    writeText("OutputFilename", texts.OutputFilename);
    writeText("HTMLTitle", texts.HTMLTitle);
    writeText("HTMLHeader", texts.HTMLHeader);
    writeInteger("RecentTitleListLength", live.RecentTitleListLength);
    writeInteger("EnablePlaylistMonitoring", live.EnablePlaylistMonitoring);
    writeInteger("SameArtistCheckLimit", live.SameArtistCheckLimit);
    writeInteger("SameTitleCheckLimit", live.SameTitleCheckLimit);
}

} // namespace settings
