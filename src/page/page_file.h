// Writes the status page file from the live plug-in state.
#pragma once

namespace page {

// Recreates the file named by the OutputFilename setting with the page for the current state,
// unless EnableHTMLOutput is 0. A file that cannot be opened is left alone; nothing is reported.
void write();

} // namespace page
