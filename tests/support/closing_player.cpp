// The player's window, subclassed for one dialog: a posted close request shuts the plug-in down.
#include "support/closing_player.h"

#include "support/dialog_driver.h"

namespace support {

namespace {

constexpr UINT kCloseRequest = WM_APP + 15; // wParam: the dialog
constexpr int kApply = 1000;
constexpr int kOutputFilename = 1100, kHistoryLength = 1102, kArtistLimit = 1103;

// The test's thread only: the window procedure runs there.
WNDPROC playerProc = nullptr;
void (*closeWith)() = nullptr;
int32_t closeRequests = 0;
bool dialogEndedByShutDown = false;

LRESULT CALLBACK closingPlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kCloseRequest)
        return CallWindowProcA(playerProc, window, message, wParam, lParam);
    closeRequests++;
    closeWith();
    auto dialog = reinterpret_cast<HWND>(wParam);
    dialogEndedByShutDown = IsWindow(dialog) && !IsWindowVisible(dialog); // as EndDialog leaves it
    for (int button : {kApply, IDOK})
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    return 0;
}

} // namespace

ClosedDuringDialog closePlayerDuringDialog(HWND playerWindow, void (*configure)(), void (*shutDown)()) {
    closeWith = shutDown;
    closeRequests = 0;
    dialogEndedByShutDown = false;
    playerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(playerWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(closingPlayerProc)));
    bool closed = false;
    runDrivenBy(configure, [&](DialogDriver& driver) {
        closed = driver.type(kOutputFilename, "C:\\elsewhere\\page.htm") &&
                 driver.type(kHistoryLength, "7") && driver.type(kArtistLimit, "5") &&
                 PostMessageA(playerWindow, kCloseRequest, reinterpret_cast<WPARAM>(driver.dialog), 0) &&
                 driver.waitClosed();
    });
    SetWindowLongPtrA(playerWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(playerProc));
    return {closeRequests, dialogEndedByShutDown, closed};
}

} // namespace support
