// The text settings live in heap buffers allocated at start-up; this file owns them and their lock.
#include "settings/settings_store.h"

#include <windows.h>

#include <cstring>

#include "common/bounded_text.h"
#include "common/memory.h"
#include "common/plugin_state.h"

namespace {

CRITICAL_SECTION settingsLock;
INIT_ONCE settingsLockOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK initializeSettingsLock(PINIT_ONCE, PVOID, PVOID*) {
    InitializeCriticalSection(&settingsLock);
    return TRUE;
}

void copyOrEmpty(char* destination, size_t capacity, const char* source) {
    copyBounded(destination, capacity, source != nullptr ? source : "");
}

} // namespace

namespace settings {

// Initialised on first use, so that loading the module runs no code of ours.
void lock() {
    InitOnceExecuteOnce(&settingsLockOnce, initializeSettingsLock, nullptr, nullptr);
    EnterCriticalSection(&settingsLock);
}

void unlock() {
    LeaveCriticalSection(&settingsLock);
}

void deleteLock() {
    if (!lockIsSetUp())
        return; // never set up
    DeleteCriticalSection(&settingsLock);
    InitOnceInitialize(&settingsLockOnce);
}

bool lockIsSetUp() {
    BOOL pending = FALSE;
    return InitOnceBeginInitialize(&settingsLockOnce, INIT_ONCE_CHECK_ONLY, &pending, nullptr) != 0;
}

bool allocateTextBuffers() {
    auto* outputFilename = static_cast<char*>(memory::allocate(kOutputFilenameCapacity));
    auto* htmlHeader = static_cast<char*>(memory::allocate(kHTMLHeaderCapacity));
    auto* htmlTitle = static_cast<char*>(memory::allocate(kHTMLTitleCapacity));
    if (outputFilename == nullptr || htmlHeader == nullptr || htmlTitle == nullptr) {
        memory::release(outputFilename);
        memory::release(htmlHeader);
        memory::release(htmlTitle);
        return false;
    }
    outputFilename[0] = htmlHeader[0] = htmlTitle[0] = '\0';
    PluginSettings& live = pluginState.settings;
    lock();
    live.OutputFilename = outputFilename;
    live.HTMLHeader = htmlHeader;
    live.HTMLTitle = htmlTitle;
    unlock();
    return true;
}

void releaseTextBuffers() {
    PluginSettings& live = pluginState.settings;
    lock();
    char* buffers[] = {live.OutputFilename, live.HTMLHeader, live.HTMLTitle};
    live.OutputFilename = live.HTMLHeader = live.HTMLTitle = nullptr;
    unlock();
    for (char* buffer : buffers)
        memory::release(buffer);
}

void copyTexts(TextSettings* out) {
    const PluginSettings& live = pluginState.settings;
    lock();
    copyOrEmpty(out->OutputFilename, sizeof out->OutputFilename, live.OutputFilename);
    copyOrEmpty(out->HTMLTitle, sizeof out->HTMLTitle, live.HTMLTitle);
    copyOrEmpty(out->HTMLHeader, sizeof out->HTMLHeader, live.HTMLHeader);
    unlock();
}

void storeTexts(const TextSettings& in) {
    PluginSettings& live = pluginState.settings;
    lock();
    if (live.OutputFilename != nullptr)
        copyBounded(live.OutputFilename, kOutputFilenameCapacity, in.OutputFilename);
    if (live.HTMLTitle != nullptr)
        copyBounded(live.HTMLTitle, kHTMLTitleCapacity, in.HTMLTitle);
    if (live.HTMLHeader != nullptr)
        copyBounded(live.HTMLHeader, kHTMLHeaderCapacity, in.HTMLHeader);
    unlock();
}

void storeOutputFilename(const char* name) {
    PluginSettings& live = pluginState.settings;
    lock();
    if (live.OutputFilename != nullptr)
        copyBounded(live.OutputFilename, kOutputFilenameCapacity, name);
    unlock();
}

void copyAirLog(char* out, size_t capacity) {
    lock();
    copyBounded(out, capacity, pluginState.settings.AirLog);
    unlock();
}

void storeAirLog(const char* name) {
    const bool whole = strnlen(name, kAirLogCapacity) < static_cast<size_t>(kAirLogCapacity);
    lock();
    copyBounded(pluginState.settings.AirLog, kAirLogCapacity, whole ? name : "");
    unlock();
}

} // namespace settings
