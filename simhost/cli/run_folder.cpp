// Run folders through Win32 alone. The lock is the whole proof of life: its run opens it sharing
// nothing, with delete-on-close, so while the run lives no other process can open it, and when the
// run ends, however it ends, the system closes it. A folder is made before its lock, so a cleaner
// may find one without; it then makes the lock itself, and the run that was about to take it is
// refused and makes another folder, having written nothing in the first.
#include "cli/run_folder.h"

#include <string>
#include <vector>

#include "cli/ansi_code_page.h"
#include "cli/shared_read.h"

namespace {

constexpr wchar_t kLockName[] = L"run.lock";
constexpr char kSection[] = "Songbeacon";
constexpr DWORD kHeldFileWaitMs = 5000;
constexpr DWORD kRetryEveryMs = 50;
constexpr int kMostNameTries = 100;

std::string shown(const std::wstring& path) {
    std::string ansi;
    sim::inAnsiCodePage(path, &ansi); // for a message: a letter without a place shows as "?"
    return ansi;
}

std::string systemError(DWORD code) {
    return "error " + std::to_string(code);
}

// Opens the lock of `folder`, sharing nothing and deleted once closed: `create` only when there is
// none yet (a run taking its new folder's), else whether or not there is one (a cleaner taking an
// ended run's).
HANDLE takeLock(const std::wstring& folder, bool create) {
    return CreateFileW((folder + L"\\" + kLockName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       create ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                       nullptr);
}

// Deletes every file in `folder` but its lock, trying again for up to `waitMs` while one is held;
// true when none is left.
bool emptyFolder(const std::wstring& folder, DWORD waitMs) {
    const ULONGLONG until = GetTickCount64() + waitMs;
    for (;;) {
        bool left = false;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_FILE_NOT_FOUND;
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L".." || name == kLockName)
                continue;
            const std::wstring path = folder + L"\\" + name;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                left = true; // a run folder holds files only: what else is there is not ours
                continue;
            }
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            left = !DeleteFileW(path.c_str()) || left;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        if (!left || GetTickCount64() >= until)
            return !left;
        Sleep(kRetryEveryMs);
    }
}

bool writeNew(const std::wstring& path, const std::string& bytes, DWORD* code) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *code = GetLastError();
        return false;
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    *code = GetLastError();
    return CloseHandle(file) && whole;
}

} // namespace

namespace sim {

int removeEndedRuns(const std::wstring& parent, const std::wstring& prefix) {
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((parent + L"\\" + prefix + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            folders.push_back(parent + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    int removed = 0;
    for (const std::wstring& folder : folders) {
        HANDLE lock = takeLock(folder, false);
        if (lock == INVALID_HANDLE_VALUE)
            continue; // its run holds it: running
        const bool emptied = emptyFolder(folder, 0);
        CloseHandle(lock);
        removed += emptied && RemoveDirectoryW(folder.c_str()) ? 1 : 0;
    }
    return removed;
}

bool openRunFolder(const std::wstring& parent, const std::wstring& prefix, RunFolder* folder,
                   std::string* error) {
    removeEndedRuns(parent, prefix);
    folder->lock = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kMostNameTries; attempt++) {
        folder->path = parent + L"\\" + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                       std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(attempt);
        if (!CreateDirectoryW(folder->path.c_str(), nullptr)) {
            if (GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            *error =
                "cannot make the folder " + shown(folder->path) + " (" + systemError(GetLastError()) + ")";
            return false;
        }
        folder->lock = takeLock(folder->path, true);
        if (folder->lock != INVALID_HANDLE_VALUE)
            break;
        // A cleaner took it between the two: it is the cleaner's to remove now.
    }
    if (folder->lock == INVALID_HANDLE_VALUE) {
        *error = "cannot make a folder of this run's own in " + shown(parent);
        return false;
    }
    if (!ansiPath(folder->path, &folder->ansi)) {
        *error = "the folder " + shown(folder->path) +
                 " cannot be named in the ANSI code page, as the plug-in needs";
        closeRunFolder(folder);
        return false;
    }
    return true;
}

bool copyIntoRunFolder(const RunFolder& folder, const std::wstring& from, const wchar_t* name,
                       std::string* error) {
    std::string bytes;
    DWORD code = 0;
    if (!readShared(from, &bytes, &code)) {
        *error = "cannot read " + shown(from) + " (" + systemError(code) + ")";
        return false;
    }
    const std::wstring to = folder.path + L"\\" + name;
    if (!writeNew(to, bytes, &code)) {
        *error = "cannot write " + shown(to) + " (" + systemError(code) + ")";
        return false;
    }
    return true;
}

std::string runFolderFile(const RunFolder& folder, const char* name) {
    return folder.ansi + "\\" + name;
}

bool setRunIniKey(const RunFolder& folder, const char* key, const std::string& value) {
    return WritePrivateProfileStringA(kSection, key, value.c_str(),
                                      runFolderFile(folder, "plugin.ini").c_str()) != 0;
}

bool keepPageInRunFolder(const RunFolder& folder) {
    return setRunIniKey(folder, "EnableHTMLOutput", "0") &&
           setRunIniKey(folder, "OutputFilename", runFolderFile(folder, "status.htm"));
}

bool closeRunFolder(RunFolder* folder) {
    if (folder->lock == INVALID_HANDLE_VALUE)
        return true;
    const bool emptied = emptyFolder(folder->path, kHeldFileWaitMs);
    CloseHandle(folder->lock);
    folder->lock = INVALID_HANDLE_VALUE;
    return emptied && RemoveDirectoryW(folder->path.c_str());
}

} // namespace sim
