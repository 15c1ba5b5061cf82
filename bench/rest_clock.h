// Which clock ends the worker's rest between passes on this system: the high-resolution waitable
// timer (Windows 10 1803 and later), or the clock tick where that is refused. The PollInterval
// curve means something different in each case, so the benchmark says which one it ran on.
#pragma once

// Prints whether the high-resolution timer is granted, the clock tick, and how long a 10 ms rest
// taken as the worker takes it lasts (median of a few), as readable lines and as figures.
void reportRestClock();
