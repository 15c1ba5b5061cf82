// The player's code page on Windows: the process's ANSI code page, the one a player converts its
// titles to before handing them to a plug-in that reads them as char strings.
#pragma once

#include <string>

#include "playlist/text_encoding.h"

namespace sim {

// The ANSI code page (CP_ACP) as a CodePage: named by its number, converted by the platform with
// its usual mapping (a character with a close likeness takes it, as "Ā" becomes "A"; the rest
// become the code page's default character, "?" in the Western code pages).
CodePage ansiCodePage();

// `text` in the ANSI code page, the one the player and the plug-in name files in; false when a
// character has no place there (no look-alike is taken for it: that would name another file).
bool inAnsiCodePage(const std::wstring& text, std::string* ansi);

// A path in the ANSI code page: as it is when it fits, else the short form Windows keeps for an
// existing file or folder; false when neither fits.
bool ansiPath(const std::wstring& path, std::string* ansi);

// `text`, in the code page `codePage` (CP_ACP, CP_UTF8), as UTF-16.
std::wstring wideOf(const std::string& text, unsigned int codePage);

// The wide form of an ANSI code page path.
std::wstring widePath(const std::string& ansi);

} // namespace sim
