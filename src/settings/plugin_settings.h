// The values that steer the plug-in, as kept in plugin.ini: the eight every start writes back, and
// PollInterval and AirLog, which only an operator writes. The host thread rewrites them (start-up, the
// configuration dialog) while the worker reads them, so each integer is a 32-bit atomic and the
// three texts are only touched under the settings lock.
#pragma once

#include <atomic>
#include <cstdint>

// Capacities of the text settings, terminator included.
constexpr int32_t kOutputFilenameCapacity = 260; // MAX_PATH, what the file functions accept
constexpr int32_t kHTMLTitleCapacity = 1024;
constexpr int32_t kHTMLHeaderCapacity = 1024;
constexpr int32_t kAirLogCapacity = 260; // MAX_PATH, what the file functions accept

// PollInterval's range in milliseconds: 0 (no wait between passes) to a second.
constexpr int32_t kPollIntervalMaximum = 1000;

struct PluginSettings {
    std::atomic<int32_t> EnableHTMLOutput;         // 32-bit atomic
    char* OutputFilename;                          // guarded by the settings lock
    char* HTMLTitle;                               // guarded by the settings lock
    char* HTMLHeader;                              // guarded by the settings lock
    std::atomic<int32_t> RecentTitleListLength;    // 32-bit atomic
    std::atomic<int32_t> EnablePlaylistMonitoring; // 32-bit atomic
    std::atomic<int32_t> SameArtistCheckLimit;     // 32-bit atomic
    std::atomic<int32_t> SameTitleCheckLimit;      // 32-bit atomic
    // Milliseconds the worker waits between passes, 0..kPollIntervalMaximum; 0 polls without
    // waiting. Read from the file, never written to it. 32-bit atomic.
    std::atomic<int32_t> PollInterval;
    // The air log's file as written (relative names are the entry's to resolve); empty for no log,
    // and for a name too long to keep whole. Read from the file, never written to it. Held here, not
    // on the heap, so that an unused log costs no allocation. Guarded by the settings lock.
    char AirLog[kAirLogCapacity];
};
