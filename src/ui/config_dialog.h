// The plug-in's one dialog: the output file and the three numeric limits, with OK, Apply, Cancel.
// It runs on the host's thread while the worker goes on reading the settings it stores.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ui {

// Runs the dialog from template 102 of `moduleInstance`, modal and owned by `owner`; returns when
// it has ended. The caller has reloaded the settings just before. No message when it cannot open.
void runConfigDialog(HINSTANCE moduleInstance, HWND owner);

// The dialog's procedure: version line and fields on WM_INITDIALOG; OK, Apply, Cancel and
// "&Select..." on WM_COMMAND. Returns FALSE for every message, so the platform does the rest.
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the output file name and the three limits as held, unclamped.
void fillControls(HWND dialog);

// Stores the four fields in the live settings: the file name under the settings lock, the limits
// clamped to 0..1000.
void readControls(HWND dialog);

// Copies control `id`'s text into `buffer`: at most capacity - 1 characters and a terminator.
void getItemText(HWND dialog, int id, char* buffer, int32_t capacity);

// Sets control `id`'s text to `text`.
void setItemText(HWND dialog, int id, const char* text);

// The value of number field `id` in [minimum, maximum]; any text gives one.
int32_t readNumberField(HWND dialog, int id, int32_t minimum, int32_t maximum);

// Shows `value` in signed decimal in field `id`.
void writeNumberField(HWND dialog, int id, int32_t value);

// Runs the Save As chooser, starting from an empty name; a confirmed name goes into the output
// file field (not yet into the settings). A cancelled or failed chooser changes nothing.
void chooseOutputFile(HWND dialog);

} // namespace ui
