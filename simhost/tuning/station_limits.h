// The limits the station runs with now, as the sweep evaluates them beside its answer: on the same
// seeds and length as every other setting, so that "now" and "recommended" compare figure for
// figure. When the ranges asked for do not hold them, each of the two values is added to its range
// as one more column or row of the grid (never by stretching a step), so that the maps can mark it.
#pragma once

#include <cstdint>
#include <vector>

#include "tuning/rule_mirror.h"
#include "tuning/sweep.h"

namespace sim {

// Where the station's limits come from.
enum StationSource : int32_t {
    kStationFromIni,   // plugin.ini's two limits, the filter on
    kStationNoIni,     // no plugin.ini: the plug-in's defaults, both limits 0
    kStationFilterOff, // EnablePlaylistMonitoring=0: nothing is refused, whatever the limits
};

struct StationLimits {
    int32_t source;         // a StationSource
    SweepSetting held;      // as plugin.ini holds them, taken as the plug-in takes them (0..1000)
    SweepSetting evaluated; // what the station plays like: `held`, or 0 / 0 with the filter off
    bool artistAdded;       // the evaluated artist limit was not among those asked: added
    bool titleAdded;        // likewise the title limit
};

// The station's limits from what plugin.ini held (`read`, as limitsOf gives it; the defaults when
// the file was not found): a limit below 0 makes no check (0), one above 1000 acts as 1000.
StationLimits stationLimitsOf(bool iniFound, RuleLimits read);

// Adds `station`'s evaluated limits to `plan`'s limits where they are missing, each in its place
// in ascending order, and notes which were added.
void includeStationLimits(SweepPlan* plan, StationLimits* station);

// The row of `rows` that holds `station`'s evaluated setting; -1 when there is none (a sweep cut
// short before it).
int32_t stationRow(const std::vector<SweepRow>& rows, const StationLimits& station);

} // namespace sim
