// A writer of the air log: a thread of its own that takes the lines posted to it and puts them in
// the file, so that no file call, however long a network folder makes it block, ever holds up the
// thread that posts. The lines wait in a bounded queue (line_queue.h) under the writer's lock,
// which is held only to copy them in or out.
//
// The writer's cadence after a failed write follows the status page's: a quick failure (a missing
// folder, a file held without sharing) is tried again after a second; a slow one (a network folder
// whose server has gone) holds every write back for ten times its length and at least a minute.
// What does not fit in the queue meanwhile is counted, and a `lost` line with the count goes in as
// soon as a write has made room.
#pragma once

#include <cstddef>
#include <cstdint>

namespace airlog {

struct Writer; // the writer's own: its thread, its lock, its queue and its copy of the path

// Makes a writer for the log at `path`, with its thread running. Returns null, holding nothing, when
// memory, an event or the thread cannot be had.
Writer* openWriter(const char* path);

// Points `writer` at `path` from its next write on. An empty path makes it drop what it holds and
// write nothing until it is given another.
void setWriterPath(Writer* writer, const char* path);

// Queues a line: its time (UTC, as clockNow gives it) and its fields after the time (`rest`,
// `length` bytes, formatRest's text). Copies it under the writer's lock and wakes the writer; never
// waits for the file. Returns false when the line was counted lost (the queue is full).
bool postLine(Writer* writer, uint64_t at, const char* rest, size_t length);

// Asks `writer` to write what it holds and end, and waits up to `timeoutMs` for it: it writes unless
// its last write failed slowly and the hold after it is still on. Returns true when it ended in
// time. Either way the caller must not use `writer` again; a writer still blocked in the file ends
// on its own, frees what it owns, and keeps the module loaded until it has.
bool closeWriter(Writer* writer, uint32_t timeoutMs);

// Asks `writer` to write what it holds and end, without waiting, and keeps its block for good: for
// a shut-down that leaves behind a worker that may still post to it. The thread still ends, and
// releases the module, once it has written (or failed to).
void abandonWriter(Writer* writer);

} // namespace airlog
