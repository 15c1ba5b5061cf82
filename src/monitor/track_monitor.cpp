// The track monitor's loop and the worker thread's lifetime. The loop never waits on a timer:
// between passes it only yields its time slice, so a new track is seen within one pass; it blocks
// only inside the synchronous host messages.
#include "monitor/track_monitor.h"

#include <windows.h>

#include <cstring>

#include "common/plugin_state.h"
#include "history/repeat_filter.h"
#include "history/title_history.h"
#include "host/host_messages.h"
#include "page/page_file.h"

namespace {

// After a title could not be recorded (the heap refused its copy), the new-title handling rests for
// this many passes before it tries again, so that a long shortage of memory does not run the
// filter and the allocation on every pass. A pass takes well under a millisecond.
constexpr int32_t kPassesBeforeRetry = 1000;

// A page write that failed (a web server or a virus scanner holding the file without write
// sharing, a network folder gone for a moment) is tried again this often until it succeeds or the
// next track's write replaces it: soon enough that listeners see the track once the file is free,
// seldom enough that a file held for hours costs nothing a pass would notice.
constexpr ULONGLONG kPageRetryIntervalMs = 1000;

// The page write still owed after a failure; the page writer itself keeps no state. Worker only.
struct PageRetry {
    bool owed;
    ULONGLONG dueAt; // GetTickCount64() time of the next attempt
};

// What the worker needs to end cleanly. Host thread only, but for the copy the worker takes as it
// starts: start() fills it in before the thread exists.
struct WorkerExit {
    // A reference to our own module that the worker holds until its very last instruction, so
    // that a worker outliving a timed-out stop() never runs in an unloaded module.
    HMODULE moduleReference;
    // Set by the worker once it has left the shared state for good. With the reference held, stop()
    // need not wait for the thread's own teardown, which is slow on some systems.
    HANDLE endedEvent;
};
WorkerExit workerExit = {};

// One pass of questions to the host: stores the is-playing answer in pluginState.playing and
// returns the current entry's title, or null when stopped or when the host has none.
const char* poll() {
    pluginState.playing = host::isPlaying();
    if (pluginState.playing == 0)
        return nullptr;
    return host::getPlaylistTitle(host::getPlaylistPosition());
}

// Notes how a page write went: after a failure the page is owed, and tried again in a second.
void notePageWrite(PageRetry* retry, bool written) {
    retry->owed = !written;
    retry->dueAt = GetTickCount64() + kPageRetryIntervalMs;
}

// Handles pluginState.currentTitle as a new track: has the host skip it when the repeat filter
// refuses it (and monitoring is on), else records it and rewrites the page, noting in `pageRetry`
// whether the page is still owed. Returns false when the title was admitted but could not be
// recorded; the page is then left as it was.
bool handleNewTitle(PageRetry* pageRetry) {
    const PluginSettings& settings = pluginState.settings;
    const char* title = pluginState.currentTitle;
    if (settings.EnablePlaylistMonitoring != 0 &&
        !history::admits(pluginState.history, title, settings.SameArtistCheckLimit,
                         settings.SameTitleCheckLimit)) {
        host::nextTrack();
        return true;
    }
    if (!history::append(pluginState.history, title))
        return false;
    // The page reads the current title twice, to measure and then to fill; the history's copy, just
    // made from the same bytes, holds still where the host's own text may not.
    pluginState.currentTitle = history::newest(pluginState.history);
    notePageWrite(pageRetry, page::write());
    return true;
}

// Writes the page owed since a failed write, once its second has passed. The page owed shows the
// newest recorded track as playing, so it is written only while the host plays: a stopped host's
// page would say off-line, which only shut-down may write.
void writeOwedPage(PageRetry* retry) {
    if (!retry->owed || pluginState.playing == 0 || GetTickCount64() < retry->dueAt)
        return;
    pluginState.currentTitle = history::newest(pluginState.history);
    notePageWrite(retry, page::write());
}

// The loop: tests stopRequested before the first pass and after each, and returns 0.
DWORD workerMain() {
    int32_t passesBeforeRetry = 0; // worker only: counts down after a title could not be recorded
    PageRetry pageRetry = {false, 0};
    while (pluginState.stopRequested == 0) {
        pluginState.currentTitle = poll();
        const char* title = pluginState.currentTitle;
        if (title != nullptr && std::strcmp(title, history::newest(pluginState.history)) != 0) {
            if (passesBeforeRetry > 0)
                passesBeforeRetry--;
            else if (!handleNewTitle(&pageRetry))
                passesBeforeRetry = kPassesBeforeRetry;
        }
        writeOwedPage(&pageRetry);
        Sleep(0);
    }
    return 0;
}

DWORD WINAPI workerThreadMain(LPVOID) {
    const WorkerExit exit = workerExit; // copied first: stop() resets it once the event is set
    const DWORD result = workerMain();
    if (exit.moduleReference == nullptr)
        return result; // stop() waits for the thread itself
    SetEvent(exit.endedEvent);
    FreeLibraryAndExitThread(exit.moduleReference, result);
}

// Forgets the worker's exit arrangements; `workerRan` when the worker has released the module
// reference itself.
void releaseWorkerExit(bool workerRan) {
    if (workerExit.moduleReference != nullptr && !workerRan)
        FreeLibrary(workerExit.moduleReference);
    if (workerExit.endedEvent != nullptr)
        CloseHandle(workerExit.endedEvent);
    workerExit = {};
}

// Waits until `ended` is signalled, answering only the messages sent to this thread. Returns true
// once it is, false once `timeoutMs` has passed, however many messages keep arriving: the deadline
// is tested before every wait and every round of answers.
bool waitAnsweringSentMessages(HANDLE ended, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0;
        // MWMO_INPUTAVAILABLE: a message already waiting wakes it too, not only a new arrival.
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &ended, static_cast<DWORD>(deadline - now),
                                                        QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0; // timed out, or the wait failed
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE); // answers them
    }
}

} // namespace

namespace monitor {

bool start() {
    workerExit.endedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (workerExit.endedEvent == nullptr ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&workerThreadMain), &workerExit.moduleReference))
        workerExit.moduleReference = nullptr; // then stop() waits for the thread's end instead
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, workerThreadMain, nullptr, 0, &threadId);
    if (thread == nullptr)
        releaseWorkerExit(false);
    pluginState.workerThread = thread;
    pluginState.workerThreadId = thread != nullptr ? threadId : 0;
    return thread != nullptr;
}

StopResult stop(uint32_t timeoutMs) {
    pluginState.stopRequested = 1;
    HANDLE thread = static_cast<HANDLE>(pluginState.workerThread);
    if (thread == nullptr)
        return kEnded;
    HANDLE ended = workerExit.moduleReference != nullptr ? workerExit.endedEvent : thread;
    if (!waitAnsweringSentMessages(ended, timeoutMs))
        return kStillRunning;
    CloseHandle(thread);
    pluginState.workerThread = nullptr;
    pluginState.workerThreadId = 0;
    releaseWorkerExit(true);
    return kEnded;
}

} // namespace monitor
