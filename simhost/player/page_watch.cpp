// The page is read whole and hashed at each look: a page is rewritten with different content each
// time (the new track is shown as playing), and a file's time stamp is too coarse to count writes
// that follow each other within milliseconds.
#include "player/page_watch.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// FNV-1a over the file's bytes; false when the file cannot be opened.
bool hashFile(const std::string& path, uint64_t* hash) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint64_t value = 0xCBF29CE484222325ull;
    std::vector<unsigned char> buffer(65536);
    DWORD got = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        for (DWORD i = 0; i < got; i++)
            value = (value ^ buffer[i]) * 0x100000001B3ull;
    CloseHandle(file);
    *hash = value;
    return true;
}

} // namespace

namespace sim {

void startPageWatch(PageWatch* watch, const std::string& fileName, bool enabled) {
    *watch = PageWatch();
    watch->enabled = enabled;
    char full[MAX_PATH * 4] = {};
    const DWORD length = GetFullPathNameA(fileName.c_str(), sizeof full, full, nullptr);
    watch->path = length > 0 && length < sizeof full ? std::string(full) : fileName;
    watch->exists = hashFile(watch->path, &watch->contentHash);
}

bool notePageChange(PageWatch* watch) {
    uint64_t hash = 0;
    const bool exists = hashFile(watch->path, &hash);
    const bool changed = exists && (!watch->exists || hash != watch->contentHash);
    watch->exists = exists;
    watch->contentHash = hash;
    if (changed)
        watch->rewrites++;
    return changed;
}

bool copyPage(const PageWatch& watch, const std::string& destination, std::string* error) {
    if (GetFileAttributesA(watch.path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        *error = "there is no page at " + watch.path + " to copy to " + destination;
        return false;
    }
    if (!CopyFileA(watch.path.c_str(), destination.c_str(), FALSE)) {
        *error = "cannot copy the page to " + destination + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

bool reportPage(const PageWatch& page, int32_t rewritesWhilePlaying, bool offlinePageWritten,
                const std::string& iniPath) {
    if (!page.enabled) {
        std::printf("The status page is switched off (EnableHTMLOutput=0 in %s).\n", iniPath.c_str());
        return true;
    }
    if (rewritesWhilePlaying == 0 && !offlinePageWritten) {
        std::printf("error: the status page is switched on but was never written: nothing appeared at %s "
                    "(OutputFilename in %s)\n",
                    page.path.c_str(), iniPath.c_str());
        return false;
    }
    std::printf("The status page %s was rewritten %ld times while playing%s.\n", page.path.c_str(),
                static_cast<long>(rewritesWhilePlaying),
                offlinePageWritten ? ", and once more at shut-down (off-line)"
                                   : "; the off-line page was not seen");
    return true;
}

} // namespace sim
