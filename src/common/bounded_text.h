// Copies into fixed-size text buffers. Every copy of outside text (a title, a setting, a path) into
// a buffer goes through here, so none can run past its buffer.
#pragma once

#include <cstddef>

// Copies `source` into `destination` of `capacity` bytes, cut to capacity - 1 characters; always
// terminates when capacity > 0. Returns true when nothing was cut.
bool copyBounded(char* destination, size_t capacity, const char* source);

// Appends `source` to the text already in `destination`, under the same rule.
bool appendBounded(char* destination, size_t capacity, const char* source);
