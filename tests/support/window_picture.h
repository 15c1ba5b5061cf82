// Pictures of windows for the guides in docs/: a window as shown on the screen, saved as a BMP file (the
// screenshot scripts turn it into PNG).
#pragma once

#include <windows.h>

namespace support {

// Copies `window` as shown on the screen into a 24-bit BMP file at `path`; true when written.
bool writeBitmap(HWND window, const char* path);

} // namespace support
