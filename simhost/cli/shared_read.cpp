// The Windows read behind readSharing.
#include "cli/shared_read.h"

#include <windows.h>

#include <algorithm>

namespace sim {

bool readSharing(const std::string& path, std::string* bytes, size_t most) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool read = true;
    while (bytes->size() < most &&
           (read = ReadFile(file, buffer, static_cast<DWORD>(std::min(sizeof buffer, most - bytes->size())),
                            &got, nullptr) != 0) &&
           got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return read;
}

bool readWholeSharing(const std::string& path, std::string* bytes) {
    return readSharing(path, bytes);
}

} // namespace sim
