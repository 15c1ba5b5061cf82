// plugin.ini as the plug-in will read it: found beside the plug-in's module and read through the
// platform's profile functions, the same ones the plug-in uses.
#pragma once

#include <windows.h>

#include <string>

#include "cli/settings_check.h"

namespace sim {

// The path of plugin.ini beside `module`'s file, as the plug-in derives it.
std::string iniPathBeside(HMODULE module);

// The eight keys of section [Songbeacon] in the file at `path`.
IniSnapshot readIni(const std::string& path);

// True when `folder` names an existing folder; the empty folder is the current one.
bool folderExists(const std::string& folder);

} // namespace sim
