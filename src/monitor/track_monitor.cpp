// The track monitor's loop and the worker thread's lifetime. By default the loop never waits on a
// timer: between passes it only yields its time slice, so a new track is seen within one pass; it
// blocks only inside the synchronous host messages and the page write. An operator who wants the
// core back sets PollInterval, and the worker then rests that long between passes, on a wait that
// stop() ends at once.
#include "monitor/track_monitor.h"

#include <windows.h>

#include <atomic>
#include <cstring>

#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/repeat_filter.h"
#include "history/title_history.h"
#include "host/host_messages.h"
#include "monitor/air_events.h"
#include "page/page_file.h"

namespace {

// After a title could not be recorded (the heap refused its copy), the new-title handling rests for
// about a second's worth of passes before it tries again, so that a long shortage of memory does
// not run the filter and the allocation on every pass: this many passes of the continuous poll
// (a pass takes well under a millisecond), or a second's worth of PollInterval.
constexpr int32_t kPassesBeforeRetry = 1000;
constexpr int32_t kRetryRestMs = 1000;

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803), which the toolchain's headers lack.
// Older systems refuse the flag, and the rest then waits without a timer.
constexpr DWORD kHighResolutionTimer = 0x00000002;

// A page write that failed is tried again later; how much later depends on how long the failed
// attempt took, because the worker neither polls nor judges tracks while it writes.
// - A quick failure (a web server or a virus scanner holding the file without write sharing) is
//   tried again after kQuickRetryMs: soon enough that listeners see the track once the file is
//   free, seldom enough that a file held for hours costs nothing a pass would notice. A new track's
//   write is tried at once, as if nothing had failed.
// - A slow failure (a page on a network folder whose server has gone: each open can block for 20 to
//   60 seconds before it fails) holds back every write, the owed one and each new track's alike,
//   for ten times what it took and never less than kSlowRetryMs. So failing writes take at most one
//   part in eleven of the worker's time, whatever the folder does, and in between it polls and
//   filters as usual; a listener's browser reloads the page once a minute anyway, so a page tried
//   again once a minute is hardly staler than the one the listener already sees.
// An attempt is slow once it takes kSlowAttemptMs: a local file fails far quicker, and below that
// the quick retry already keeps the writes under a tenth of the worker's time.
constexpr ULONGLONG kQuickRetryMs = 1000;
constexpr ULONGLONG kSlowAttemptMs = 100;
constexpr ULONGLONG kSlowRetryMs = 60000;
constexpr ULONGLONG kSlowRetryFactor = 10;

// The off-line page at shut-down is always tried, on a thread of its own, and the player's exit
// waits for it only so long: about a second when the worker's last write failed slowly (a folder
// that may still be gone, and may block the exit as long again; one that has come back answers well
// within it), else kFinalWriteWaitMs, ample for any folder that answers. A write still blocked then
// goes on by itself and ends when the folder answers or fails.
constexpr DWORD kFinalWriteAfterSlowFailureMs = 1000;
constexpr DWORD kFinalWriteWaitMs = 5000;

// The page write still owed after a failure; the page writer itself keeps no state. Worker only.
struct PageRetry {
    bool owed;       // the newest recorded track is not on the page yet
    bool slowHold;   // the last attempt failed slowly: no write at all before dueAt
    ULONGLONG dueAt; // GetTickCount64() time of the next attempt
};

// 32-bit atomic: 1 when the worker's last page write failed slowly. Written by the worker as it ends
// (and cleared by start()), read by the host thread once stop() has seen the worker end.
std::atomic<int32_t> lastWriteFailedSlowly{0};

// The rest between passes. Worker only.
struct PassRest {
    HANDLE wake;  // set by stop(), so that a rest ends at once; null: rests are plain sleeps
    HANDLE timer; // a high-resolution waitable timer, made at the first rest; null when there is none
    bool timerTried;
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
    // Set by stop() to end the worker's rest between passes at once. Made by start(), closed with
    // the others once the worker has ended.
    HANDLE wakeEvent;
};
WorkerExit workerExit = {};

// One pass of questions to the host: stores the is-playing answer in pluginState.playing and
// returns the current entry's title, or null when stopped or when the host has none. `position`
// receives the entry's index as the host gave it (when playing).
const char* poll(int32_t* position) {
    pluginState.playing = host::isPlaying();
    if (pluginState.playing == 0)
        return nullptr;
    *position = host::getPlaylistPosition();
    return host::getPlaylistTitle(*position);
}

// Writes the page for the current state and notes how it went in `retry`: nothing owed after a
// success; after a failure the page is owed, and the next attempt waits by the rule above.
void writePage(PageRetry* retry) {
    const ULONGLONG started = GetTickCount64();
    const bool written = page::write();
    const ULONGLONG ended = GetTickCount64();
    const ULONGLONG took = ended - started;
    retry->owed = !written;
    retry->slowHold = !written && took >= kSlowAttemptMs;
    if (written)
        retry->dueAt = ended;
    else if (retry->slowHold)
        retry->dueAt =
            ended + (took * kSlowRetryFactor > kSlowRetryMs ? took * kSlowRetryFactor : kSlowRetryMs);
    else
        retry->dueAt = ended + kQuickRetryMs;
}

// Handles pluginState.currentTitle, at playlist index `position`, as a new track: has the host
// skip it when the repeat filter refuses it (and monitoring is on), else records it and rewrites
// the page, noting in `pageRetry` whether the page is still owed. Either way the air log hears of
// it (`air`) once the host has been told or the page written. Returns false when the title was
// admitted but could not be recorded; the page is then left as it was.
bool handleNewTitle(PageRetry* pageRetry, monitor::AirWatch* air, int32_t position) {
    const PluginSettings& settings = pluginState.settings;
    const char* title = pluginState.currentTitle;
    if (settings.EnablePlaylistMonitoring != 0) {
        const history::Refusal refusal = history::findRefusal(
            pluginState.history, title, settings.SameArtistCheckLimit, settings.SameTitleCheckLimit);
        if (refusal.scan != history::kNotRefused) {
            const uint64_t refusedAt = monitor::airEventTime();
            host::nextTrack();
            monitor::noteSkipped(air, refusedAt, position, title, refusal, pluginState.history);
            return true;
        }
    }
    if (!history::append(pluginState.history, title))
        return false;
    const uint64_t admittedAt = monitor::airEventTime();
    // The page reads the current title twice, to measure and then to fill; the history's copy, just
    // made from the same bytes, holds still where the host's own text may not.
    pluginState.currentTitle = history::newest(pluginState.history);
    if (pageRetry->slowHold && GetTickCount64() < pageRetry->dueAt)
        pageRetry->owed = true; // counts as an attempt: written when the hold is over
    else
        writePage(pageRetry);
    monitor::notePlayed(admittedAt, position, pluginState.currentTitle);
    return true;
}

// Writes the page owed since a failed write, once its wait is over. The page owed shows the newest
// recorded track as playing, so it is written only while the host plays: a stopped host's page
// would say off-line, which only shut-down may write.
void writeOwedPage(PageRetry* retry) {
    if (!retry->owed || pluginState.playing == 0 || GetTickCount64() < retry->dueAt)
        return;
    pluginState.currentTitle = history::newest(pluginState.history);
    writePage(retry);
}

// Rests between passes. With PollInterval 0 it only yields the rest of the time slice, the
// continuous poll. Otherwise it waits PollInterval milliseconds, or until stop() sets the wake
// event. Windows ends a plain timed wait on its clock tick, 15.6 ms unless some program has raised
// the clock rate with timeBeginPeriod; a high-resolution waitable timer (Windows 10 1803 and later)
// ends within about a millisecond without raising the clock rate for the whole machine, which
// timeBeginPeriod would do on older systems at a cost in power to every program. Where there is no
// such timer, the wait ends at the tick: at most one tick late, never early.
void restBetweenPasses(PassRest* rest) {
    const int32_t interval = pluginState.settings.PollInterval;
    if (interval <= 0) {
        Sleep(0);
        return;
    }
    if (rest->wake == nullptr) {
        Sleep(static_cast<DWORD>(interval)); // no event: stop() then waits at most one interval
        return;
    }
    if (!rest->timerTried) {
        rest->timerTried = true;
        rest->timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    }
    LARGE_INTEGER due;
    due.QuadPart = -10000LL * interval; // relative, in 100 ns units
    if (rest->timer != nullptr && SetWaitableTimer(rest->timer, &due, 0, nullptr, nullptr, FALSE)) {
        HANDLE either[2] = {rest->wake, rest->timer};
        // The time limit only guards against a timer that never fires.
        WaitForMultipleObjects(2, either, FALSE, static_cast<DWORD>(interval) * 2 + 20);
        return;
    }
    WaitForSingleObject(rest->wake, static_cast<DWORD>(interval));
}

// How many passes the new-title handling rests after a title could not be recorded.
int32_t passesInRetryRest() {
    const int32_t interval = pluginState.settings.PollInterval;
    if (interval <= 0)
        return kPassesBeforeRetry;
    return interval < kRetryRestMs ? kRetryRestMs / interval : 1;
}

// The loop: tests stopRequested before the first pass and after each, and returns 0. `wake` is the
// event stop() sets, or null.
DWORD workerMain(HANDLE wake) {
    int32_t passesBeforeRetry = 0; // worker only: counts down after a title could not be recorded
    PageRetry pageRetry = {false, false, 0};
    PassRest rest = {wake, nullptr, false};
    monitor::AirWatch air;
    monitor::beginAirWatch(&air);
    while (pluginState.stopRequested == 0) {
        int32_t position = 0;
        pluginState.currentTitle = poll(&position);
        monitor::watchAirPass(&air, pluginState.playing);
        const char* title = pluginState.currentTitle;
        if (title != nullptr && std::strcmp(title, history::newest(pluginState.history)) != 0) {
            if (passesBeforeRetry > 0)
                passesBeforeRetry--;
            else if (!handleNewTitle(&pageRetry, &air, position))
                passesBeforeRetry = passesInRetryRest();
        }
        writeOwedPage(&pageRetry);
        restBetweenPasses(&rest);
    }
    if (rest.timer != nullptr)
        CloseHandle(rest.timer);
    lastWriteFailedSlowly = pageRetry.slowHold ? 1 : 0;
    return 0;
}

DWORD WINAPI workerThreadMain(LPVOID) {
    const WorkerExit exit = workerExit; // copied first: stop() resets it once the event is set
    const DWORD result = workerMain(exit.wakeEvent);
    if (exit.moduleReference == nullptr)
        return result; // stop() waits for the thread itself
    SetEvent(exit.endedEvent);
    FreeLibraryAndExitThread(exit.moduleReference, result);
}

// The off-line page's write at shut-down, handed to a thread of its own: the page and its file name
// are its own copies and this block is its own, so that it never touches the shared state, which
// shutDown frees while the write may still be blocked; its reference to our module keeps the code
// it runs loaded until its last instruction, as the worker's does.
struct FinalWrite {
    HMODULE moduleReference;
    page::PageCopy page;
};

DWORD WINAPI finalWriteThreadMain(LPVOID parameter) {
    auto* job = static_cast<FinalWrite*>(parameter);
    const HMODULE module = job->moduleReference;
    const bool written = page::writeAndRelease(&job->page);
    memory::release(job);
    FreeLibraryAndExitThread(module, written ? monitor::kFinalPageWritten : monitor::kFinalPageFailed);
}

// Forgets the worker's exit arrangements; `workerRan` when the worker has released the module
// reference itself.
void releaseWorkerExit(bool workerRan) {
    if (workerExit.moduleReference != nullptr && !workerRan)
        FreeLibrary(workerExit.moduleReference);
    if (workerExit.endedEvent != nullptr)
        CloseHandle(workerExit.endedEvent);
    if (workerExit.wakeEvent != nullptr)
        CloseHandle(workerExit.wakeEvent);
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
    lastWriteFailedSlowly = 0;
    workerExit.wakeEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
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
    if (workerExit.wakeEvent != nullptr)
        SetEvent(workerExit.wakeEvent); // ends a rest between passes at once
    HANDLE ended = workerExit.moduleReference != nullptr ? workerExit.endedEvent : thread;
    if (!waitAnsweringSentMessages(ended, timeoutMs))
        return kStillRunning;
    CloseHandle(thread);
    pluginState.workerThread = nullptr;
    pluginState.workerThreadId = 0;
    releaseWorkerExit(true);
    return kEnded;
}

FinalPageResult writeFinalPage() {
    page::PageCopy copy;
    const page::CopyResult copied = page::copyCurrent(&copy);
    if (copied != page::kCopied)
        return copied == page::kPageOff ? kFinalPageWritten : kFinalPageFailed;
    auto* job = static_cast<FinalWrite*>(memory::allocate(sizeof(FinalWrite)));
    HMODULE module = nullptr;
    HANDLE thread = nullptr;
    if (job != nullptr && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                             reinterpret_cast<LPCSTR>(&finalWriteThreadMain), &module)) {
        *job = {module, copy};
        thread = CreateThread(nullptr, 0, finalWriteThreadMain, job, 0, nullptr);
        if (thread == nullptr)
            FreeLibrary(module);
    }
    if (thread == nullptr) { // no thread to leave the write to: written here, once
        memory::release(job);
        return page::writeAndRelease(&copy) ? kFinalPageWritten : kFinalPageFailed;
    }
    const DWORD waitMs = lastWriteFailedSlowly != 0 ? kFinalWriteAfterSlowFailureMs : kFinalWriteWaitMs;
    DWORD result = kFinalPageStillWriting;
    if (WaitForSingleObject(thread, waitMs) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &result))
        result = kFinalPageStillWriting;
    CloseHandle(thread);
    return static_cast<FinalPageResult>(result);
}

} // namespace monitor
