// The air log's one clock. Every time the log holds is read here, from GetSystemTimeAsFileTime and
// nothing else, and only turned into the station's local time here: so a stand-in player that
// runs days on a clock of its own can give the plug-in that clock through this one import.
#pragma once

#include <cstdint>

#include "airlog/air_line.h"

namespace airlog {

// Now, in UTC: 100-nanosecond units since 1601 (a FILETIME's value).
uint64_t clockNow();

// The time field for `utc` (a clockNow() value) in the machine's time zone, by its rules for that
// date, into `out`. When the zone cannot be worked out, the field gives the time in UTC with the
// offset +00:00, which is as true. Returns what formatTime returns.
size_t formatLocalTime(uint64_t utc, char* out, size_t capacity);

} // namespace airlog
