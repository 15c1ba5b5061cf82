// The Windows reads behind readSharing and readShared: one loop over a handle opened with every
// kind of sharing allowed.
#include "cli/shared_read.h"

#include <algorithm>

namespace {

// Reads at most `most` bytes of `file` into `bytes`, then closes it; false when a read fails.
bool readOpened(HANDLE file, std::string* bytes, size_t most, DWORD* code) {
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool read = true;
    while (bytes->size() < most &&
           (read = ReadFile(file, buffer, static_cast<DWORD>(std::min(sizeof buffer, most - bytes->size())),
                            &got, nullptr) != 0) &&
           got > 0)
        bytes->append(buffer, got);
    *code = GetLastError();
    CloseHandle(file);
    return read;
}

constexpr DWORD kEverySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

namespace sim {

bool readSharing(const std::string& path, std::string* bytes, size_t most) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, kEverySharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD code = 0;
    return file != INVALID_HANDLE_VALUE && readOpened(file, bytes, most, &code);
}

bool readShared(const std::wstring& path, std::string* bytes, DWORD* code) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kEverySharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *code = GetLastError();
        return false;
    }
    return readOpened(file, bytes, static_cast<size_t>(-1), code);
}

bool readWholeSharing(const std::string& path, std::string* bytes) {
    return readSharing(path, bytes);
}

} // namespace sim
