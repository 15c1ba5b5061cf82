// How fast the plug-in notices a new track and has its page on disk, against the floor of one
// pass and one page write: the messages' own cost first, then for one page setting the steady
// state, title changes at random points of a pass (each page checked byte for byte) and the write
// alone.
#pragma once

#include <windows.h>

#include <cstdint>

// One pass and one page write, medians.
struct StepCosts {
    double passUs, writeUs;
};

// One-way time of a message from another thread to the player's window, as the worker's are sent:
// the slack of the "page on disk" bound, which is stamped at such an arrival.
void calibrateMessages();

// Steady state, title changes and the write floor for one page setting.
StepCosts runPageSetting(int32_t rows, int changes, int windows, DWORD windowMs);
