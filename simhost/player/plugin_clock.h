// The time the plug-in reads. It takes the time of day from one import, kernel32's
// GetSystemTimeAsFileTime, and ships with no switch for tests; a fast run plays days in seconds, so
// the simulated player, which loads the DLL itself, points that import at its own clock: the real
// time, until a fast run sets the station clock, whose time is then the plug-in's.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sim {

// Points the loaded `module`'s import of GetSystemTimeAsFileTime at the player's clock; false when
// it has no such import (it then keeps reading the real time).
bool bindPluginClock(HMODULE module);

// From now on the plug-in reads `utcMs` (milliseconds since 1970 UTC) as the time, until the next
// call; any thread may call it.
void setStationClock(int64_t utcMs);

// The real time again.
void releaseStationClock();

// The real time now, in milliseconds since 1970 UTC, down to the whole second: where a fast run's
// station clock starts.
int64_t realSecondsNow();

} // namespace sim
