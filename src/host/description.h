// The text that names the plug-in in the host's plug-in list, built from the module's file name.
#pragma once

#include <cstddef>

namespace host {

// Writes "Songbeacon Plug-In 0.24b (<file name>)" into `out` (capacity bytes), where the file name
// is the part of `modulePath` after its last backslash (all of it when there is none). A name too
// long for the buffer is cut so that the closing parenthesis still fits.
void formatDescription(const char* modulePath, char* out, size_t capacity);

} // namespace host
