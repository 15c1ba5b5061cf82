// Where plugin.ini lives: beside the plug-in's own module, so that each copy of the plug-in keeps
// its own settings.
#pragma once

#include <cstddef>

namespace settings {

// Writes the folder of `modulePath` (everything up to and including its last backslash; nothing
// when it has none) followed by "plugin.ini" into `out`. Returns false and leaves `out` empty
// when that does not fit in `capacity` bytes: a cut path would name some other file.
bool composeIniPath(const char* modulePath, char* out, size_t capacity);

} // namespace settings
