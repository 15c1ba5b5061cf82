// The worker's main loop: it keeps asking the host what is playing, and on each new title either
// has the host skip it (a repeat) or records it and rewrites the status page.
#pragma once

#include <windows.h>

namespace monitor {

// Thread entry for CreateThread. The parameter is ignored. Loops until pluginState.stopRequested
// is set, testing it before the first pass and after each, and returns 0.
DWORD WINAPI workerMain(LPVOID unused);

// One pass of questions to the host: stores the is-playing answer in pluginState.playing and
// returns the current entry's title, or null when stopped or when the host has none.
const char* poll();

// Handles pluginState.currentTitle as a new track: skip it if the repeat filter refuses it
// (and monitoring is on), else record it and rewrite the page.
void handleNewTitle();

} // namespace monitor
