// The plug-in's one dialog: the output file and the three numeric limits, with OK, Apply, Cancel.
// It runs on the host's thread while the worker goes on reading the settings it stores.
#pragma once

#include <windows.h>

namespace ui {

// Runs the dialog from template 102 of `moduleInstance`, modal and owned by `owner`; returns when
// it has ended. The caller has reloaded the settings just before. No message when it cannot open.
// One dialog at a time: called again while one runs (from a message its loop dispatched), it
// returns at once.
void runConfigDialog(HINSTANCE moduleInstance, HWND owner);

// Ends the running dialog, if any, as Cancel, together with a Save As chooser it has open and the
// chooser's question whether to replace a file (left unanswered: nothing is replaced); from
// this call on it reads, stores and saves nothing, so the caller may free the settings at once.
// The dialog goes away, and runConfigDialog returns, when control is back in its message loop.
// For the host's shut-down, which can come from inside that loop. Call on the dialog's thread.
void endConfigDialog();

} // namespace ui
