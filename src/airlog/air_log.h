// The plug-in's air log: the file the AirLog setting names, and the one writer that fills it. Off
// until a path is set, and then the only cost to the worker is one formatted line per event,
// copied into the writer's queue. docs/air-log.md describes the file.
#pragma once

#include <cstdint>

namespace airlog {

// One event, as the worker or the entry sees it. Texts of the player are in its ANSI code page and
// become UTF-8 here; the others are our own words. Null texts and zero numbers leave fields empty.
struct Event {
    const char* name;    // the event's name: "played", "skipped", ...
    int32_t position;    // the playlist's index + 1
    const char* title;   // the player's text
    const char* rule;    // "artist" or "title"
    int32_t keyLength;   // the artist key: this many bytes at the start of `title`
    const char* matched; // the player's text of the earlier title
    bool hasBack;        // `back` holds how many admitted titles back `matched` stands
    int64_t back;
    bool hasLimits; // the three numbers below are written
    int32_t artistLimit, titleLimit, monitoring;
    const char* detail;
};

// Sets the log's file: a full path, or the empty text to turn the log off. A path the same as the
// one set changes nothing; another starts the writer (the first time) or points it there, and
// changes generation(). Host thread only; the worker may be running.
void setFile(const char* path);

// True while a file is set and its writer runs. 32-bit atomic: the worker tests it on every pass.
bool isOn();

// A number that changes whenever the log is turned on or off or given another file, so that the
// worker knows when to tell a new file the limits in force.
int32_t generation();

// Now, by the log's one clock (air_clock.h): an event's time, taken as the event is seen.
uint64_t now();

// Formats `event` with its time `at` and queues it for the writer; nothing when the log is off.
// Never waits for the file. Any thread.
void post(uint64_t at, const Event& event);

// Turns the log off and ends its writer, giving it up to `timeoutMs` to write what it holds (see
// closeWriter). Host thread, once nothing posts any more: the worker has ended. Returns true when
// there was no writer or it ended in time.
bool close(uint32_t timeoutMs);

// Turns the log off when shutDown leaves a worker running: its writer writes what it holds (the
// shutdown line among it) and ends, while its queue stays for the worker's posts, which it drops.
// Host thread.
void abandon();

} // namespace airlog
