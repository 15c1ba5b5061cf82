// Where the status page went: the host watches the file the plug-in's settings name, counts each
// time its content changes, and can copy it as it stands.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

struct PageWatch {
    bool enabled;         // EnableHTMLOutput non-zero
    std::string path;     // the page's full path, as the plug-in's relative name resolves here
    bool exists;          // the file was there at the last look
    uint64_t contentHash; // of its content at the last look
    int32_t rewrites;     // content changes seen since the watch began
};

// Begins watching the page named `fileName` (relative to the current folder), taking what is
// there now as the starting point.
void startPageWatch(PageWatch* watch, const std::string& fileName, bool enabled);

// Looks at the page again; true (and one more rewrite counted) when its content changed.
bool notePageChange(PageWatch* watch);

// Copies the page as it stands to `destination`; false with `error` set when it cannot.
bool copyPage(const PageWatch& watch, const std::string& destination, std::string* error);

// Says where the page went: switched off, or its path and the rewrites seen while playing
// (`rewritesWhilePlaying`) and at shut-down. False, after an error line, when it is switched on
// but was never written.
bool reportPage(const PageWatch& page, int32_t rewritesWhilePlaying, bool offlinePageWritten,
                const std::string& iniPath);

} // namespace sim
