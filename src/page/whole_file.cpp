// The page file's one call into the file system: open, write every byte, close.
#include "page/whole_file.h"

#include <windows.h>

namespace page {

bool writeWholeFile(const char* path, const char* bytes, size_t length) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    while (length > 0) {
        DWORD chunk = length < MAXDWORD ? static_cast<DWORD>(length) : MAXDWORD;
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            break;
        bytes += written;
        length -= written;
    }
    const bool closed = CloseHandle(file) != 0;
    return length == 0 && closed;
}

} // namespace page
