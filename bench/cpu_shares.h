// How busy the player's process is while the worker runs: the shares of the wall time that the host
// thread, the player's own window procedure, the worker and the whole process spend on the CPU over
// a few windows of steady state, and the rate of the worker's passes.
#pragma once

#include <windows.h>

#include <string>

struct Shares {
    double passesPerSecond, hostCpu, hostInProc, workerCpu, processCpu;
};

// Pumps for `windows` windows of `ms` each with no title change; prints the medians (readable and as
// figures named after `label`) and returns them.
Shares steadyShares(HANDLE worker, const std::string& label, int windows, DWORD ms);
