// A run that loops: the plug-in has recorded one title, then refused every entry with another
// title in a whole lap (RunRecord's loop laps). Nothing it holds changes after that, so it refuses
// those entries for good, and only that title plays, unjudged, again and again. The rest of such
// a run follows from the play order alone: it is worked out here a play at a time, from where the
// title's entries stand in the dealt rounds, without playing each refused track.
#pragma once

#include <cstdint>

#include "playlist/play_order.h"
#include "tuning/dealt_rounds.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

// Moves on a run that keeps no refused tracks (keepsRefusals false) and whose track at `order`
// has just been recorded as played, for as long as it loops, up to the last play after which it
// still runs: short of `stationSeconds` and of a full record. `record` and `order` end as playing
// each track would have left them: every play recorded as recordPlay records it (which changes
// nothing in `mirror`, the run's), every refusal counted as recordRefusal counts it, `order` at
// the last play. `order` must have been advanced from dealt->first. Returns the plays made: 0 when
// the run does not loop, or its next play would end it.
int32_t forwardLoop(RuleMirror* mirror, DealtRounds* dealt, int64_t stationSeconds, PlayOrder* order,
                    RunRecord* record);

} // namespace sim
