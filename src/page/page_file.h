// Writes the status page file from the live plug-in state: at once on the worker, or as a copy
// that another thread writes without touching the state again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/plugin_settings.h"

namespace page {

// Recreates the file named by the OutputFilename setting with the page for the current state,
// unless EnableHTMLOutput is 0. A file that cannot be opened is left alone. Keeps no state and
// tells no one but its caller: returns false when the page is on but was not written whole (the
// file could not be opened or written, or there was no memory for the page), so that the caller
// may try again; true when it was written, or when the page is off and nothing was owed.
bool write();

// The page for the state at one moment, with the file it goes to: everything a write needs, owned
// by the copy, so that the write may run on a thread that outlives the shared state.
struct PageCopy {
    char outputFilename[kOutputFilenameCapacity];
    char* bytes; // the rendered page, a block of its own; null when none is held
    size_t length;
};

enum CopyResult : int32_t {
    kCopied = 0, // `copy` holds the page: write it, or release it
    kPageOff,    // EnableHTMLOutput is 0: nothing to write, nothing held
    kNoMemory,   // no memory for the page: nothing held
};

// Renders the page for the current state into `copy`, with the OutputFilename setting as it is now.
CopyResult copyCurrent(PageCopy* copy);

// Writes `copy` to its file as write() would, then releases what it holds. Returns true when the
// page was written whole.
bool writeAndRelease(PageCopy* copy);

} // namespace page
