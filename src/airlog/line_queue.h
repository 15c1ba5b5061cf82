// The lines waiting for the air log's writer: a bounded ring of records, each a line's time (UTC in
// 100-nanosecond units, as the clock gives it) and the rest of its fields. The worker appends and
// never waits for the file; the writer copies records from the front, writes them, and only then
// drops them, so a failed write loses nothing the ring still holds. What does not fit is counted,
// and the writer puts a `lost` line in its place once there is room. The caller holds the writer's
// lock around every call. Platform-free.
#pragma once

#include <cstdint>

namespace airlog {

// Room for some hundreds of lines: hours of a station's tracks while the file cannot be written.
constexpr uint32_t kLineQueueBytes = 64 * 1024;

// A record: the time (8 bytes), the rest's length (4 bytes), then the rest itself.
constexpr uint32_t kRecordHeaderBytes = 12;

struct LineQueue {
    char bytes[kLineQueueBytes];
    uint32_t head; // offset of the oldest record
    uint32_t used; // bytes held, whole records only
    uint32_t lost; // lines refused since the last `lost` line went in
};

// Empties the queue and forgets any lines counted lost.
void clearQueue(LineQueue* queue);

// Appends one line. Returns false, counting it in `lost`, when it does not fit, and also while
// lines are counted lost: the `lost` line must come before whatever follows the gap.
bool pushLine(LineQueue* queue, uint64_t at, const char* rest, uint32_t length);

// Appends the writer's `lost` line (or any line) whatever the count says. Returns false, changing
// nothing, when it does not fit.
bool pushNote(LineQueue* queue, uint64_t at, const char* rest, uint32_t length);

// Copies whole records from the front, in record form, into `out`, as many as fit in `capacity`.
// Returns the bytes copied; 0 when the queue is empty or its first record does not fit.
uint32_t peekRecords(const LineQueue* queue, char* out, uint32_t capacity);

// Reads the record at `*offset` of a copy that peekRecords made (`copyLength` bytes) and moves
// `*offset` past it. Returns false at the end of the copy.
bool readRecord(const char* copy, uint32_t copyLength, uint32_t* offset, uint64_t* at, const char** rest,
                uint32_t* restLength);

// Drops `bytes` from the front: the whole records a copy held, once they are written.
void dropRecords(LineQueue* queue, uint32_t bytes);

} // namespace airlog
