// Thin wrappers around the Windows calls the tool's front needs.
#include "tune/windows_shell.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

namespace {

constexpr DWORD kLongestPath = 32768;

bool isConsole(DWORD stdHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stdHandle), &mode) != 0;
}

int32_t bitsOf(DWORD_PTR mask) {
    int32_t bits = 0;
    for (; mask != 0; mask &= mask - 1)
        bits++;
    return bits;
}

} // namespace

namespace sim {

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
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog))
        return false;
    *path = name.data();
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
