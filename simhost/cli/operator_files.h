// The operator's own files, which the host must never lose or empty by mistake: plugin.ini, which
// a sweep's replay replaces for a while (its original waiting in plugin.ini.before-sweep until it
// is put back), and the report, written whole only once there is something to write.
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

// Where a sweep keeps the operator's plugin.ini while its replay holds another.
std::string keptIniPath(const std::string& iniPath);

// The empty file that stands for "there was no plugin.ini" while a replay holds its own.
std::string absentIniPath(const std::string& iniPath);

enum KeptIniFound : int { kNoKeptIni, kKeptIniPutBack, kKeptIniStuck };

// What every run does first: when a sweep interrupted during its replay left plugin.ini.before-sweep
// beside `iniPath`, puts it back over plugin.ini and removes it (kKeptIniPutBack), or leaves both
// as they are when it cannot (kKeptIniStuck); when it left plugin.ini.absent-before-sweep (there
// was no plugin.ini), removes the replay's plugin.ini and that file. `message` gets the line to
// print either way.
KeptIniFound putBackKeptIni(const std::string& iniPath, std::string* message);

// plugin.ini as the operator left it, while a sweep's replay holds its own.
struct KeptIni {
    std::string path;
    std::string copyPath;
    bool existed;
    std::string bytes;
    bool changed; // the replay's own has been written over it (or tried to be)
};

// Keeps the operator's plugin.ini before the replay writes its own: its bytes, and a copy in
// plugin.ini.before-sweep in case the sweep is ended halfway (or plugin.ini.absent-before-sweep
// when there is none). Never writes over an existing copy,
// and makes none when plugin.ini cannot be written (the replay could not set its limits). False,
// with `error` one line, when the replay must not go on; nothing is changed then.
bool keepIni(const std::string& path, KeptIni* kept, std::string* error);

// Writes the replay's `text` over plugin.ini; false, with `error` one line, when it cannot.
bool writeReplayIni(KeptIni* kept, const std::string& text, std::string* error);

// Puts the operator's plugin.ini back as it was (or removes the replay's when there was none) and
// removes the copy; when the replay never changed it, only the copy is removed. False, with
// `error` one line saying where the operator's file is, when it cannot.
bool restoreIni(const KeptIni& kept, std::string* error);

} // namespace sim
