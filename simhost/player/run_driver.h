// Plays the playlist at the plug-in and records what happens, in one of two ways:
//   paced: each admitted track plays for a set time of real time, as in a real player;
//   fast:  the player moves on as soon as the plug-in has dealt with a track (it has read the
//          title and then either asked for the next track or begun its next pass), so a day on
//          air takes seconds.
// Both follow the plug-in through the player's messages (the afterMessage hook), so for the same
// order they see the same decisions.
#pragma once

#include <windows.h>

#include <vector>

#include "player/page_watch.h"
#include "player/sim_player.h"
#include "playlist/play_order.h"
#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

struct HostRun;

// A pause or a stop in a fast run, in station time: the first track that plays from `atSeconds` on
// is paused (or stopped) once the plug-in has read its title, for `seconds` of station time, then
// plays on (a stopped one from its start, as a player plays it again).
struct PlayerHold {
    int64_t atSeconds;
    int32_t state; // kPaused or kStopped
    int64_t seconds;
};

// What the run is to play, and how; the command line fills it in.
struct RunPlan {
    int32_t paceMs;             // paced: how long each admitted track plays, in real time
    bool fast;                  // move on as soon as the plug-in has dealt with a track
    int32_t fastTimeoutSeconds; // fast: how long the plug-in may take over one track
    bool goRound;               // begin a new round at the end of the playlist
    int32_t tracks;             // stop after this many played tracks; 0: no such limit
    int64_t stationSeconds;     // stop once this much station time has passed; 0: no limit
    bool shuffle;
    uint64_t seed;
    bool quiet;                   // no line about the player's state
    std::vector<int32_t> pauseAt; // 1-based entries paused halfway
    std::vector<int32_t> stopAt;  // 1-based entries stopped halfway

    // Called with each event as it is recorded; may be null.
    void (*onEvent)(void* context, const RunRecord& record, const TrackEvent& event);
    void* eventContext;

    // Fast: the station clock the plug-in reads (plugin_clock.h) starts here, in milliseconds
    // since 1970 UTC, and runs with the station time, pauses and stops included; 0: at the real time
    // when the run starts.
    int64_t clockStartMs;
    std::vector<PlayerHold> holds; // fast: in the order of their times
    // Fast: called as each played track ends and the next begins, while the plug-in waits for the
    // player's answer; may be null.
    void (*betweenTracks)(void* context, HostRun* run);
    void* betweenContext;
};

struct HostRun {
    Player* player;
    const RunPlan* plan;
    PlayOrder order;
    RuleMirror mirror;
    RunRecord record;
    PageWatch* page; // looked at after each played track; may be null

    // The plug-in's progress with the entry playing now.
    bool titleRead;      // it asked for this entry's title
    bool dealtWith;      // ... and then began another pass without skipping it
    ULONGLONG lastEvent; // tick of the last track played or skipped
    int32_t wholePlaylistRefusalsInARow;
    bool finished;

    // Fast: the station clock, and the pause or stop under way.
    int64_t clockStartMs;
    int64_t offSeconds;  // station time paused or stopped so far
    size_t nextHold;     // the plan's next hold
    int32_t holdStep;    // 0: none; 1: held until the plug-in has seen it; 2: playing again, likewise
    int32_t holdQueries; // the plug-in's is-playing queries since the step began
};

// Prepares `run` to play `playlist` (which `player->titles` holds) in the plan's order, judged by
// the plug-in against `limits`. `plan` must outlive the run. False when memory runs out.
bool startRun(HostRun* run, Player* player, const RunPlan& plan, const std::vector<PlaylistEntry>& playlist,
              RuleLimits limits, PageWatch* page);

// Plays until the run's end (the plan's, or a full record: see RunRecord::full); returns true, or
// false when in fast mode the plug-in took longer than the plan allows over one track. The player
// is stopped afterwards and no longer reports to the run.
bool playRun(HostRun* run);

// Frees what the run holds, once its record is no longer needed.
void endRun(HostRun* run);

} // namespace sim
