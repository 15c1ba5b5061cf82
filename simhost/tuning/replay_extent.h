// How much of each seed's run the sweep's replay through the plug-in plays. The replay is there to
// show that the plug-in decides as the mirror of its rule does, and what shows it is each kind of
// decision made once, not the same decisions made for days: so a seed is replayed only as far as
// its run (the mirror's, of the whole length) has made every kind of decision it makes and the
// plug-in's history has filled, and never beyond its share of one run's length. A setting that starves the
// rotation is replayed until its loop has shown itself, not through the hundreds of thousands of refusals
// that follow.
#pragma once

#include <cstdint>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"
#include "tuning/sweep.h"

namespace sim {

// The kinds of decision a run shows, as bits.
enum DecisionKindBit : int32_t {
    kDecidedAdmitted = 1,       // a title judged and admitted: the plug-in records it
    kDecidedArtistRefusal = 2,  // a title refused by the artist rule
    kDecidedTitleRefusal = 4,   // a title refused by the title rule
    kDecidedPlayedAgain = 8,    // the title just played, played again unjudged (listed twice, or come round)
    kDecidedLooping = 16,       // one title again and again while every other entry is refused
    kDecidedHistoryDropped = 32 // the plug-in's history full, its oldest title dropped
};

struct ReplayExtent {
    int64_t stationSeconds; // the length the replay and the mirror's run it is compared with are given
    bool whole;             // that covers the whole run
    bool cut;               // the share stopped it short of what the run shows
    int32_t kindsOfRun;     // DecisionKindBits the whole run shows
    int32_t kindsShown;     // those the replayed part shows
};

// The extent for `whole`, the mirror's record of a whole run of `runSeconds` with every event kept,
// when the replay may play at most `mostSeconds` (above 0) of it: as far as the event that first
// shows the last kind of decision the run shows, and the plug-in's history has filled (the 1001st
// title recorded, which drops the oldest; or the last title of a run that records fewer), then on
// to the end of the play under way.
ReplayExtent replayExtent(const RunRecord& whole, int64_t runSeconds, int64_t mostSeconds);

// The most a replay plays of one seed's run: its share of one run's length, `runSeconds`, over
// `seeds` seeds, so that the replay as a whole plays as much station time as one run.
int64_t replayShareSeconds(int64_t runSeconds, size_t seeds);

// replayExtent of the mirror's run of `limits` on the order of `seed` over `runSeconds`, with
// replayShareSeconds for `seeds` seeds; the run's record is not kept. kSimulationOutOfMemory when
// the run could not be made.
SimulatedEnd replayExtentOf(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, uint64_t seed,
                            int64_t runSeconds, size_t seeds, ReplayExtent* extent);

} // namespace sim
