#include "settings/ini_path.h"

#include <cstring>

namespace {
constexpr char kIniFileName[] = "plugin.ini";
}

namespace settings {

bool composeIniPath(const char* modulePath, char* out, size_t capacity) {
    const char* lastBackslash = std::strrchr(modulePath, '\\');
    const size_t folderLength =
        lastBackslash != nullptr ? static_cast<size_t>(lastBackslash - modulePath) + 1 : 0;
    if (folderLength + sizeof kIniFileName > capacity) {
        if (capacity > 0)
            out[0] = '\0';
        return false;
    }
    std::memcpy(out, modulePath, folderLength);
    std::memcpy(out + folderLength, kIniFileName, sizeof kIniFileName);
    return true;
}

} // namespace settings
