// Clicks through the setup program's pages, or the uninstaller's, as an operator would (under
// Xvfb and Wine): prints the texts of every page and message box it meets, checks that every label
// shows its whole text, and saves a picture of each when given a folder for them (the pictures in
// docs/, which scripts/screenshot-installer.sh makes).
//   installer_pages install <setup.exe> <player folder> [<picture folder>]
//   installer_pages uninstall <uninstall.exe> [<picture folder>]
//   installer_pages cancel-uninstall <uninstall.exe> <its folder>
// The install goes through the welcome page, the licence, the folder page (<player folder> typed
// in, and a look at Browse's folder chooser), a message box if one comes (answered Yes, else OK)
// and the finish page (with the read-me left unshown). The uninstall goes through its confirmation
// and its finish page; cancel-uninstall runs it in place and presses Cancel on its confirmation
// page, and counts as through when it then exits with 1. Each page is reported as "page <name>:",
// each message box as "message box <name>:", the folder chooser as "dialog <name>:", each label
// as "  text: ..." or "  CUT (needs N px, has M): ...".
// Exits 0 when the walk went through, the program exited as it should (0; 1 when cancelled) and no
// text was cut; 1 otherwise; 2 for wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "label_fit.h"
#include "support/dialog_driver.h"
#include "support/test_files.h"
#include "support/window_picture.h"

namespace {

using support::kDeadlineMs;

// The setup program's buttons and the folder page's controls, as NSIS numbers them.
constexpr int kNextButton = 1; // Next, I Agree, Install, Uninstall, Finish
constexpr int kCancelButton = 2;
constexpr int kFolderField = 1019;
constexpr int kBrowseButton = 1001;

struct Walk {
    const char* pictureFolder = nullptr;
    DWORD settleMs = 300; // lets a page finish setting its texts (and painting, for a picture)
    bool failed = false;
};

// The page shown in the setup window; while pages change, the old one may linger a moment.
HWND pageOf(HWND window, int control = 0) {
    for (HWND page = FindWindowExA(window, nullptr, "#32770", nullptr); page != nullptr;
         page = FindWindowExA(window, page, "#32770", nullptr))
        if (IsWindowVisible(page) && (control == 0 || GetDlgItem(page, control) != nullptr))
            return page;
    return nullptr;
}

// The program's main window: a visible dialog captioned "... <suffix>" that holds a page (message
// boxes carry the same caption but no page). `process` 0 accepts any process.
struct Search {
    const char* suffix;
    DWORD process;
    HWND found;
};

BOOL CALLBACK matchMainWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    size_t length = std::strlen(caption);
    while (length > 0 && caption[length - 1] == ' ') // some pages' captions end in a blank
        caption[--length] = '\0';
    const size_t suffixLength = std::strlen(search->suffix);
    if ((search->process == 0 || owner == search->process) && IsWindowVisible(window) &&
        length > suffixLength && std::strcmp(caption + length - suffixLength, search->suffix) == 0 &&
        pageOf(window) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForMainWindow(const char* suffix, DWORD process) {
    Search search = {suffix, process, nullptr};
    support::waitFor([&] {
        EnumWindows(matchMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

void pressButton(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// Prints what `window` shows, checks its labels and saves its picture as <name>.bmp.
void examine(HWND window, installer_test::WindowKind kind, const char* name, Walk& walk) {
    using installer_test::WindowKind;
    Sleep(walk.settleMs);
    std::printf("%s %s:\n",
                kind == WindowKind::SetupWindow  ? "page"
                : kind == WindowKind::MessageBox ? "message box"
                                                 : "dialog",
                name);
    for (const installer_test::Label& label : installer_test::visibleLabels(window, kind)) {
        if (label.fits) {
            std::printf("  text: %s\n", label.text.c_str());
        } else {
            std::printf("  CUT (needs %d px, has %d): %s\n", label.neededPixels, label.boxPixels,
                        label.text.c_str());
            walk.failed = true;
        }
    }
    if (walk.pictureFolder != nullptr) {
        const std::string path = std::string(walk.pictureFolder) + "\\" + name + ".bmp";
        if (!support::writeBitmap(window, path.c_str())) {
            std::printf("  could not save %s\n", path.c_str());
            walk.failed = true;
        }
    }
    std::fflush(stdout);
}

// Answers a message box: Yes when it asks, else OK or Cancel.
void answer(HWND box) {
    const int id = GetDlgItem(box, IDYES) != nullptr  ? IDYES
                   : GetDlgItem(box, IDOK) != nullptr ? IDOK
                                                      : IDCANCEL;
    pressButton(box, id);
    support::waitFor([&] { return !IsWindow(box); });
}

// Waits until the page whose main button reads `button` shows, examining and answering every
// message box met on the way; false when it does not show in time or the program ends first.
bool reachPage(HWND window, const char* button, const char* boxPrefix, int& boxes, Walk& walk) {
    bool reached = false;
    const bool timedOut = !support::waitFor([&] {
        if (!IsWindow(window))
            return true;
        if (HWND box = support::ownedDialog(window)) {
            const std::string name = std::string(boxPrefix) + std::to_string(++boxes);
            examine(box, installer_test::WindowKind::MessageBox, name.c_str(), walk);
            answer(box);
            return false;
        }
        char text[64] = "";
        HWND next = GetDlgItem(window, kNextButton);
        GetWindowTextA(next, text, sizeof text);
        reached = std::strcmp(text, button) == 0 && IsWindowEnabled(next) && pageOf(window) != nullptr;
        return reached;
    });
    if (!reached)
        std::printf("the page with the button \"%s\" did not show%s\n", button, timedOut ? " in time" : "");
    return reached;
}

// Leaves the read-me unshown (no editor opens) and presses Finish.
void finish(HWND window) {
    HWND page = pageOf(window);
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
            support::className(child) == "Button")
            SendMessageA(child, BM_SETCHECK, BST_UNCHECKED, 0);
    pressButton(window, kNextButton);
}

// Waits for `process` to end and returns its exit status, 1 when it does not end in time.
DWORD waitForExit(HANDLE process) {
    DWORD status = 1;
    if (WaitForSingleObject(process, kDeadlineMs) != WAIT_OBJECT_0) {
        std::printf("the program did not end in time\n");
        TerminateProcess(process, 1);
    } else {
        GetExitCodeProcess(process, &status);
    }
    return status;
}

// Starts `program` with `arguments` (may be empty) after its quoted name; null when it cannot.
HANDLE start(const char* program, const char* arguments = "") {
    char commandLine[2 * MAX_PATH + 8];
    const int length = std::snprintf(commandLine, sizeof commandLine, "\"%s\" %s", program, arguments);
    if (length < 0 || length >= static_cast<int>(sizeof commandLine)) {
        std::printf("the command line for %s is too long\n", program);
        return nullptr;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        std::printf("cannot start %s (error %lu)\n", program, GetLastError());
        return nullptr;
    }
    CloseHandle(started.hThread);
    return started.hProcess;
}

bool walkInstall(const char* setupPath, const char* folder, Walk& walk) {
    HANDLE setup = start(setupPath);
    if (setup == nullptr)
        return false;
    HWND window = waitForMainWindow(" Setup", GetProcessId(setup));
    bool through = window != nullptr;
    int boxes = 0;
    if (through && (through = reachPage(window, "&Next >", "installer-box-", boxes, walk))) {
        examine(window, installer_test::WindowKind::SetupWindow, "installer-1-welcome", walk);
        pressButton(window, kNextButton);
    }
    if (through && (through = reachPage(window, "I &Agree", "installer-box-", boxes, walk))) {
        examine(window, installer_test::WindowKind::SetupWindow, "installer-2-licence", walk);
        pressButton(window, kNextButton);
    }
    if (through && (through = reachPage(window, "&Install", "installer-box-", boxes, walk))) {
        HWND page = nullptr;
        support::waitFor([&] { return (page = pageOf(window, kFolderField)) != nullptr; });
        support::setWindowText(GetDlgItem(page, kFolderField), folder);
        examine(window, installer_test::WindowKind::SetupWindow, "installer-3-folder", walk);
        pressButton(page, kBrowseButton);
        HWND chooser = support::waitForOwnedDialog(window);
        if (chooser == nullptr) {
            std::printf("Browse opened no folder chooser\n");
            through = false;
        } else {
            examine(chooser, installer_test::WindowKind::Dialog, "installer-4-browse", walk);
            pressButton(chooser, IDCANCEL);
            support::waitFor([&] { return !IsWindow(chooser); });
            pressButton(window, kNextButton);
        }
    }
    if (through && (through = reachPage(window, "&Finish", "installer-5-box-", boxes, walk))) {
        examine(window, installer_test::WindowKind::SetupWindow, "installer-6-finish", walk);
        finish(window);
    }
    if (!through && window != nullptr)
        support::DialogDriver{window}.closeEverything();
    const DWORD status = waitForExit(setup);
    CloseHandle(setup);
    std::printf("setup exit status %lu\n", status);
    return through && status == 0;
}

bool walkUninstall(const char* uninstallerPath, Walk& walk) {
    // The uninstaller runs on from a copy of itself in the temporary folder: its window belongs
    // to that copy's process.
    HANDLE launcher = start(uninstallerPath);
    if (launcher == nullptr)
        return false;
    CloseHandle(launcher);
    HWND window = waitForMainWindow(" Uninstall", 0);
    if (window == nullptr) {
        std::printf("the uninstaller's window did not show\n");
        return false;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE uninstaller = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    int boxes = 0;
    bool through = reachPage(window, "&Uninstall", "uninstaller-box-", boxes, walk);
    if (through) {
        examine(window, installer_test::WindowKind::SetupWindow, "uninstaller-1-confirm", walk);
        pressButton(window, kNextButton);
        through = reachPage(window, "&Finish", "uninstaller-box-", boxes, walk);
    }
    if (through) {
        examine(window, installer_test::WindowKind::SetupWindow, "uninstaller-2-finish", walk);
        pressButton(window, kNextButton);
    } else {
        support::DialogDriver{window}.closeEverything();
    }
    DWORD status = 1;
    if (uninstaller != nullptr) {
        status = waitForExit(uninstaller);
        CloseHandle(uninstaller);
    }
    std::printf("uninstaller exit status %lu\n", status);
    return through && status == 0;
}

// Runs the uninstaller in place (_?=<its folder>, so that its exit status is its own), waits for
// its confirmation page and presses Cancel, as an operator who changes his mind. True when it then
// exits with status 1.
bool cancelUninstall(const char* uninstallerPath, const char* folder, Walk& walk) {
    char arguments[MAX_PATH + 4];
    std::snprintf(arguments, sizeof arguments, "_?=%s", folder);
    HANDLE uninstaller = start(uninstallerPath, arguments);
    if (uninstaller == nullptr)
        return false;
    HWND window = waitForMainWindow(" Uninstall", GetProcessId(uninstaller));
    int boxes = 0;
    const bool shown = window != nullptr && reachPage(window, "&Uninstall", "uninstaller-box-", boxes, walk);
    if (shown) {
        examine(window, installer_test::WindowKind::SetupWindow, "uninstaller-1-confirm", walk);
        pressButton(window, kCancelButton);
    } else if (window != nullptr) {
        support::DialogDriver{window}.closeEverything();
    }
    const DWORD status = waitForExit(uninstaller);
    CloseHandle(uninstaller);
    std::printf("uninstaller exit status %lu\n", status);
    return shown && status == 1;
}

} // namespace

int main(int argc, char** argv) {
    Walk walk;
    const bool install = argc >= 4 && argc <= 5 && std::strcmp(argv[1], "install") == 0;
    const bool uninstall = argc >= 3 && argc <= 4 && std::strcmp(argv[1], "uninstall") == 0;
    const bool cancel = argc == 4 && std::strcmp(argv[1], "cancel-uninstall") == 0;
    if (!install && !uninstall && !cancel) {
        std::fprintf(stderr, "usage: installer_pages install <setup.exe> <player folder> [<picture folder>]\n"
                             "       installer_pages uninstall <uninstall.exe> [<picture folder>]\n"
                             "       installer_pages cancel-uninstall <uninstall.exe> <its folder>\n");
        return 2;
    }
    if (cancel) {
        const bool cancelled = cancelUninstall(argv[2], argv[3], walk);
        std::fflush(stdout);
        return cancelled && !walk.failed ? 0 : 1;
    }
    const int pictureArgument = install ? 4 : 3;
    if (argc > pictureArgument) {
        walk.pictureFolder = argv[pictureArgument];
        walk.settleMs = 1500; // a plain pause lets each page paint before its picture
    }
    const bool through = install ? walkInstall(argv[2], argv[3], walk) : walkUninstall(argv[2], walk);
    std::fflush(stdout);
    return through && !walk.failed ? 0 : 1;
}
