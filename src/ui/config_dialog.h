// The plug-in's one dialog: the output file and the three numeric limits, with OK, Apply, Cancel.
// It runs on the host's thread while the worker goes on reading the settings it stores.
#pragma once

#include <windows.h>

namespace ui {

// Runs the dialog from template 102 of `moduleInstance`, modal and owned by `owner`; returns when
// it has ended. The caller has reloaded the settings just before. No message when it cannot open.
void runConfigDialog(HINSTANCE moduleInstance, HWND owner);

} // namespace ui
