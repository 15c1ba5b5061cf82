// A sweep from the command line, after the player has read the playlist and loaded the plug-in:
// the sweep through the mirror, its table, the replay of the recommended setting through the real
// plug-in, the recommendation and the page.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/options.h"
#include "player/plugin_header.h"
#include "player/sim_player.h"
#include "playlist/playlist.h"

namespace sim {

// Runs the sweep `options` ask for over `playlist` (the titles `player` holds, its window made),
// with `plugin` loaded from `module` and not yet started; its plugin.ini is at `iniPath`, and is
// as the operator left it again when this returns. Writes the HTML page to --report's file once
// the sweep has its figures (a report from before is left as it was until then). Returns the exit
// status.
int runSweepCommand(const Options& options, const std::vector<PlaylistEntry>& playlist, Player* player,
                    PluginHeader* plugin, HMODULE module, const std::string& iniPath);

} // namespace sim
