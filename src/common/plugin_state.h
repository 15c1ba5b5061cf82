// The plug-in's one process-wide state, shared by the host thread (start-up, configuration,
// shut-down) and the worker thread (the track monitor). Every field is zero or null at module load.
#pragma once

#include <atomic>
#include <cstdint>

// The one header from a room above: the settings are held by value, so their type must be complete
// here. It includes nothing of the project itself, so no cycle can form through it.
#include "settings/plugin_settings.h"

struct TitleHistory; // held by pointer only: the history's own room knows its layout

constexpr int32_t kIniPathCapacity = 260;     // MAX_PATH, what the profile functions accept
constexpr int32_t kDescriptionCapacity = 512; // room for the text around a long module name

struct PluginState {
    PluginSettings settings;
    char* iniPath;                      // set before the worker starts, read-only while it runs
    TitleHistory* history;              // the worker's alone while it runs
    const char* currentTitle;           // worker only: the host's own text, not owned
    std::atomic<int32_t> playing;       // 32-bit atomic: the host's last is-playing answer
    std::atomic<int32_t> stopRequested; // 32-bit atomic: asks the worker to end
    void* hostWindow;                   // HWND of the host's main window, set before the worker starts
    void* workerThread;                 // HANDLE, host thread only
    uint32_t workerThreadId;            // host thread only
    char descriptionBuffer[kDescriptionCapacity];
};

extern PluginState pluginState;
