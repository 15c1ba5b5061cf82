// What shutDown costs the player, called through the entry with the ring full and the player
// playing: normally, and with the worker blocked in a message to the player; and its last steps
// (the off-line page, the ring's release) timed on their own.
#pragma once

#include "monitor_latency.h"

// shutDown through the entry, normally and with the worker blocked in a message, and its steps.
// `r10` are the pass and the write of the default 10-row page, which the figures are set against.
void runShutDowns(int cycles, const StepCosts& r10);
