// The path rules, as both the plug-in and the simulated player's settings check apply them.
#include "airlog/air_path.h"

#include <cstring>

namespace {

bool isSlash(char c) {
    return c == '\\' || c == '/';
}

// Empties `out` when it has room for the terminator; returns false for the callers' convenience.
bool leaveEmpty(char* out, size_t capacity) {
    if (capacity > 0)
        out[0] = '\0';
    return false;
}

} // namespace

namespace airlog {

bool rollDue(int64_t size) {
    return size >= kAirLogRollBytes;
}

bool isRelativePath(const char* setting) {
    if (isSlash(setting[0]))
        return false;
    const bool drive =
        ((setting[0] >= 'A' && setting[0] <= 'Z') || (setting[0] >= 'a' && setting[0] <= 'z')) &&
        setting[1] == ':';
    return !drive;
}

bool resolveLogPath(const char* iniPath, const char* setting, char* out, size_t capacity) {
    const size_t settingLength = std::strlen(setting);
    if (settingLength == 0)
        return leaveEmpty(out, capacity);
    size_t folderLength = 0;
    if (isRelativePath(setting)) {
        const char* lastBackslash = std::strrchr(iniPath, '\\');
        folderLength = lastBackslash != nullptr ? static_cast<size_t>(lastBackslash - iniPath) + 1 : 0;
    }
    if (folderLength + settingLength + 1 > capacity)
        return leaveEmpty(out, capacity);
    std::memcpy(out, iniPath, folderLength);
    std::memcpy(out + folderLength, setting, settingLength + 1);
    return true;
}

bool previousLogPath(const char* path, char* out, size_t capacity) {
    const size_t length = std::strlen(path);
    size_t nameStart = length;
    while (nameStart > 0 && !isSlash(path[nameStart - 1]))
        nameStart--;
    // The extension starts at the name's last dot, unless that dot begins the name (".log").
    size_t insertAt = length;
    for (size_t i = length; i > nameStart + 1; i--)
        if (path[i - 1] == '.') {
            insertAt = i - 1;
            break;
        }
    const size_t suffixLength = sizeof kPreviousSuffix - 1;
    if (length + suffixLength + 1 > capacity)
        return leaveEmpty(out, capacity);
    std::memcpy(out, path, insertAt);
    std::memcpy(out + insertAt, kPreviousSuffix, suffixLength);
    std::memcpy(out + insertAt + suffixLength, path + insertAt, length - insertAt + 1);
    return true;
}

} // namespace airlog
