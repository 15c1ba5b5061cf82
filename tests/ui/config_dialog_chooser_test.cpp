// The configuration dialog's Save As chooser, driven as a user would drive it: opened from the
// dialog, a name chosen or cancelled, the question before replacing a file answered, and the
// chooser ended with the dialog when the player shuts down. As in the dialog's other tests, every
// wait has a deadline and the driving thread closes what it opened.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/plugin_state.h"
#include "support/dialog_driver.h"
#include "ui/config_dialog.h"
#include "ui/config_dialog_fixture.h"
#include "ui/dialog_ids.h"

namespace {

using support::chooserNameBox;
using support::DialogDriver;
using support::setWindowText;
using support::waitFor;
using support::waitForOwnedDialog;
using support::windowText;

// Answers a question box with button `id`, as a click would: the command for a message box, and
// the task dialog's own click for a question asked by a newer chooser, whose buttons are not its
// children. Each kind ignores the other's message.
void answer(HWND question, int id) {
    constexpr UINT kTaskDialogClickButton = WM_USER + 102; // TDM_CLICK_BUTTON
    if (GetDlgItem(question, id) == nullptr)
        PostMessageA(question, kTaskDialogClickButton, static_cast<WPARAM>(id), 0);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

TEST_F(ConfigDialogTest, SelectOpensAnEmptyChooserAndCancellingItChangesNothing) {
    loadSettingsFile(kUsualSettings);
    runDialogDrivenBy([&](DialogDriver& dialog) {
        ASSERT_TRUE(dialog.click(IDC_SELECT));
        HWND chooser = waitForOwnedDialog(dialog.dialog);
        ASSERT_NE(chooser, nullptr) << "no chooser owned by the dialog";
        EXPECT_EQ(windowText(chooser), "Save As");
        HWND nameBox = chooserNameBox(chooser);
        ASSERT_NE(nameBox, nullptr);
        EXPECT_EQ(windowText(nameBox), "") << "the chooser starts from the current name";
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));
        EXPECT_TRUE(dialog.isOpen());
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), "C:\\pages\\now.htm");
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(liveOutputFilename(), "C:\\pages\\now.htm");
    EXPECT_EQ(fileText("OutputFilename"), "C:\\pages\\now.htm");
}

struct ChooserTest : ConfigDialogTest {
    // Presses "&Select...", enters `typed` as the file name and confirms it. Returns the chooser
    // (still open when the platform objected) or null when it never showed.
    static HWND chooseName(DialogDriver& dialog, const std::string& typed) {
        if (!dialog.click(IDC_SELECT))
            return nullptr;
        HWND chooser = waitForOwnedDialog(dialog.dialog);
        if (chooser == nullptr || !setWindowText(chooserNameBox(chooser), typed))
            return nullptr;
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return chooser;
    }
};

TEST_F(ChooserTest, AChosenNameReachesTheFieldAndIsStoredOnlyByOk) {
    loadSettingsFile(kUsualSettings);
    const std::string chosen = folder + "\\chosen.htm";
    // A name without extension gets "htm"; then Cancel leaves the setting alone.
    runDialogDrivenBy([&](DialogDriver& dialog) {
        HWND chooser = chooseName(dialog, folder + "\\chosen");
        ASSERT_NE(chooser, nullptr);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), chosen);
        EXPECT_EQ(liveOutputFilename(), "C:\\pages\\now.htm");
        ASSERT_TRUE(dialog.press(IDCANCEL));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(liveOutputFilename(), "C:\\pages\\now.htm");
    EXPECT_EQ(fileText("OutputFilename"), "C:\\pages\\now.htm");

    // The same choice, then OK: stored and saved.
    runDialogDrivenBy([&](DialogDriver& dialog) {
        HWND chooser = chooseName(dialog, folder + "\\chosen");
        ASSERT_NE(chooser, nullptr);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), chosen);
        ASSERT_TRUE(dialog.press(IDOK));
        EXPECT_TRUE(dialog.waitClosed());
    });
    EXPECT_EQ(liveOutputFilename(), chosen);
    EXPECT_EQ(fileText("OutputFilename"), chosen);
}

TEST_F(ChooserTest, AsksBeforeReplacingAFileAndRefusesAMissingFolder) {
    loadSettingsFile(kUsualSettings);
    const std::string existing = folder + "\\existing.htm";
    support::writeFile(existing, "");
    runDialogDrivenBy([&](DialogDriver& dialog) {
        // A folder that does not exist: the platform says so and the chooser stays open.
        HWND chooser = chooseName(dialog, folder + "\\no such folder\\page.htm");
        ASSERT_NE(chooser, nullptr);
        HWND complaint = waitForOwnedDialog(chooser);
        ASSERT_NE(complaint, nullptr) << "a name in a missing folder was accepted";
        answer(complaint, IDOK);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(complaint); }));
        EXPECT_TRUE(IsWindow(chooser));

        // An existing file: the platform asks first; yes accepts it.
        ASSERT_TRUE(setWindowText(chooserNameBox(chooser), existing));
        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        HWND question = waitForOwnedDialog(chooser);
        ASSERT_NE(question, nullptr) << "an existing file was replaced without asking";
        answer(question, IDYES);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));
        EXPECT_EQ(dialog.field(IDC_OUTPUT_FILENAME), existing);
        ASSERT_TRUE(dialog.press(IDCANCEL));
        EXPECT_TRUE(dialog.waitClosed());
    });
}

// A window on the dialog's thread whose handlers of posted requests end the dialog early, as the
// plug-in's shut-down does when the player closes from inside the dialog's loop (wParam 1: after
// the host has posted its own quit), or open a question box owned by the window in wParam.
constexpr UINT kEndRequest = WM_APP + 16;
constexpr UINT kAskRequest = WM_APP + 17;
constexpr int kHostQuitCode = 7;

// A question as newer choosers ask it: Yes and No inside a pane of their own, so that
// GetDlgItem(question, IDNO) finds nothing, and Cancel or Escape ignored. Only a click on a button
// (here its command) ends it.
INT_PTR CALLBACK nestedButtonsQuestion(HWND question, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND pane = CreateWindowA("Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 60, question, nullptr,
                                  nullptr, nullptr);
        CreateWindowA("Button", "&Yes", WS_CHILD | WS_VISIBLE, 10, 20, 80, 24, pane,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDYES)), nullptr, nullptr);
        CreateWindowA("Button", "&No", WS_CHILD | WS_VISIBLE, 100, 20, 80, 24, pane,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDNO)), nullptr, nullptr);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDYES || LOWORD(wParam) == IDNO))
        EndDialog(question, LOWORD(wParam));
    return FALSE;
}

LRESULT CALLBACK endDialogOnRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kAskRequest) {
        struct alignas(4) {
            DLGTEMPLATE head;
            WORD menu, windowClass, title;
        } question = {{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 0, 0, 140, 50}, 0, 0, 0};
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), &question.head, reinterpret_cast<HWND>(wParam),
                                nestedButtonsQuestion, 0);
        return 0;
    }
    if (message != kEndRequest)
        return DefWindowProcA(window, message, wParam, lParam);
    if (wParam == 1)
        PostQuitMessage(kHostQuitCode);
    ui::endConfigDialog();
    return 0;
}

enum class Question { kNone, kThePlatforms, kNestedButtons };
struct EarlyEnd {
    const char* what;
    Question question;
    bool hostQuits;
};

TEST_F(ChooserTest, EndingTheDialogEarlyCancelsAnOpenChooserAndStoresNothing) {
    loadSettingsFile(kUsualSettings);
    const std::string before = fileContents();
    const std::string existing = folder + "\\existing.htm";
    support::writeFile(existing, "");
    WNDCLASSA endClass = {};
    endClass.lpfnWndProc = endDialogOnRequest;
    endClass.hInstance = GetModuleHandleA(nullptr);
    endClass.lpszClassName = "SongbeaconEndRequest";
    RegisterClassA(&endClass);
    HWND ender = CreateWindowA(endClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(ender, nullptr);
    // The chooser alone; the chooser asking whether to replace an existing file, whatever shape the
    // platform gives that question (a message box with Yes and No but no Cancel, which ends only on
    // one of its own buttons, or the chooser's own dialog); a question whose buttons no GetDlgItem
    // finds; and the platform's question while the host has posted its own quit.
    const EarlyEnd cases[] = {{"the chooser open", Question::kNone, false},
                              {"the replace question open", Question::kThePlatforms, false},
                              {"a question with buttons out of reach", Question::kNestedButtons, false},
                              {"the replace question, the host quitting", Question::kThePlatforms, true}};
    for (const EarlyEnd& end : cases) {
        SCOPED_TRACE(end.what);
        MSG quit = {};
        bool quitLeft = false;
        support::runDrivenBy(
            [&] {
                ui::runConfigDialog(GetModuleHandleA(nullptr), nullptr);
                quitLeft = PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
            },
            [&](DialogDriver& dialog) {
                ASSERT_TRUE(dialog.type(IDC_HISTORY_LENGTH, "7"));
                ASSERT_TRUE(dialog.click(IDC_SELECT));
                HWND chooser = waitForOwnedDialog(dialog.dialog);
                ASSERT_NE(chooser, nullptr);
                const bool replacing = end.question == Question::kThePlatforms;
                ASSERT_TRUE(
                    setWindowText(chooserNameBox(chooser), replacing ? existing : folder + "\\chosen.htm"));
                HWND question = nullptr;
                if (end.question != Question::kNone) {
                    if (replacing)
                        PostMessageA(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    else
                        PostMessageA(ender, kAskRequest, reinterpret_cast<WPARAM>(chooser), 0);
                    question = waitForOwnedDialog(chooser);
                    ASSERT_NE(question, nullptr);
                }
                PostMessageA(ender, kEndRequest, end.hostQuits ? 1 : 0,
                             0); // dispatched by the innermost loop
                EXPECT_TRUE(dialog.waitClosed()) << "the chooser kept the dialog open";
                EXPECT_FALSE(IsWindow(chooser));
                EXPECT_FALSE(question != nullptr && IsWindow(question));
            });
        // The host's own quit reaches the host; the one that ended the chooser goes no further.
        EXPECT_EQ(quitLeft, end.hostQuits);
        if (quitLeft) {
            EXPECT_EQ(quit.wParam, static_cast<WPARAM>(kHostQuitCode));
        }
        EXPECT_EQ(pluginState.settings.RecentTitleListLength, 5000);
        EXPECT_EQ(liveOutputFilename(), "C:\\pages\\now.htm");
        EXPECT_EQ(fileContents(), before);
        EXPECT_EQ(support::readFile(existing), "");
    }
    DestroyWindow(ender);
}

} // namespace
