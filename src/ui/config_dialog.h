// The plug-in's one dialog: the output file and the three numeric limits, with OK, Apply, Cancel.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ui {

void runConfigDialog(HINSTANCE moduleInstance, HWND owner);
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace ui
