#include "ui/config_dialog.h"

namespace ui {

void runConfigDialog(HINSTANCE, HWND) {}

INT_PTR CALLBACK configDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

} // namespace ui
