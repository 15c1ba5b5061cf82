// Starts the setup program, steps it to the page that asks for the player's folder, saves a
// picture of its window there as a 24-bit BMP and cancels it: the picture in docs/ that
// scripts/screenshot-installer.sh makes. A tool, not a test: run it under Xvfb and Wine.
//   installer_screenshot <setup.exe> <output.bmp>
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kDeadlineMs = 60000;
constexpr DWORD kPageSettleMs = 1500; // a tool: a plain pause lets each page paint
constexpr int kNextButton = 1;        // the setup program's Next / I Agree button
constexpr int kCancelButton = 2;

// The setup program's main window: a dialog whose caption ends in " Setup", owned by `process`.
struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK matchSetupWindow(HWND window, LPARAM context) {
    Search* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    const size_t length = std::strlen(caption);
    if (owner == search->process && IsWindowVisible(window) && length > 6 &&
        std::strcmp(caption + length - 6, " Setup") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for the setup program's window to show; null when it does not within the deadline.
HWND waitForSetupWindow(DWORD process) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < kDeadlineMs; Sleep(50)) {
        Search search = {process, nullptr};
        EnumWindows(matchSetupWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
    }
    return nullptr;
}

// Presses one of the setup program's buttons, as a click would.
void press(HWND window, int button) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    Sleep(kPageSettleMs);
}

// Copies `window` as shown on the screen into a 24-bit BMP file at `path`; true when written.
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
    bool written = false;
    if (bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        const bool copied = BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
        GdiFlush();
        const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42; // "BM"
        header.bfOffBits = sizeof header + sizeof info.bmiHeader;
        header.bfSize = header.bfOffBits + imageBytes;
        info.bmiHeader.biSizeImage = imageBytes;
        if (FILE* file = std::fopen(path, "wb")) {
            written = std::fwrite(&header, sizeof header, 1, file) == 1 &&
                      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, file) == 1 &&
                      std::fwrite(pixels, 1, imageBytes, file) == imageBytes;
            written = std::fclose(file) == 0 && written && copied;
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: installer_screenshot <setup.exe> <output.bmp>\n");
        return 2;
    }
    char commandLine[MAX_PATH + 3];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", argv[1]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION setup = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &setup)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    int status = 1;
    HWND window = waitForSetupWindow(setup.dwProcessId);
    if (window == nullptr) {
        std::fprintf(stderr, "the setup program's window did not show\n");
    } else {
        Sleep(kPageSettleMs);
        press(window, kNextButton); // welcome -> licence
        press(window, kNextButton); // licence: I Agree -> the player's folder
        status = writeBitmap(window, argv[2]) ? 0 : 1;
        press(window, kCancelButton);
    }
    if (WaitForSingleObject(setup.hProcess, kDeadlineMs) != WAIT_OBJECT_0) {
        TerminateProcess(setup.hProcess, 1);
        status = 1;
    }
    CloseHandle(setup.hThread);
    CloseHandle(setup.hProcess);
    return status;
}
