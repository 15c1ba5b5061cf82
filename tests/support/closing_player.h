// The player closing while the plug-in's configuration dialog is open: the dialog's message loop
// dispatches the player's own messages, and the player's handler of one of them (its close button,
// the end of a Windows session) calls the plug-in's shutDown from inside the dialog.
#pragma once

#include <windows.h>

#include <cstdint>

namespace support {

// What closePlayerDuringDialog saw.
struct ClosedDuringDialog {
    int32_t shutDowns;    // close requests the player's window handled: 1 when all went well
    bool endedByShutDown; // the dialog was hidden (ended) when shutDown returned, before any click
    bool closed;          // the dialog went away, with no Cancel or Escape pressed
};

// Calls `configure` on this thread, as the host would. From a second thread it types new values
// into the dialog (a file name, 7 and 5 in the two limits' fields) and posts the player's window
// a close request. The window's handler calls `shutDown`, then presses Apply and OK in the dialog
// at once, before the dialog's loop looks at anything again: the operator's clicks of that moment.
// `playerWindow` must belong to this thread; it is subclassed only for the call.
ClosedDuringDialog closePlayerDuringDialog(HWND playerWindow, void (*configure)(), void (*shutDown)());

} // namespace support
