// Shows the configuration dialog with the default settings and saves a picture of it as a 24-bit
// BMP, for docs/installing.md (scripts/screenshot-dialog.sh turns it into docs/dialog.png). A tool, not a
// test: run it under Xvfb and Wine with the output path as its one argument.
#include <windows.h>

#include <cstdio>

#include "common/memory.h"
#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "support/test_files.h"
#include "support/window_picture.h"
#include "ui/config_dialog.h"

namespace {

using support::kDeadlineMs;
const char* outputPath = nullptr;
int exitCode = 1;

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
    exitCode = support::writeBitmap(dialog, outputPath) ? 0 : 1;
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
