// The tool's own folder on the operator's PC, and the installed files it starts from. It works
// on copies in %LOCALAPPDATA%\Songbeacon\Tuning: the installed plug-in and the player's
// plugin.ini are only read, with every kind of sharing allowed, so that the player running beside
// it never finds a file it wants to write held, and nothing is ever written into the player's
// folder.
#pragma once

#include <string>

namespace sim {

// `text` in the ANSI code page, the one the player and the plug-in name files in; false when a
// character has no place there (no look-alike is taken for it: that would name another file).
bool inAnsiCodePage(const std::wstring& text, std::string* ansi);

// A path in the ANSI code page: as it is when it fits, else the short form Windows keeps for an
// existing file or folder; false when neither fits.
bool ansiPath(const std::wstring& path, std::string* ansi);

// The wide form of an ANSI code page path.
std::wstring widePath(const std::string& ansi);

// The plug-in this program goes with: beside it (as the release zip holds them), else in the
// folder above (Setup puts the program into Plugins\Songbeacon and the plug-in into Plugins).
// False, with `error` one line, when there is none.
bool findInstalledPlugin(std::wstring* dll, std::string* error);

// What the tool works with in its folder.
struct TuningFiles {
    std::wstring folder; // %LOCALAPPDATA%\Songbeacon\Tuning
    std::wstring dll;    // the copy of the plug-in
    std::wstring ini;    // the copy of plugin.ini beside it
    bool iniCopied;      // false: there was no plugin.ini to copy, so the plug-in takes its defaults
};

// Makes the folder (named by %LOCALAPPDATA%, else the platform's local application-data folder)
// and copies into it the plug-in `dll` and the settings: `settings` when not empty (--ini), else
// the plugin.ini beside `dll`; a plugin.ini there from before is removed when there is none to
// copy, and so is what an interrupted sweep left of an earlier copy. False, with `error` one line,
// when a file cannot be read or written.
bool prepareTuningFolder(const std::wstring& dll, const std::wstring& settings, TuningFiles* files,
                         std::string* error);

// Sets `key` of the plug-in's section to `value` in the copy of plugin.ini; false when it cannot.
bool setCopiedLimit(const TuningFiles& files, const char* key, int value);

} // namespace sim
