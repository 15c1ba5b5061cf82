// How fast the plug-in notices a new track and has its page on disk, against the floor of one
// pass and one page write: the messages' own cost first, then for one page setting the steady
// state, title changes at random points of a pass (each page checked byte for byte) and the write
// alone.
#pragma once

#include <windows.h>

#include <cstdint>

#include <vector>

// One pass and one page write, medians.
struct StepCosts {
    double passUs, writeUs;
};

// Title changes timed one after another: for each, change to page on disk, of it change to title
// read, and title read to the next pass; and how many pages were checked right or wrong.
struct ChangeTimes {
    std::vector<double> latency, detect, publish;
    int32_t verified, wrong;
};

// One-way time of a message from another thread to the player's window, as the worker's are sent:
// the slack of the "page on disk" bound, which is stamped at such an arrival.
void calibrateMessages();

// `changes` title changes at random points of a pass, with the worker running on the current state:
// each after a rest of 0 to 2 passes (`passUs` each) once the page of the one before is on disk
// and checked; appended to `times`.
void timeChanges(int changes, double passUs, ChangeTimes* times);

// Steady state, title changes and the write floor for one page setting.
StepCosts runPageSetting(int32_t rows, int changes, int windows, DWORD windowMs);
