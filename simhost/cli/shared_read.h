// Reading a file that a running player may be writing or holding, as the air log, plugin.ini and
// the plug-in itself are: opened with every kind of sharing allowed, so that the player never
// finds a file it wants held while the tool reads it, and can even rename it (the air log's roll)
// meanwhile.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace sim {

// The whole of the file at `path`, or its first `most` bytes; false when it cannot be read.
bool readSharing(const std::string& path, std::string* bytes, size_t most = static_cast<size_t>(-1));

// The whole of the file at `path`; `code` gets the system's error when it cannot be read.
bool readShared(const std::wstring& path, std::string* bytes, DWORD* code);

// readSharing of the whole file, for a request's readFile.
bool readWholeSharing(const std::string& path, std::string* bytes);

} // namespace sim
