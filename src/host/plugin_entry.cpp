// The export and the three callbacks. Everything is set up in startUp and torn down in shutDown;
// loading and unloading the module run none of this code.
#include "host/plugin_entry.h"

#include <cstdint>

#include "airlog/air_log.h"
#include "airlog/air_path.h"
#include "common/empty_string.h"
#include "common/memory.h"
#include "common/plugin_state.h"
#include "history/title_history.h"
#include "host/description.h"
#include "host/host_messages.h"
#include "monitor/track_monitor.h"
#include "settings/settings_file.h"
#include "settings/settings_store.h"
#include "ui/config_dialog.h"

namespace {

constexpr int32_t kMinimumHostVersion = 0x205;
constexpr char kHostTooOldText[] = "The Songbeacon Plug-In requires WinAmp v2.05 or higher!";
constexpr char kInitFailedText[] = "Error initializing Songbeacon!";

// How long shutDown waits for the worker's last pass. A pass takes microseconds; only a host that
// never answers a message (or a page write that hangs) could keep it longer.
constexpr uint32_t kWorkerEndTimeoutMs = 5000;

// How long shutDown gives the air log's writer to write what it holds, the shutdown line among it,
// once the worker has ended. A writer still blocked in its file after that ends on its own.
constexpr uint32_t kAirLogEndTimeoutMs = 1000;

// kStopping: shutDown is waiting for the worker and answering sent messages meanwhile; a callback
// that arrives from one of them finds the plug-in neither running nor stopped, and does nothing.
// kAbandoned: shutDown gave up waiting for the worker, which still owns the shared state.
enum Lifecycle : int32_t { kLoaded, kRefused, kRunning, kStopping, kStopped, kAbandoned };
Lifecycle lifecycle = kLoaded; // host thread only
bool insideConfigure = false;  // host thread only: configure() is on the stack

int startUp();
void configure();
void shutDown();

PluginDescriptor descriptor = {0x10, sharedEmptyString, startUp, configure, shutDown, nullptr, nullptr};

void describe() {
    char modulePath[kDescriptionCapacity];
    const DWORD length = GetModuleFileNameA(descriptor.moduleInstance, modulePath, sizeof modulePath);
    modulePath[length < sizeof modulePath ? length : sizeof modulePath - 1] = '\0';
    host::formatDescription(modulePath, pluginState.descriptionBuffer, sizeof pluginState.descriptionBuffer);
    descriptor.descriptionText = pluginState.descriptionBuffer;
}

// Frees what startUp allocated, each piece of which may be missing, and deletes the settings lock:
// after this nothing of ours runs until the next startUp, and the player may unload the module.
void releaseState() {
    memory::release(pluginState.iniPath);
    pluginState.iniPath = nullptr;
    history::destroy(pluginState.history);
    pluginState.history = nullptr;
    settings::releaseTextBuffers();
    settings::deleteLock();
}

// Points the air log at the file AirLog names, as just loaded: a relative name from the folder of
// plugin.ini; no name, or one too long for a path, turns the log off.
void applyAirLogSetting() {
    char setting[kAirLogCapacity];
    settings::copyAirLog(setting, sizeof setting);
    char path[airlog::kAirLogPathCapacity];
    airlog::resolveLogPath(pluginState.iniPath, setting, path, sizeof path);
    airlog::setFile(path);
}

int startUp() {
    if (lifecycle == kRunning)
        return 0;
    if (lifecycle == kStopping || lifecycle == kAbandoned)
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
    applyAirLogSetting();

    if (monitor::start())
        describe();
    else
        descriptor.descriptionText = kInitFailedText;
    lifecycle = kRunning;
    return 0;
}

// The dialog's message loop dispatches the player's own messages, so a player that closes while
// the dialog is open calls shutDown from inside it. shutDown then ends the dialog as Cancel before
// anything else: the dialog touches no settings after that, so shutDown frees everything as usual,
// and nothing is left to do here once the dialog returns. A player may also free the module right
// after that shutDown, still inside the dialog's loop; shutDown pins the module then, so that the
// loop and this function still have code to return into.
void configure() {
    if (lifecycle != kRunning)
        return;
    settings::load();
    applyAirLogSetting();
    const bool nested = insideConfigure; // a configure from inside the dialog's loop returns at once
    insideConfigure = true;
    ui::runConfigDialog(descriptor.moduleInstance, descriptor.hostWindow);
    insideConfigure = nested;
}

// Keeps this module loaded until the process ends, whatever the player frees. For a shutDown that
// runs inside configure: the dialog's loop, the dialog procedure and configure itself are still on
// this thread's stack, and a player that frees the module as soon as shutDown returns (still inside
// that loop) would otherwise unmap the code they return into. The reference is never released: no
// code of ours could run after the last return to release it. The pinned module's state is as
// shutDown left it, so a later startUp in the same process starts it afresh.
void pinModule() {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&pinModule), &self);
}

void shutDown() {
    if (lifecycle != kRunning)
        return;
    lifecycle = kStopping;
    if (insideConfigure)
        pinModule();
    ui::endConfigDialog(); // first: the wait below answers messages, an OK among them
    const monitor::StopResult stopped = monitor::stop(kWorkerEndTimeoutMs);
    airlog::Event shutdownEvent = {};
    shutdownEvent.name = "shutdown";
    airlog::post(airlog::now(), shutdownEvent);
    if (stopped != monitor::kEnded) {
        lifecycle = kAbandoned; // a pass is still running: leave it everything it may use
        airlog::abandon();      // the log's queue included; its writer ends once it has written
        return;
    }
    pluginState.playing = 0;
    monitor::writeFinalPage();
    airlog::close(kAirLogEndTimeoutMs);
    releaseState();
    // As at module load: a module kept loaded (pinned above) and loaded again describes itself only
    // once it has started again, never with the text of its last run.
    descriptor.descriptionText = sharedEmptyString;
    lifecycle = kStopped;
}

} // namespace

extern "C" PluginDescriptor* winampGetGeneralPurposePlugin() {
    return &descriptor;
}
