// What the worker tells the air log: the plug-in's start with the limits it read, each change of
// the player's is-playing answer, the limits or the filter switch changed, and each new title it
// let play or had skipped, with the rule, the earlier title and how far back. The worker's own
// record of what it last wrote lives here, so that the loop only calls in at the right moments.
// With the log off, each call costs one atomic read.
#pragma once

#include <cstdint>

#include "history/repeat_filter.h"

namespace monitor {

// What the worker last told the log. Worker only.
struct AirWatch {
    int32_t generation; // the log's generation these notes are for
    int32_t playState;  // the state last written: 0 stopped, 1 playing, 3 paused
    bool limitsWritten; // the three below have been written to this file
    int32_t artistLimit, titleLimit, monitoring;
    uint64_t pass;        // passes seen while the log is on
    uint64_t skipPass;    // the pass that last refused the title below; 0: none
    int32_t skipPosition; // the refused title's position, length and hash, to know it when it is
    uint32_t skipLength;  // read again before the player has moved on
    uint64_t skipHash;
};

// At the worker's start: writes `start` with the limits in force and the plug-in's version when the
// log is on, and sets up `watch`.
void beginAirWatch(AirWatch* watch);

// Once a pass, with the is-playing answer it read: when the log is on, writes `limits` when the
// limits or the switch differ from those last written to this file (or none were), and `playing`,
// `paused` or `stopped` when the answer's state differs from the last written. A file begun during
// the run (the log turned on, or another file) gets the limits, and the state when not stopped.
void watchAirPass(AirWatch* watch, int32_t playingAnswer);

// The time of an event seen now, when the log is on; 0 when it is off (nothing will be written).
uint64_t airEventTime();

// A new title the worker admitted at `at` (airEventTime), recorded and published: writes `played`.
// `index` is the player's playlist index.
void notePlayed(uint64_t at, int32_t index, const char* title);

// A new title refused at `at` for `refusal` (not kNotRefused) against `history`: writes `skipped`
// with the rule, the artist key, the title matched and how far back, unless this same title at this
// same index was refused on the pass before (the player has not moved on yet).
void noteSkipped(AirWatch* watch, uint64_t at, int32_t index, const char* title,
                 const history::Refusal& refusal, const TitleHistory* history);

} // namespace monitor
