// plugin.ini as the plug-in will read it: found beside the plug-in's module and read through the
// platform's profile functions, the same ones the plug-in uses.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "cli/settings_check.h"

namespace sim {

// The path of plugin.ini beside `module`'s file, as the plug-in derives it.
std::string iniPathBeside(HMODULE module);

// The eight keys of section [Songbeacon] in the file at `path`.
IniSnapshot readIni(const std::string& path);

// True when `folder` names an existing folder; the empty folder is the current one.
bool folderExists(const std::string& folder);

// What the file system says of the air log at `path`: whether its folder exists, and whether the
// file can be opened to write (or, when missing, made; a file made to find out is deleted again).
AirLogAccess airLogAccess(const std::string& path);

// Adds the warning about the air log of `ini`, read from `iniPath`, when there is one.
void checkAirLog(const IniSnapshot& ini, const std::string& iniPath, std::vector<std::string>* warnings);

} // namespace sim
