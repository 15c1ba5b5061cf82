// Thin wrappers around the Windows calls the tool's front needs.
#include "tune/windows_shell.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <vector>

namespace {

constexpr DWORD kLongestPath = 32768;

bool isConsole(DWORD stdHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stdHandle), &mode) != 0;
}

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    wchar_t* known = nullptr;
    std::wstring folder;
    if (SHGetKnownFolderPath(id, 0, nullptr, &known) == S_OK)
        folder = known;
    CoTaskMemFree(known);
    return folder;
}

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring productFolder() {
    const std::wstring base = sim::localAppData();
    return base.empty() ? base : base + L"\\" SB_PRODUCT_NAME;
}

// The folder the Open dialog starts in: the one remembered, while it exists, else the user's own
// folder for music, documents or files.
std::wstring startingFolder() {
    const std::wstring product = productFolder();
    HANDLE file = product.empty()
                      ? INVALID_HANDLE_VALUE
                      : CreateFileW((product + L"\\" + sim::kRememberedFolderFile).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char utf8[4 * MAX_PATH];
        DWORD got = 0;
        const bool read = ReadFile(file, utf8, sizeof utf8, &got, nullptr) != 0;
        CloseHandle(file);
        wchar_t wide[4 * MAX_PATH];
        const int length =
            read ? MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(got), wide, 4 * MAX_PATH) : 0;
        const std::wstring remembered(wide, static_cast<size_t>(length > 0 ? length : 0));
        if (isFolder(remembered))
            return remembered;
    }
    for (REFKNOWNFOLDERID id : {FOLDERID_Music, FOLDERID_Documents, FOLDERID_Profile}) {
        const std::wstring folder = knownFolder(id);
        if (isFolder(folder))
            return folder;
    }
    return std::wstring();
}

// Remembers the folder of `playlist` for the next Open dialog; a folder that cannot be remembered
// only costs the operator a click.
void rememberFolderOf(const std::wstring& playlist) {
    const std::wstring product = productFolder();
    const size_t backslash = playlist.find_last_of(L"\\/");
    if (product.empty() || backslash == std::wstring::npos)
        return;
    const std::wstring folder = playlist.substr(0, backslash == 2 && playlist[1] == L':' ? 3 : backslash);
    char utf8[4 * MAX_PATH];
    const int length = WideCharToMultiByte(CP_UTF8, 0, folder.c_str(), static_cast<int>(folder.size()), utf8,
                                           sizeof utf8, nullptr, nullptr);
    CreateDirectoryW(product.c_str(), nullptr);
    HANDLE file = CreateFileW((product + L"\\" + sim::kRememberedFolderFile).c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    if (length > 0)
        WriteFile(file, utf8, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

int32_t bitsOf(DWORD_PTR mask) {
    int32_t bits = 0;
    for (; mask != 0; mask &= mask - 1)
        bits++;
    return bits;
}

} // namespace

namespace sim {

std::wstring localAppData() {
    std::vector<wchar_t> value(kLongestPath);
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), kLongestPath);
    if (length > 0 && length < kLongestPath)
        return std::wstring(value.data(), length);
    return knownFolder(FOLDERID_LocalAppData);
}

bool consoleOfItsOwn() {
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1 && isConsole(STD_INPUT_HANDLE) &&
           isConsole(STD_OUTPUT_HANDLE);
}

void waitForKey(const char* prompt) {
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(input); // keys pressed while the sweep ran do not count
    INPUT_RECORD record = {};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read))
        if (read == 1 && record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
            return;
}

void yieldToThePlayer(int32_t* used, int32_t* present) {
    SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
    DWORD_PTR mine = 0, system = 0;
    *used = *present = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &mine, &system))
        return;
    *present = bitsOf(system);
    // The first processor is left free: it is the one Windows favours for the rest of the PC.
    if (bitsOf(mine) > 1 && SetProcessAffinityMask(GetCurrentProcess(), mine & (mine - 1)))
        mine &= mine - 1;
    *used = bitsOf(mine);
}

bool askForPlaylist(std::wstring* path) {
    std::vector<wchar_t> name(kLongestPath, L'\0');
    std::vector<wchar_t> caption(sizeof kOpenPlaylistCaption);
    for (size_t i = 0; i < caption.size(); i++)
        caption[i] = static_cast<unsigned char>(kOpenPlaylistCaption[i]);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetConsoleWindow();
    dialog.lpstrFilter = L"Playlists and air logs (*.m3u, *.m3u8, *.txt, *.log)\0*.m3u;*.m3u8;*.txt;*.log\0"
                         L"Playlists (*.m3u, *.m3u8, *.txt)\0*.m3u;*.m3u8;*.txt\0Air logs (*.log)\0*.log\0"
                         L"All files (*.*)\0*.*\0";
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = kLongestPath;
    dialog.lpstrTitle = caption.data();
    const std::wstring folder = startingFolder();
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog))
        return false;
    *path = name.data();
    rememberFolderOf(*path);
    return true;
}

bool openInBrowser(const std::wstring& page) {
    // Some handlers of the page's type are COM objects, which want the thread's apartment made.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

} // namespace sim
