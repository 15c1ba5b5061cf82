// The live text settings and the lock that keeps their readers from seeing half a rewrite. The
// worker copies them at each use while the host thread may be reloading the file or storing what
// the configuration dialog holds; the integer settings need no lock (they are 32-bit atomics).
#pragma once

#include <cstddef>

#include "settings/plugin_settings.h"

namespace settings {

// A consistent copy of the three text settings.
struct TextSettings {
    char OutputFilename[kOutputFilenameCapacity];
    char HTMLTitle[kHTMLTitleCapacity];
    char HTMLHeader[kHTMLHeaderCapacity];
};

// The settings lock. Held only while texts are copied in or out: never across a host message or
// file access, and never nested.
void lock();
void unlock();

// Deletes the settings lock, so that no process-wide list of locks keeps pointing into a module the
// player may unload; the next lock() sets it up again. Only when no other thread can use it:
// shut-down calls it once the worker has ended and the buffers are gone.
void deleteLock();

// Whether the lock is set up now: after shut-down it must not be, or the player could unload the
// module while a process-wide list still points into it.
bool lockIsSetUp();

// Allocates the three text buffers of the live settings, empty, in the order OutputFilename,
// HTMLHeader, HTMLTitle. Returns false, holding nothing, when an allocation fails.
bool allocateTextBuffers();

// Releases the three text buffers; safe when they were never allocated.
void releaseTextBuffers();

// Copies the live texts into `out` under the lock. Missing buffers read as empty text.
void copyTexts(TextSettings* out);

// Replaces the live texts from `in` under the lock, each cut to its capacity.
void storeTexts(const TextSettings& in);

// Replaces the live output file name under the lock, cut to its capacity.
void storeOutputFilename(const char* name);

// Copies the live AirLog setting into `out` (capacity bytes, at least kAirLogCapacity to be whole)
// under the lock.
void copyAirLog(char* out, size_t capacity);

// Replaces the live AirLog setting under the lock; a name longer than it keeps is stored empty.
void storeAirLog(const char* name);

} // namespace settings
