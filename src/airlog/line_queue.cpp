// A byte ring of variable-length records: no allocation, and a record may wrap round the end.
#include "airlog/line_queue.h"

#include <cstring>

namespace {

using airlog::kLineQueueBytes;
using airlog::kRecordHeaderBytes;
using airlog::LineQueue;

// Copies `length` bytes out of the ring from `offset` on, going round its end.
void copyOut(const LineQueue* queue, uint32_t offset, char* out, uint32_t length) {
    offset %= kLineQueueBytes;
    const uint32_t first = length < kLineQueueBytes - offset ? length : kLineQueueBytes - offset;
    std::memcpy(out, queue->bytes + offset, first);
    std::memcpy(out + first, queue->bytes, length - first);
}

// Copies `length` bytes into the ring from `offset` on, going round its end.
void copyIn(LineQueue* queue, uint32_t offset, const char* in, uint32_t length) {
    offset %= kLineQueueBytes;
    const uint32_t first = length < kLineQueueBytes - offset ? length : kLineQueueBytes - offset;
    std::memcpy(queue->bytes + offset, in, first);
    std::memcpy(queue->bytes, in + first, length - first);
}

// Appends a record when it fits; changes nothing otherwise.
bool append(LineQueue* queue, uint64_t at, const char* rest, uint32_t length) {
    if (length > kLineQueueBytes - kRecordHeaderBytes ||
        kRecordHeaderBytes + length > kLineQueueBytes - queue->used)
        return false;
    char header[kRecordHeaderBytes];
    std::memcpy(header, &at, sizeof at);
    std::memcpy(header + sizeof at, &length, sizeof length);
    const uint32_t tail = queue->head + queue->used;
    copyIn(queue, tail, header, kRecordHeaderBytes);
    copyIn(queue, tail + kRecordHeaderBytes, rest, length);
    queue->used += kRecordHeaderBytes + length;
    return true;
}

} // namespace

namespace airlog {

void clearQueue(LineQueue* queue) {
    queue->head = 0;
    queue->used = 0;
    queue->lost = 0;
}

bool pushLine(LineQueue* queue, uint64_t at, const char* rest, uint32_t length) {
    if (queue->lost == 0 && append(queue, at, rest, length))
        return true;
    queue->lost++;
    return false;
}

bool pushNote(LineQueue* queue, uint64_t at, const char* rest, uint32_t length) {
    return append(queue, at, rest, length);
}

uint32_t peekRecords(const LineQueue* queue, char* out, uint32_t capacity) {
    uint32_t copied = 0;
    while (copied < queue->used) {
        char header[kRecordHeaderBytes];
        copyOut(queue, queue->head + copied, header, kRecordHeaderBytes);
        uint32_t length;
        std::memcpy(&length, header + sizeof(uint64_t), sizeof length);
        const uint32_t record = kRecordHeaderBytes + length;
        if (record > capacity - copied)
            break;
        copyOut(queue, queue->head + copied, out + copied, record);
        copied += record;
    }
    return copied;
}

bool readRecord(const char* copy, uint32_t copyLength, uint32_t* offset, uint64_t* at, const char** rest,
                uint32_t* restLength) {
    if (*offset >= copyLength || copyLength - *offset < kRecordHeaderBytes)
        return false;
    uint32_t length;
    std::memcpy(at, copy + *offset, sizeof *at);
    std::memcpy(&length, copy + *offset + sizeof *at, sizeof length);
    if (length > copyLength - *offset - kRecordHeaderBytes)
        return false;
    *rest = copy + *offset + kRecordHeaderBytes;
    *restLength = length;
    *offset += kRecordHeaderBytes + length;
    return true;
}

void dropRecords(LineQueue* queue, uint32_t bytes) {
    if (bytes > queue->used)
        bytes = queue->used;
    queue->head = (queue->head + bytes) % kLineQueueBytes;
    queue->used -= bytes;
}

} // namespace airlog
