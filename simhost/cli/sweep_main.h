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
#include "tuning/sweep.h"

namespace sim {

// What a sweep answered, for a program that says it again in its own words.
struct SweepAnswer {
    bool recommended;     // a setting meets every goal, and the plug-in decided as the sweep said
    bool choices;         // no setting meets every goal: the choice: lines offer the trade-off
    SweepSetting setting; // the recommended setting, else the choice nearest the goals
    bool keep;            // it is the setting plugin.ini holds, with the filter on
    bool filterOff;       // plugin.ini switches the filter off (EnablePlaylistMonitoring=0)
};

// Runs the sweep `options` ask for over `playlist` (the titles `player` holds, its window made),
// for the plug-in loaded as `module` and not started, whose plugin.ini is at `iniPath`; the replay
// plays a copy of it in a folder of its own in the user's temporary folder, and writes nothing
// beside `module`. Writes the HTML page to --report's file once
// the sweep has its figures (a report from before is left as it was until then). Returns the exit
// status; the answer goes to `answer` (when not null) once the replay has confirmed it. On a
// console, a progress line shows while the sweep's runs take longer than a few seconds.
int runSweepCommand(const Options& options, const std::vector<PlaylistEntry>& playlist, Player* player,
                    HMODULE module, const std::string& iniPath, SweepAnswer* answer);

} // namespace sim
