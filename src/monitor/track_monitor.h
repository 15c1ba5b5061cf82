// The track monitor: a worker thread that keeps asking the host what it is playing and, on each
// new title, either has the host skip it (a repeat) or records it and rewrites the status page.
// This room owns the worker's whole lifetime: its start, its exit arrangements and the wait for
// its end. The plug-in's entry, the tests and the benchmarks all go through these two calls.
#pragma once

#include <cstdint>

namespace monitor {

// Starts the worker on a thread of its own. Before the call the history, the settings buffers,
// iniPath and hostWindow are set up and stopRequested is cleared: the worker uses them from its
// first pass, and tests the flag before it. No worker may be running, nor one left behind by a
// stop() that ran out of time.
// Returns true when the thread runs; its handle and id are then in pluginState. Returns false when
// no thread could be made: nothing is held, and stop() has nothing to wait for.
bool start();

enum StopResult : int32_t {
    kEnded = 0,    // the worker has ended, or none was running
    kStillRunning, // the time ran out while a pass was still under way
};

// Sets pluginState.stopRequested, ends the worker's rest between passes if it is resting (so the
// stop never waits for PollInterval to run out), and waits up to `timeoutMs` for it to end, answering
// meanwhile the messages that other threads send to this one (the worker may be blocked in a
// message to the host's window, which only the host's thread answers); nothing else is dispatched,
// and past the deadline it returns whatever keeps arriving. Call it on the thread that owns the
// host window. It is not re-entrant: a message answered during the wait must not call it again.
//
// kEnded: the worker will never touch pluginState again, its thread handle is closed and
// pluginState.workerThread is null. The caller may free the shared state, and the module may be
// unloaded at once: the worker holds its own reference to it until its very last instruction.
// kStillRunning: the worker may still use every part of the shared state, and the caller must
// leave all of it alone. A later stop() waits again.
StopResult stop(uint32_t timeoutMs);

enum FinalPageResult : int32_t {
    kFinalPageWritten = 0,  // written, or the page is switched off
    kFinalPageFailed,       // not written: the file could not be written, or no memory for the page
    kFinalPageStillWriting, // the wait ran out: the write goes on, on its own thread
};

// The page's last write, at shut-down: after stop() returned kEnded, with pluginState.playing 0,
// writes the page once more (off-line), on a thread of its own that holds its own copies of the
// page and the file name, and waits for it about a second when the worker's last write failed
// slowly (a network folder whose server may still be gone), else up to 5 s. A write still blocked
// then is left to end by itself, so the player's exit never waits on a folder longer, and the
// caller may free the shared state at once; a folder that answers again gets its off-line page.
FinalPageResult writeFinalPage();

} // namespace monitor
