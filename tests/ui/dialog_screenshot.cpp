// Shows the configuration dialog with the default settings and saves a picture of it as a 24-bit
// BMP, for the README (scripts/screenshot-dialog.sh turns it into docs/dialog.png). A tool, not a
// test: run it under Xvfb and Wine with the output path as its one argument.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "common/memory.h"
#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "support/test_files.h"
#include "ui/config_dialog.h"

namespace {

using support::kDeadlineMs;
const char* outputPath = nullptr;
int exitCode = 1;

bool writeBitmap(HWND window, const char* path) {
    RECT frame;
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as a BMP file stores it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap == nullptr)
        return false;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // From the screen, as shown: the dialog sits on top of an otherwise empty desktop.
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageBytes;
    info.bmiHeader.biSizeImage = imageBytes;
    bool written = false;
    if (FILE* file = std::fopen(path, "wb")) {
        written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                  std::fwrite(pixels, 1, imageBytes, file) == imageBytes;
        written = std::fclose(file) == 0 && written;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return copied && written;
}

DWORD WINAPI capture(void*) {
    HWND dialog = nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kDeadlineMs; Sleep(10)) {
        dialog = FindWindowA("#32770", "Songbeacon Plug-In");
        if (dialog != nullptr && IsWindowVisible(dialog))
            break;
        dialog = nullptr;
    }
    if (dialog == nullptr) {
        std::fprintf(stderr, "the dialog did not show\n");
        return 1;
    }
    Sleep(1000); // let every control paint; a tool, so a plain pause will do
    exitCode = writeBitmap(dialog, outputPath) ? 0 : 1;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_screenshot <output.bmp>\n");
        return 2;
    }
    outputPath = argv[1];
    // No settings file: the dialog shows the defaults, as on a first start.
    pluginState.iniPath = static_cast<char*>(memory::allocate(kIniPathCapacity));
    if (pluginState.iniPath == nullptr || !settings::allocateTextBuffers())
        return 1;
    pluginState.iniPath[0] = '\0';
    settings::load();
    HANDLE thread = CreateThread(nullptr, 0, capture, nullptr, 0, nullptr);
    if (thread == nullptr)
        return 1;
    ui::runConfigDialog(GetModuleHandleA(nullptr), nullptr);
    WaitForSingleObject(thread, kDeadlineMs);
    CloseHandle(thread);
    return exitCode;
}
