// Plays the playlist at the plug-in and records what happens, in one of two ways:
//   paced: each admitted track plays for a set time of real time, as in a real player;
//   fast:  the player moves on as soon as the plug-in has dealt with a track (it has read the
//          title and then either asked for the next track or begun its next pass), so a day on
//          air takes seconds.
// Both follow the plug-in through the player's messages (the afterMessage hook), so for the same
// order they see the same decisions.
#pragma once

#include <windows.h>

#include <cstdio>
#include <vector>

#include "options.h"
#include "page_watch.h"
#include "play_order.h"
#include "playlist.h"
#include "rule_mirror.h"
#include "run_record.h"
#include "sim_player.h"

namespace sim {

struct HostRun {
    Player* player;
    const Options* options;
    PlayOrder order;
    RuleMirror mirror;
    RunRecord record;
    PageWatch* page; // looked at after each played track; may be null
    FILE* log;       // CSV rows; may be null

    // The plug-in's progress with the entry playing now.
    bool titleRead;      // it asked for this entry's title
    bool dealtWith;      // ... and then began another pass without skipping it
    ULONGLONG lastEvent; // tick of the last track played or skipped
    int32_t pollsBefore; // the player's is-playing queries when this entry began
    int32_t wholePlaylistRefusalsInARow;
    bool finished;
};

// Prepares `run` to play `playlist` (which `player->titles` holds) in the options' order, judged
// by the plug-in against `limits`. False when memory runs out.
bool startRun(HostRun* run, Player* player, const Options& options,
              const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PageWatch* page, FILE* log);

// Plays until the run's end; returns kExitDone, or kExitFastStalled when in fast mode the
// plug-in took longer than the options allow over one track. The player is stopped afterwards
// and no longer reports to the run.
int playRun(HostRun* run);

// Frees what the run holds, once its record is no longer needed.
void endRun(HostRun* run);

} // namespace sim
