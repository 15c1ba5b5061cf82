// The plug-in as the player meets it: loaded through its one export, and shut down under a
// watchdog, since a plug-in whose shut-down never returns would hang the player.
#pragma once

#include <windows.h>

#include <cstdint>

#include "player/plugin_header.h"

namespace sim {

// Loads the DLL at `path`, binds its clock to the player's (plugin_clock.h) and fetches its header;
// null (after a one-line error) when the file is missing, is no DLL, or has no general-purpose
// plug-in export.
PluginHeader* loadPlugin(const char* path, HMODULE* module);

// Calls the plug-in's shutDown and says how long it took; ends the process with `hungStatus`
// when it has not returned within 30 seconds.
void shutDownWatched(PluginHeader* plugin, int hungStatus);

// The same, saying nothing; returns how long shutDown took, in milliseconds.
uint64_t shutDownQuietly(PluginHeader* plugin, int hungStatus);

} // namespace sim
