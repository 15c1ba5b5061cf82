// A run of the tool's own simulation, or of the simulated player, as the plug-in would have logged
// it: the lines of the air log its record stands for. The prediction reads a simulated run through
// the very code that reads the station's log, so that the two are measured alike; a test holds the
// figures of a real log against those of the record of the same run.
#pragma once

#include <cstdint>
#include <vector>

#include "aired/air_log.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

// What the player did between two tracks of a run, as the log shows it.
struct RecordInterlude {
    int64_t beforeEvent; // it comes before this event of the record (the number of events: at the end)
    int64_t atSeconds;   // the station time it began at
    uint8_t kind;        // kAirPaused or kAirStopped (then kAirPlaying `seconds` later), or kAirLimits
    int64_t seconds;     // paused or stopped: for how long, in station time
    RuleLimits limits;   // kAirLimits: the limits from then on
};

// Appends to `log` the lines the plug-in writes for `record`, in order: its start with `limits` and
// `version`, playing, each track it judged (the refused ones, and each played title that differs
// from the one it recorded last), each of `interludes` (in the order of their events), and at the
// record's end stopped and shutdown. A station time is `start` plus that time plus the pauses and
// stops before it.
void appendRecordLines(const RunRecord& record, RuleLimits limits, const std::string& version, AirTime start,
                       const std::vector<RecordInterlude>& interludes, AirLog* log);

} // namespace sim
