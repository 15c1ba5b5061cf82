// The operator's own files, which the host must never lose or empty by mistake: the report,
// written whole only once there is something to write, and what an earlier version's sweep left
// beside plugin.ini, settled once without losing the settings it kept aside.
#pragma once

#include <string>

namespace sim {

// The whole of the file at `path`; false when it cannot be read.
bool readBytes(const std::string& path, std::string* bytes);

enum WriteResult : int { kWritten, kNotOpened, kWriteFailed };

// Replaces the file at `path` with `bytes`. kNotOpened: the file is as it was (it could not be
// opened for writing); kWriteFailed: it was opened, so it may now hold part of `bytes`.
WriteResult writeBytes(const std::string& path, const std::string& bytes);

// True when the file at `path` exists.
bool fileExists(const std::string& path);

// True when `path` could be written without changing it now: an existing file opens for writing
// without being emptied; a missing one has an existing folder (nothing is created).
bool canWriteLater(const std::string& path);

// The names an earlier version's sweep gave the files it left beside plugin.ini when it was ended
// during its replay (it then wrote its own plugin.ini there): the operator's file kept aside, the
// empty mark that said there was none, and the record of what the replay wrote.
std::string oldKeptIniPath(const std::string& iniPath);
std::string oldAbsentMarkPath(const std::string& iniPath);
std::string oldReplayRecordPath(const std::string& iniPath);

// Where the operator's file kept aside by such a sweep is put, under a name that says what it is
// and that no run looks for.
std::string settingsBeforeEndedSweepPath(const std::string& iniPath);

// Settles, once, what such a sweep left beside `iniPath`: the mark and the record, which hold no
// settings, are removed; the file kept aside is renamed to settingsBeforeEndedSweepPath() (or left
// as it is when that name is taken). plugin.ini is never changed: the run uses it as it is.
// `note` gets the one line that says what was found, where the settings from before that sweep
// are and what the operator may do; empty when there was nothing.
void settleOldSweepFiles(const std::string& iniPath, std::string* note);

} // namespace sim
