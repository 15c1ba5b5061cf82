// The one file call of the status page: a file recreated whole from bytes held in memory. Kept apart
// from the page itself so that a test can stand in for the file system alone (a folder that blocks,
// then answers again) while the page is made as the plug-in makes it.
#pragma once

#include <cstddef>

namespace page {

// Recreates `path` holding the `length` bytes at `bytes`. Any sharing is allowed, so a web server or
// viewer that shares the file never stops the update; one that holds it without write sharing
// makes the open fail, and the file is then left alone. Returns true when every byte went out and
// the file closed.
bool writeWholeFile(const char* path, const char* bytes, size_t length);

} // namespace page
