// Before a run: what in plugin.ini the plug-in will take differently from what the operator meant.
// The file is read by the platform's own profile functions (as the plug-in reads it); the checks
// here need only what they returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/rule_mirror.h"

namespace sim {

// The keys of section [Songbeacon], in the order the plug-in reads them: the eight it saves, then
// PollInterval and AirLog, which only an operator writes.
enum IniKey : int32_t {
    kEnableHTMLOutput,
    kOutputFilename,
    kHTMLTitle,
    kHTMLHeader,
    kRecentTitleListLength,
    kEnablePlaylistMonitoring,
    kSameArtistCheckLimit,
    kSameTitleCheckLimit,
    kPollInterval,
    kAirLog,
    kIniKeyCount
};

struct IniKeyInfo {
    const char* name;
    bool isNumber;
    int32_t defaultNumber; // for number keys
    int32_t capacity;      // for text keys: the bytes the plug-in keeps, terminator included
};

// Name, kind, default and capacity of `key`.
const IniKeyInfo& iniKeyInfo(int32_t key);

struct IniValue {
    bool present;     // the key is in the file
    std::string text; // as the platform's string reader gave it, uncut
    int32_t number;   // number keys: as the platform's integer reader gave it (the default when absent)
};

struct IniSnapshot {
    bool fileFound;
    IniValue values[kIniKeyCount];
};

// One line for each setting the plug-in will take otherwise than written: a number key holding
// words or a number out of range, a limit or PollInterval above 1000 or below 0, a text longer than the
// plug-in keeps, the filter switched off. Checks needing the file system are the caller's (the page's folder:
// see folderOf).
std::vector<std::string> checkSettings(const IniSnapshot& ini);

// The folder part of `path` ("c:/www/status.htm" -> "c:/www"; "status.htm" -> ""), either slash.
std::string folderOf(const std::string& path);

// The file name part of `path` ("c:/lists/day.m3u" -> "day.m3u"), either slash.
std::string fileNameOf(const std::string& path);

// The page's file name as the plug-in keeps it (cut to its capacity).
std::string outputFilenameKept(const IniSnapshot& ini);

// The filter's limits as the plug-in holds them.
RuleLimits limitsOf(const IniSnapshot& ini);

// The air log's file as the plug-in takes it from `ini`, read from the plugin.ini at `iniPath`: a
// relative name from that file's folder. Empty when the log is off: AirLog absent or empty, or too
// long (itself, or with the folder before it) for the plug-in to keep whole.
std::string airLogPathOf(const IniSnapshot& ini, const std::string& iniPath);

// What the file system says of the air log's file, for airLogWarning.
enum AirLogAccess : int32_t {
    kAirLogWritable,      // it can be written, or made and written
    kAirLogFolderMissing, // its folder does not exist
    kAirLogNotWritable,   // it, or a file in its folder, cannot be opened for writing
};

// One line when the air log named in `ini` will not be written as the operator meant: the name is
// too long for a path (the log is then off), or the file at airLogPathOf has `access` other than
// kAirLogWritable. Empty otherwise, and when AirLog is absent or empty.
std::string airLogWarning(const IniSnapshot& ini, const std::string& iniPath, int32_t access);

} // namespace sim
