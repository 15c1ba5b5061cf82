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

// The record of what the replay left in plugin.ini, one line per version of the file (its own text,
// and the file as the plug-in saved it back at its start), each as `cksum` prints it: a later run
// puts the operator's file back, or removes the replay's, only over a file the record names.
std::string replayRecordPath(const std::string& iniPath);

// The line `cksum` prints for a file of `bytes`: POSIX's CRC-32 over the bytes and their length,
// then the length ("4038045397 6").
std::string checksumLine(const std::string& bytes);

enum KeptIniFound : int { kNoKeptIni, kKeptIniPutBack, kKeptIniKeptBoth, kKeptIniStuck };

// What every run does first, about the files a sweep interrupted during its replay left beside
// `iniPath`. When plugin.ini is still the replay's own, as the record shows (or is gone): puts
// plugin.ini.before-sweep back over it and removes it, or, after plugin.ini.absent-before-sweep
// (there was no plugin.ini), removes the replay's plugin.ini and that file (kKeptIniPutBack).
// When plugin.ini has been written since, or the sweep kept no record (an older version's): keeps
// both as they are, and the run goes on with plugin.ini as it is (kKeptIniKeptBoth). When it
// cannot do what it must, leaves both as they are (kKeptIniStuck), and the run must not go on.
// `message` gets the one line to print in each case but kNoKeptIni.
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

// Records the replay's `text` and writes it over plugin.ini; false, with `error` one line, when it
// cannot.
bool writeReplayIni(KeptIni* kept, const std::string& text, std::string* error);

// Records plugin.ini as it is now as the replay's too: called once the plug-in has started and
// saved its settings back. A record that cannot be written only costs a later run its proof.
void recordReplayIni(const KeptIni& kept);

// Puts the operator's plugin.ini back as it was (or removes the replay's when there was none) and
// removes the copy and the record; when the replay never changed it, only those are removed. When
// plugin.ini is no longer what the replay wrote, keeps both, and `message` says which is which.
// False, with `message` one line saying where the operator's file is, when it cannot.
bool restoreIni(const KeptIni& kept, std::string* message);

} // namespace sim
