// Loading a general-purpose plug-in as the player does, and shutting it down under a watchdog.
#include "player/plugin_loader.h"

#include <cstdio>
#include <cstdlib>

#include "player/plugin_clock.h"

namespace {

constexpr DWORD kShutDownLimitMs = 30000;

HANDLE shutDownReturned;
UINT exitStatusWhenHung; // what the process ends with when shutDown hangs

// The watchdog thread: ends the process when shutDown has not returned in time, through exit(), so
// that what the program registered for its end (its output still on the way) runs first.
DWORD WINAPI watchShutDown(LPVOID) {
    if (WaitForSingleObject(shutDownReturned, kShutDownLimitMs) != WAIT_OBJECT_0) {
        std::printf("error: the plug-in's shutDown did not return within %lu s\n",
                    static_cast<unsigned long>(kShutDownLimitMs / 1000));
        std::fflush(stdout);
        std::exit(static_cast<int>(exitStatusWhenHung));
    }
    return 0;
}

} // namespace

namespace sim {

void shutDownWatched(PluginHeader* plugin, int hungStatus) {
    std::printf("shutDown returned after %llu ms\n",
                static_cast<unsigned long long>(shutDownQuietly(plugin, hungStatus)));
}

uint64_t shutDownQuietly(PluginHeader* plugin, int hungStatus) {
    exitStatusWhenHung = static_cast<UINT>(hungStatus);
    shutDownReturned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE watchdog = CreateThread(nullptr, 0, watchShutDown, nullptr, 0, nullptr);
    const ULONGLONG started = GetTickCount64();
    plugin->shutDown();
    const ULONGLONG took = GetTickCount64() - started;
    SetEvent(shutDownReturned);
    WaitForSingleObject(watchdog, INFINITE);
    CloseHandle(watchdog);
    CloseHandle(shutDownReturned);
    return took;
}

PluginHeader* loadPlugin(const char* path, HMODULE* module) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        std::printf("error: cannot load the plug-in %s: no such file\n", path);
        return nullptr;
    }
    *module = LoadLibraryA(path);
    if (*module == nullptr) {
        std::printf("error: cannot load %s (error %lu)\n", path, GetLastError());
        return nullptr;
    }
    bindPluginClock(*module); // a plug-in that never asks the time keeps its import as it is
    auto entry = reinterpret_cast<PluginHeader* (*)()>(
        reinterpret_cast<void*>(GetProcAddress(*module, kPluginEntryName)));
    PluginHeader* plugin = entry != nullptr ? entry() : nullptr;
    if (plugin == nullptr)
        std::printf("error: %s is not a general-purpose plug-in (no winampGetGeneralPurposePlugin)\n", path);
    return plugin;
}

} // namespace sim
