// A run's own folder: where a sweep's replay and songbeacon-tune work on copies of the operator's
// plug-in and plugin.ini, so that nothing in the operator's folder is ever written. Every folder
// holds a lock file that its run keeps open, sharing nothing, for its whole life; another run
// removes a folder only once it has taken that lock itself, so a running run's files are never
// removed, and a run ended by force leaves a folder the next run removes.
#pragma once

#include <windows.h>

#include <string>

namespace sim {

struct RunFolder {
    std::wstring path; // the folder
    std::string ansi;  // the same in the ANSI code page, in which the plug-in names its files
    HANDLE lock;       // its lock file, open until the run ends; INVALID_HANDLE_VALUE: none
};

// Removes the folders under `parent` named `prefix` and more that belong to runs no longer
// running: each whose lock this process can take (a folder without one is taken by making it).
// Returns how many it removed; one it cannot remove whole is left for a later run.
int removeEndedRuns(const std::wstring& parent, const std::wstring& prefix);

// Removes ended runs' folders under `parent`, then makes one of this run's own, named `prefix`
// and a part no other run has, and takes its lock. False, with `error` one line, when it cannot.
bool openRunFolder(const std::wstring& parent, const std::wstring& prefix, RunFolder* folder,
                   std::string* error);

// Copies the file at `from` into `folder` as `name`; `from` is read with every kind of sharing
// allowed, so a player that has the plug-in loaded or writes plugin.ini meanwhile is never
// refused. False, with `error` one line, when it cannot.
bool copyIntoRunFolder(const RunFolder& folder, const std::wstring& from, const wchar_t* name,
                       std::string* error);

// The path of `name` in `folder`, in the ANSI code page.
std::string runFolderFile(const RunFolder& folder, const char* name);

// Sets `key` of the plug-in's section to `value` in the folder's plugin.ini; false when it cannot.
bool setRunIniKey(const RunFolder& folder, const char* key, const std::string& value);

// Turns the page off in the folder's plugin.ini and names a page file in the folder, so that a
// plug-in started on the copy can never write the station's page; false when it cannot.
bool keepPageInRunFolder(const RunFolder& folder);

// Removes the folder and what it holds, then lets its lock go; a file still held (a copy of the
// plug-in that is still being unloaded) is waited for a few seconds. False when something is
// left: the folder is then an ended run's, which a later run removes.
bool closeRunFolder(RunFolder* folder);

} // namespace sim
