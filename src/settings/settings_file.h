// plugin.ini: the settings in section "Songbeacon", read and written through the Windows profile
// functions so that the file stays in the form operators know and may edit by hand.
#pragma once

namespace settings {

// Sets pluginState.iniPath (kIniPathCapacity bytes, already allocated) to plugin.ini beside the
// module `moduleInstance`. A module path too long for that leaves it empty: the plug-in then
// runs on the defaults and writes no settings file.
void buildIniPath(void* moduleInstance);

// Reads the eight settings from pluginState.iniPath into the live settings, in file order, and
// then PollInterval and AirLog; a missing file, section or key gives that key's default, and a
// longer text is cut to its buffer. PollInterval alone is brought into its range
// (0..kPollIntervalMaximum): it is an operator's hand edit that no dialog checks, and the worker
// waits that long on every pass. AirLog too long to keep whole reads as empty (no log): cut, it
// would name some other file.
void load();

// Writes all eight live settings to pluginState.iniPath, in file order: integers in decimal,
// texts as held. PollInterval and AirLog are not among them: absent, they must stay absent (the
// continuous poll, no log), and present, they stay as the operator wrote them. Other keys and
// sections of the file are left alone. Errors are ignored: the settings in memory stay as they are.
void save();

} // namespace settings
