// The configuration dialog's procedure and the copies between its controls and the live settings.
// It keeps no record of its own: between opening and OK or Apply the edited values live only in
// the controls.
#include "ui/config_dialog.h"

#include <commdlg.h>

#include <cstddef>

#include "common/plugin_identity.h"
#include "common/plugin_state.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "ui/dialog_ids.h"
#include "ui/number_field.h"

namespace {

constexpr int32_t kVersionLineCapacity = 128;
constexpr int32_t kNumberTextCapacity = 12; // "-2147483648" and its terminator
constexpr int32_t kLimitMinimum = 0;
constexpr int32_t kLimitMaximum = 1000; // the title history holds no more

// The record size without the three members added in Windows 2000, which every version of the
// chooser accepts.
constexpr DWORD kChooserRecordSize = 76;
static_assert(offsetof(OPENFILENAMEA, pvReserved) == kChooserRecordSize,
              "the three trailing members start at 76");

// One filter pair; the literal's own terminator closes the list.
constexpr char kChooserFilter[] = "HTML files\0*.htm;*.html\0";

// The chooser's options: ask before replacing a file, refuse a name in a folder that does not
// exist (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST).
constexpr DWORD kChooserFlags = 0x802;
static_assert(kChooserFlags == (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST), "the chooser's two options");

// The exit code of the quit that endConfigDialog posts to end an open chooser; a quit of the host's
// own carries its own code and is left for the host.
constexpr WPARAM kChooserQuitCode = 0x5342;

// The dialog's thread only. `dialogRunning` from the call of runConfigDialog to its return;
// `liveDialog` is the dialog whose commands still act on the settings: set when it opens, cleared
// when endConfigDialog ends it early, so that nothing it receives afterwards (an OK already on its
// way, a command answered while the caller waits for the worker) touches the settings again.
// `chooserOpen` while the Save As chooser runs; `chooserQuitPosted` once endConfigDialog has posted
// the quit that ends it.
bool dialogRunning = false;
HWND liveDialog = nullptr;
bool chooserOpen = false;
bool chooserQuitPosted = false;

// Whether a quit is waiting in this thread's queue. Looks at posted messages only, so that it
// answers no message sent meanwhile.
bool quitWaiting(MSG* quit) {
    return PeekMessageA(quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE | PM_QS_POSTMESSAGE) != FALSE;
}

// Copies control `id`'s text into `buffer`: at most capacity - 1 characters and a terminator.
void getItemText(HWND dialog, int id, char* buffer, int32_t capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = '\0'; // a missing control reads as empty
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, static_cast<WPARAM>(capacity),
                 reinterpret_cast<LPARAM>(buffer));
}

// Sets control `id`'s text to `text`.
void setItemText(HWND dialog, int id, const char* text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The value of number field `id` in [minimum, maximum]; any text gives one.
int32_t readNumberField(HWND dialog, int id, int32_t minimum, int32_t maximum) {
    char text[ui::kNumberFieldCapacity];
    getItemText(dialog, id, text, sizeof text);
    return ui::numberFieldValue(text, minimum, maximum);
}

// Shows `value` in signed decimal in field `id`.
void writeNumberField(HWND dialog, int id, int32_t value) {
    char text[kNumberTextCapacity];
    wsprintfA(text, "%d", static_cast<int>(value));
    setItemText(dialog, id, text);
}

// Shows the plug-in's name and version in place of the template's text.
void showVersionLine(HWND dialog) {
    char line[kVersionLineCapacity];
    wsprintfA(line, "%s %s", kPluginName, kPluginVersion); // our own constants only
    setItemText(dialog, IDC_VERSION, line);
}

// Shows the output file name and the three limits as held, unclamped.
void fillControls(HWND dialog) {
    const PluginSettings& live = pluginState.settings;
    settings::TextSettings texts;
    settings::copyTexts(&texts); // a copy, so that the lock is not held while the field is set
    setItemText(dialog, IDC_OUTPUT_FILENAME, texts.OutputFilename);
    writeNumberField(dialog, IDC_HISTORY_LENGTH, live.RecentTitleListLength);
    writeNumberField(dialog, IDC_ARTIST_LIMIT, live.SameArtistCheckLimit);
    writeNumberField(dialog, IDC_TITLE_LIMIT, live.SameTitleCheckLimit);
}

// Stores the four fields in the live settings: the file name under the settings lock, the limits
// clamped to 0..1000.
void readControls(HWND dialog) {
    PluginSettings& live = pluginState.settings;
    // Read into a local buffer first: the worker may be copying the name, and the lock is never
    // held across a window message.
    char outputFilename[kOutputFilenameCapacity];
    getItemText(dialog, IDC_OUTPUT_FILENAME, outputFilename, sizeof outputFilename);
    settings::storeOutputFilename(outputFilename);
    live.RecentTitleListLength = readNumberField(dialog, IDC_HISTORY_LENGTH, kLimitMinimum, kLimitMaximum);
    live.SameArtistCheckLimit = readNumberField(dialog, IDC_ARTIST_LIMIT, kLimitMinimum, kLimitMaximum);
    live.SameTitleCheckLimit = readNumberField(dialog, IDC_TITLE_LIMIT, kLimitMinimum, kLimitMaximum);
}

// Runs the Save As chooser, starting from an empty name; a confirmed name goes into the output
// file field (not yet into the settings). A cancelled, failed or early-ended chooser changes
// nothing.
void chooseOutputFile(HWND dialog) {
    char fileName[kOutputFilenameCapacity] = ""; // the chooser starts empty, not from the current name
    OPENFILENAMEA chooser = {};
    chooser.lStructSize = kChooserRecordSize;
    chooser.hwndOwner = dialog;
    chooser.lpstrFilter = kChooserFilter;
    chooser.nFilterIndex = 0;
    chooser.lpstrFile = fileName;
    chooser.nMaxFile = sizeof fileName;
    chooser.lpstrTitle = nullptr; // the platform's own caption
    chooser.lpstrInitialDir = nullptr;
    chooser.Flags = kChooserFlags;
    chooser.lpstrDefExt = "htm";
    chooserOpen = true;
    const BOOL chosen = GetSaveFileNameA(&chooser);
    chooserOpen = false;
    if (chooserQuitPosted) {
        // Every modal loop inside the chooser passed the quit on to the next one out; it stops
        // here, so that the dialog's loop ends as EndDialog asked and the host's loop goes on.
        chooserQuitPosted = false;
        MSG quit;
        if (quitWaiting(&quit) && quit.wParam == kChooserQuitCode)
            PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE | PM_QS_POSTMESSAGE);
    }
    if (chosen && dialog == liveDialog)
        setItemText(dialog, IDC_OUTPUT_FILENAME, fileName);
}

// The dialog's procedure: version line and fields on WM_INITDIALOG; OK, Apply, Cancel and
// "&Select..." on WM_COMMAND, unless the dialog was ended early. Returns FALSE for every message,
// so the platform does the rest.
INT_PTR CALLBACK configDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        liveDialog = dialog;
        showVersionLine(dialog);
        fillControls(dialog);
    } else if (message == WM_COMMAND && dialog == liveDialog) {
        switch (LOWORD(wParam)) {
        case IDOK:
            readControls(dialog);
            fillControls(dialog);
            settings::save();
            EndDialog(dialog, 0);
            break;
        case IDC_APPLY:
            readControls(dialog);
            fillControls(dialog);
            settings::save();
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_SELECT:
            chooseOutputFile(dialog);
            break;
        default:
            break;
        }
    }
    return FALSE;
}

} // namespace

namespace ui {

void runConfigDialog(HINSTANCE moduleInstance, HWND owner) {
    if (dialogRunning)
        return;
    dialogRunning = true;
    DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_CONFIG), owner, configDialogProc, 0);
    liveDialog = nullptr;
    dialogRunning = false;
}

void endConfigDialog() {
    HWND dialog = liveDialog;
    if (dialog == nullptr)
        return;
    liveDialog = nullptr; // from here on its commands do nothing
    // A chooser runs its own modal loop inside the dialog's, and its "replace the file?" question
    // one inside the chooser's. Which buttons that question has, and where, is the platform's
    // affair (an ordinary message box in older choosers, the chooser's own dialog in newer ones),
    // but every modal loop ends on a quit and posts it again for the loop around it: so a quit
    // ends the question, unanswered, and the chooser with it. A quit already waiting (the host's)
    // does the same and is left alone.
    MSG quit;
    if (chooserOpen && !quitWaiting(&quit)) {
        PostQuitMessage(static_cast<int>(kChooserQuitCode));
        chooserQuitPosted = true;
    }
    EndDialog(dialog, 0);
}

} // namespace ui
