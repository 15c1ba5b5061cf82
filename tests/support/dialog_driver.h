// The plug-in's configuration dialog driven as a user would drive it: the test's main thread runs
// the modal dialog while a second thread finds it by caption, types into its fields and presses its
// buttons. Every wait has a deadline and the driving thread always closes what it opened, so a
// fault fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "support/test_files.h"

namespace support {

constexpr char kDialogCaption[] = "Songbeacon Plug-In";

std::string className(HWND window);
std::string windowText(HWND window);
bool setWindowText(HWND window, const std::string& text);

// The file-name box of an Open or Save As chooser: without a hook or template the platform shows
// the Explorer-style chooser, where it is the edit inside the combo box cmb13 (newer choosers nest
// it deeper); the old style has edt1. Null when there is neither.
HWND chooserNameBox(HWND chooser);

// A visible top-level dialog (a chooser or a message box) owned by `owner`, or null.
HWND ownedDialog(HWND owner);
// Waits for ownedDialog(owner); null when the deadline passes or the owner closes first.
HWND waitForOwnedDialog(HWND owner);

// What the driving thread does with the open dialog. Helpers return false when the dialog does
// not answer in time, so a script can stop at the first failure.
struct DialogDriver {
    HWND dialog = nullptr;

    std::string field(int id) const;
    // Sets a control's text (WM_SETTEXT works on the read-only file field too).
    bool type(int id, const std::string& text) const;
    // Presses a button and returns once the dialog has handled it.
    bool press(int id) const;
    // Presses a button whose handling blocks (it opens a modal chooser), without waiting for it.
    bool click(int id) const;
    bool isOpen() const;
    bool waitClosed() const;
    // Ends whatever is still open, choosers and message boxes first, then the dialog; ends the
    // whole process when it cannot, so that a dialog that no longer answers fails the run.
    void closeEverything() const;
};

using Script = std::function<void(DialogDriver&)>;

// Waits for a visible configuration dialog other than `previous`; null when none shows in time
// or `giveUp` (when given) becomes true first.
HWND waitForDialog(HWND previous, const std::function<bool()>& giveUp = nullptr);

// Calls `open` on this thread (it runs the configuration dialog modally, as the host would) while
// `script` drives the dialog from a second thread; whatever is left open is closed afterwards.
void runDrivenBy(const std::function<void()>& open, const Script& script);

} // namespace support
