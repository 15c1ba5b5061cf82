// Starts the setup program, steps it to the page that asks for the player's folder, saves a
// picture of its window there as a 24-bit BMP and cancels it: the picture in docs/ that
// scripts/screenshot-installer.sh makes. A tool, not a test: run it under Xvfb and Wine.
//   installer_screenshot <setup.exe> <output.bmp>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "support/test_files.h"
#include "support/window_picture.h"

namespace {

using support::kDeadlineMs;
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
        status = support::writeBitmap(window, argv[2]) ? 0 : 1;
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
