// The station's own limits in the sweep.
#include "tuning/station_limits.h"

#include <algorithm>

namespace {

// A limit as the plug-in acts on it: below 0 no check, above 1000 the whole history it keeps.
int32_t limitActedOn(int32_t limit) {
    return std::clamp(limit, 0, kHistoryRingSize);
}

// Inserts `value` into the ascending `limits` unless it is there; true when it was added.
bool insertLimit(std::vector<int32_t>* limits, int32_t value) {
    const auto at = std::lower_bound(limits->begin(), limits->end(), value);
    if (at != limits->end() && *at == value)
        return false;
    limits->insert(at, value);
    return true;
}

} // namespace

namespace sim {

StationLimits stationLimitsOf(bool iniFound, RuleLimits read) {
    StationLimits station = {};
    station.source = !iniFound ? kStationNoIni : !read.monitoring ? kStationFilterOff : kStationFromIni;
    station.held = {limitActedOn(read.artistLimit), limitActedOn(read.titleLimit)};
    station.evaluated = station.source == kStationFilterOff ? SweepSetting{0, 0} : station.held;
    return station;
}

void includeStationLimits(SweepPlan* plan, StationLimits* station) {
    station->artistAdded = insertLimit(&plan->artistLimits, station->evaluated.artistLimit);
    station->titleAdded = insertLimit(&plan->titleLimits, station->evaluated.titleLimit);
}

int32_t stationRow(const std::vector<SweepRow>& rows, const StationLimits& station) {
    for (size_t i = 0; i < rows.size(); i++)
        if (rows[i].setting.artistLimit == station.evaluated.artistLimit &&
            rows[i].setting.titleLimit == station.evaluated.titleLimit)
            return static_cast<int32_t>(i);
    return -1;
}

} // namespace sim
