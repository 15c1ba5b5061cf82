// The player's code page on Windows: the process's ANSI code page, the one a player converts its
// titles to before handing them to a plug-in that reads them as char strings.
#pragma once

#include "playlist/text_encoding.h"

namespace sim {

// The ANSI code page (CP_ACP) as a CodePage: named by its number, converted by the platform with
// its usual mapping (a character with a close likeness takes it, as "Ā" becomes "A"; the rest
// become the code page's default character, "?" in the Western code pages).
CodePage ansiCodePage();

} // namespace sim
