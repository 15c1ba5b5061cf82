// Writes the status page file from the live plug-in state.
#pragma once

namespace page {

// Recreates the file named by the OutputFilename setting with the page for the current state,
// unless EnableHTMLOutput is 0. A file that cannot be opened is left alone. Keeps no state and
// tells no one but its caller: returns false when the page is on but was not written whole (the
// file could not be opened or written, or there was no memory for the page), so that the caller
// may try again; true when it was written, or when the page is off and nothing was owed.
bool write();

} // namespace page
