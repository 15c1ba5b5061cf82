// What the worker's polling costs the player against how fast it notices a new track: the pass rate
// and CPU shares with the player stopped, and the curve of both for each PollInterval from 0 (the
// continuous poll) to 50 ms (monitor_bench --cpu-only).
#pragma once

#include <windows.h>

// Pass rate and shares while the player is stopped: one message per pass.
void runStopped(int windows, DWORD windowMs);

// The whole curve, and a table of it against the goal: at 5 ms under 5 % of one core for the whole
// process, and a detection median within the interval, one pass and one page write.
void runIntervalCurve(int windows, DWORD windowMs, int changes);
