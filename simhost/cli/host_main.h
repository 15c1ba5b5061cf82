// The simulated player's whole program behind its command line, shared by songbeacon-host, which
// runs it as typed, and songbeacon-tune, which runs a sweep through it on the operator's PC.
#pragma once

#include "cli/sweep_main.h"

namespace sim {

// Parses `argv` (the program's name, the plug-in DLL, the playlist, then options) and runs what it
// asks for, printing to stdout. `typedCommand`, when not null, is the command the operator typed,
// for the line that repeats a sweep; a sweep's answer goes to `answer` when not null. Returns the
// exit status (options.h lists them).
int hostMain(int argc, char** argv, const char* typedCommand, SweepAnswer* answer);

} // namespace sim
