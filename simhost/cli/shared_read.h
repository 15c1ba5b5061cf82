// Reading a file that a running player may be writing, as the air log is: opened with every kind
// of sharing allowed, so that the plug-in never finds its log held while the tool reads it, and
// can even roll it over (rename it) meanwhile.
#pragma once

#include <cstddef>
#include <string>

namespace sim {

// The whole of the file at `path`, or its first `most` bytes; false when it cannot be read.
bool readSharing(const std::string& path, std::string* bytes, size_t most = static_cast<size_t>(-1));

// readSharing of the whole file, for a request's readFile.
bool readWholeSharing(const std::string& path, std::string* bytes);

} // namespace sim
