// The export and the three callbacks. Everything is set up in startUp and torn down in shutDown;
// loading and unloading the module run none of this code.
#include "host/plugin_entry.h"

#include <cstdint>

#include "common/empty_string.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/title_history.h"
#include "host/description.h"
#include "host/host_messages.h"
#include "monitor/track_monitor.h"
#include "page/page_file.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "ui/config_dialog.h"

namespace {

constexpr int32_t kMinimumHostVersion = 0x205;
constexpr char kHostTooOldText[] = "The Songbeacon Plug-In requires WinAmp v2.05 or higher!";
constexpr char kInitFailedText[] = "Error initializing Songbeacon!";

// How long shutDown waits for the worker's last pass. A pass takes microseconds; only a host that
// never answers a message (or a page write that hangs) could keep it longer.
constexpr DWORD kWorkerEndTimeoutMs = 5000;

// kAbandoned: shutDown gave up waiting for the worker, which still owns the shared state.
enum Lifecycle : int32_t { kLoaded, kRefused, kRunning, kStopped, kAbandoned };
Lifecycle lifecycle = kLoaded; // host thread only

// What the worker needs to end cleanly; the host thread sets it before the worker starts.
struct WorkerExit {
    // A reference to our own module that the worker holds until its very last instruction, so
    // that a worker outliving a timed-out shutDown never runs in an unloaded module.
    HMODULE moduleReference;
    // Set by the worker once it has left the shared state for good. With the reference held,
    // shutDown need not wait for the thread's own teardown, which is slow on some systems.
    HANDLE endedEvent;
};
WorkerExit workerExit = {}; // host thread only, but for the copy the worker takes as it starts

int startUp();
void configure();
void shutDown();

PluginDescriptor descriptor = {0x10, sharedEmptyString, startUp, configure, shutDown, nullptr, nullptr};

DWORD WINAPI workerThreadMain(LPVOID unused) {
    const WorkerExit exit = workerExit; // copied first: shutDown may reset it once the event is set
    const DWORD result = monitor::workerMain(unused);
    if (exit.moduleReference == nullptr)
        return result; // shutDown waits for the thread itself
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

void startWorker() {
    workerExit.endedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (workerExit.endedEvent == nullptr ||
        !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&workerThreadMain), &workerExit.moduleReference))
        workerExit.moduleReference = nullptr; // then shutDown waits for the thread's end instead
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, workerThreadMain, nullptr, 0, &threadId);
    if (thread == nullptr)
        releaseWorkerExit(false);
    pluginState.workerThread = thread;
    pluginState.workerThreadId = threadId;
}

// Waits for the worker to end while answering the messages other threads send to this one: the
// worker may be blocked in a message to the host's window, which only this thread can answer.
// Returns true once the worker has ended (or there was none), false when the time ran out.
bool waitForWorkerEnd(DWORD timeoutMs) {
    if (pluginState.workerThread == nullptr)
        return true;
    HANDLE ended = workerExit.moduleReference != nullptr ? workerExit.endedEvent
                                                         : static_cast<HANDLE>(pluginState.workerThread);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // Answer what is already waiting first: the wait below wakes only for messages that
        // arrive after the queue was last looked at.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD woken = MsgWaitForMultipleObjectsEx(1, &ended, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0)
            return true;
        if (woken != WAIT_OBJECT_0 + 1)
            return WaitForSingleObject(ended, 0) == WAIT_OBJECT_0; // timed out (or the wait failed)
    }
}

void describe() {
    char modulePath[kDescriptionCapacity];
    const DWORD length = GetModuleFileNameA(descriptor.moduleInstance, modulePath, sizeof modulePath);
    modulePath[length < sizeof modulePath ? length : sizeof modulePath - 1] = '\0';
    host::formatDescription(modulePath, pluginState.descriptionBuffer, sizeof pluginState.descriptionBuffer);
    descriptor.descriptionText = pluginState.descriptionBuffer;
}

// Frees what startUp allocated; each piece may be missing.
void releaseState() {
    memory::release(pluginState.iniPath);
    pluginState.iniPath = nullptr;
    history::destroy(pluginState.history);
    pluginState.history = nullptr;
    settings::releaseTextBuffers();
}

int startUp() {
    if (lifecycle == kRunning)
        return 0;
    if (lifecycle == kAbandoned)
        return 1;
    pluginState.hostWindow = descriptor.hostWindow;
    if (host::getVersion() < kMinimumHostVersion) {
        MessageBoxA(nullptr, kHostTooOldText, "Error", MB_OK);
        lifecycle = kRefused;
        return 1;
    }
    pluginState.iniPath = static_cast<char*>(memory::allocate(kIniPathCapacity));
    if (pluginState.iniPath != nullptr)
        settings::buildIniPath(descriptor.moduleInstance);
    pluginState.stopRequested = 0;
    pluginState.playing = 0;
    pluginState.currentTitle = nullptr;
    pluginState.history = history::create(kHistoryRingSize);
    if (pluginState.iniPath == nullptr || pluginState.history == nullptr ||
        !settings::allocateTextBuffers()) {
        releaseState(); // nothing half set up: the plug-in stays inert, as after a refused start
        lifecycle = kRefused;
        return 1;
    }
    settings::load();
    settings::save();

    startWorker();
    if (pluginState.workerThread != nullptr)
        describe();
    else
        descriptor.descriptionText = kInitFailedText;
    lifecycle = kRunning;
    return 0;
}

void configure() {
    if (lifecycle != kRunning)
        return;
    settings::load();
    ui::runConfigDialog(descriptor.moduleInstance, descriptor.hostWindow);
}

void shutDown() {
    if (lifecycle != kRunning)
        return;
    pluginState.stopRequested = 1;
    const bool workerEnded = waitForWorkerEnd(kWorkerEndTimeoutMs);
    if (pluginState.workerThread != nullptr)
        CloseHandle(static_cast<HANDLE>(pluginState.workerThread));
    pluginState.workerThread = nullptr;
    if (!workerEnded) {
        lifecycle = kAbandoned; // a pass is still running: leave it everything it may use
        return;
    }
    lifecycle = kStopped;
    releaseWorkerExit(true);

    pluginState.playing = 0;
    page::write();
    releaseState();
}

} // namespace

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin() {
    return &descriptor;
}
