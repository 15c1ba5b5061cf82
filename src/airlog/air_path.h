// Where the air log goes and when it rolls: the file named by the AirLog setting (a relative name
// is taken from the plug-in's own folder, where plugin.ini is), the one previous file beside it,
// and the size at which the current file makes way for a new one. Platform-free.
#pragma once

#include <cstddef>
#include <cstdint>

namespace airlog {

// Capacity of the log's path, terminator included: MAX_PATH, what the file functions accept.
constexpr int32_t kAirLogPathCapacity = 260;

// A write that finds the file at this size or more rolls it first: 16 MB, about a year of a busy
// station, so that the current file and the previous one never hold much more than 32 MB.
constexpr int64_t kAirLogRollBytes = 16 * 1024 * 1024;

// What the previous file's name adds before the extension.
constexpr char kPreviousSuffix[] = "-previous";

// True when a log of `size` bytes is to be rolled before the next lines go into it.
bool rollDue(int64_t size);

// True when `setting` names a file relative to some folder: it neither begins with a slash or a
// backslash (the drive's root, or a network share) nor names a drive ("C:...").
bool isRelativePath(const char* setting);

// Writes the log's full path for the AirLog value `setting` into `out`: the setting itself when it
// is not relative, else the folder of `iniPath` (up to and including its last backslash) followed
// by it. Returns false, leaving `out` empty, when `setting` is empty or the path does not fit in
// `capacity` bytes: a cut path would name some other file, so the log is then off.
bool resolveLogPath(const char* iniPath, const char* setting, char* out, size_t capacity);

// Writes the previous file's path for the log at `path` into `out`: kPreviousSuffix inserted before
// the extension of the file name ("air.log" -> "air-previous.log"), or appended when the name has
// none. Returns false, leaving `out` empty, when that does not fit in `capacity` bytes.
bool previousLogPath(const char* path, char* out, size_t capacity);

} // namespace airlog
