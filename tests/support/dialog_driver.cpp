#include "support/dialog_driver.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace support {

namespace {

// Control ids of the file choosers (the platform's dlgs.h values).
constexpr int kChooserNameEdit = 0x480;  // edt1
constexpr int kChooserNameCombo = 0x47c; // cmb13

BOOL CALLBACK findEdit(HWND window, LPARAM found) {
    if (className(window) != "Edit")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// A visible control with id `*found` anywhere inside the window enumerated; returns it in `*found`.
BOOL CALLBACK findControlById(HWND window, LPARAM found) {
    auto* wanted = reinterpret_cast<HWND*>(found);
    if (GetDlgCtrlID(window) != static_cast<int>(reinterpret_cast<INT_PTR>(*wanted)) ||
        !IsWindowVisible(window))
        return TRUE;
    *wanted = window;
    return FALSE;
}

// The visible control `id` at any depth of `window` (newer choosers nest their boxes), or null.
HWND findControl(HWND window, int id) {
    HWND found = reinterpret_cast<HWND>(static_cast<INT_PTR>(id));
    EnumChildWindows(window, findControlById, reinterpret_cast<LPARAM>(&found));
    return found == reinterpret_cast<HWND>(static_cast<INT_PTR>(id)) ? nullptr : found;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK findOwnedDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
        className(window) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findThreadDialog(HWND window, LPARAM found) {
    if (className(window) != "#32770")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

struct DriveRequest {
    const Script* script;
    DWORD dialogThread;
};

DWORD WINAPI driveDialog(void* param) {
    const DriveRequest& request = *static_cast<DriveRequest*>(param);
    DialogDriver driver;
    driver.dialog = waitForDialog(nullptr);
    if (driver.dialog == nullptr) {
        ADD_FAILURE() << "no dialog captioned \"" << kDialogCaption << "\" showed within the deadline";
        // Whatever dialog did open must still be ended, or the main thread would never return.
        EnumThreadWindows(request.dialogThread, findThreadDialog, reinterpret_cast<LPARAM>(&driver.dialog));
        if (driver.dialog == nullptr)
            return 1;
    } else {
        (*request.script)(driver);
    }
    driver.closeEverything();
    return 0;
}

} // namespace

std::string className(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window) {
    char text[4096] = "";
    DWORD_PTR length = 0;
    if (window == nullptr ||
        !SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                             kDeadlineMs, &length))
        return "<no answer>";
    return text;
}

bool setWindowText(HWND window, const std::string& text) {
    DWORD_PTR result = 0;
    return window != nullptr &&
           SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                               kDeadlineMs, &result) != 0;
}

HWND chooserNameBox(HWND chooser) {
    HWND edit = findControl(chooser, kChooserNameEdit);
    if (edit != nullptr)
        return edit;
    HWND combo = findControl(chooser, kChooserNameCombo);
    if (combo != nullptr)
        EnumChildWindows(combo, findEdit, reinterpret_cast<LPARAM>(&edit));
    return edit;
}

HWND ownedDialog(HWND owner) {
    OwnedSearch search{owner, nullptr};
    EnumWindows(findOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForOwnedDialog(HWND owner) {
    HWND found = nullptr;
    waitFor([&] { return (found = ownedDialog(owner)) != nullptr || !IsWindow(owner); });
    return found;
}

std::string DialogDriver::field(int id) const {
    return windowText(GetDlgItem(dialog, id));
}

bool DialogDriver::type(int id, const std::string& text) const {
    return setWindowText(GetDlgItem(dialog, id), text);
}

bool DialogDriver::press(int id) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, kDeadlineMs,
                               &result) != 0;
}

bool DialogDriver::click(int id) const {
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))) != 0;
}

bool DialogDriver::isOpen() const {
    return IsWindow(dialog) && IsWindowVisible(dialog);
}

bool DialogDriver::waitClosed() const {
    return waitFor([&] { return !IsWindow(dialog); });
}

void DialogDriver::closeEverything() const {
    const bool closed = waitFor([&] {
        if (!IsWindow(dialog))
            return true;
        HWND top = dialog;
        for (HWND owned = ownedDialog(top); owned != nullptr; owned = ownedDialog(top))
            top = owned;
        if (top == dialog)
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        else // a chooser or a message box, which may have no Cancel button
            for (int id : {IDCANCEL, IDNO, IDOK})
                PostMessageA(top, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        Sleep(100);
        return false;
    });
    if (!closed) {
        std::fprintf(stderr, "the dialog would not close; giving up on the whole run\n");
        std::fflush(stderr);
        ExitProcess(3);
    }
}

HWND waitForDialog(HWND previous, const std::function<bool()>& giveUp) {
    HWND dialog = nullptr;
    const bool shown = waitFor([&] {
        dialog = FindWindowA("#32770", kDialogCaption);
        if (dialog != nullptr && dialog != previous && IsWindowVisible(dialog))
            return true;
        dialog = nullptr;
        return giveUp && giveUp();
    });
    return shown ? dialog : nullptr;
}

void runDrivenBy(const std::function<void()>& open, const Script& script) {
    DriveRequest request{&script, GetCurrentThreadId()};
    HANDLE driver = CreateThread(nullptr, 0, driveDialog, &request, 0, nullptr);
    ASSERT_NE(driver, nullptr);
    open();
    // The driver may still be checking what the dialog left behind; keep this thread's messages moving.
    const ULONGLONG deadline = GetTickCount64() + 2 * kDeadlineMs;
    bool ended = false;
    while (!ended && GetTickCount64() < deadline) {
        ended = MsgWaitForMultipleObjects(1, &driver, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    CloseHandle(driver);
    ASSERT_TRUE(ended) << "the driving thread did not finish";
}

} // namespace support
