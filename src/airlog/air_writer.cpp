// The writer's thread and its queue. Its block is shared by reference count with its owner, so that
// a writer left blocked in its file at shut-down frees it itself once the file answers.
#include "airlog/air_writer.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <new>

#include "airlog/air_clock.h"
#include "airlog/air_file.h"
#include "airlog/air_line.h"
#include "airlog/air_path.h"
#include "airlog/line_queue.h"
#include "common/bounded_text.h"
#include "common/memory.h"

namespace {

using airlog::kAppendPrefixRoom;
using airlog::LineQueue;

// The most bytes of records one write takes, and the room their lines need: a line is at most 20
// bytes longer than its record (the time and the line end against the record's header).
constexpr uint32_t kBatchRecordBytes = 32 * 1024;
constexpr size_t kBatchLineBytes = 2 * kBatchRecordBytes;

// The cadence after a failed write, as the status page's (see the file comment).
constexpr ULONGLONG kQuickRetryMs = 1000;
constexpr ULONGLONG kSlowAttemptMs = 100;
constexpr ULONGLONG kSlowRetryMs = 60000;
constexpr ULONGLONG kSlowRetryFactor = 10;

} // namespace

namespace airlog {

struct Writer {
    // 32-bit atomic: the owner's reference and the thread's; the last one released frees the writer.
    std::atomic<int32_t> references;
    CRITICAL_SECTION lock;
    HANDLE wake;  // auto-reset: lines have come into an empty queue, a new path, or the end
    HANDLE ended; // manual-reset: the thread has left the file and the queue for good
    HMODULE moduleReference;
    // Under the lock:
    char path[kAirLogPathCapacity];
    bool stopping;
    LineQueue queue;
    // The thread's alone:
    char records[kBatchRecordBytes];
    char lines[kAppendPrefixRoom + kBatchLineBytes];
};

} // namespace airlog

namespace {

using airlog::Writer;

// The retry rule's state. The thread's alone.
struct Hold {
    bool slow;       // the last write failed slowly
    ULONGLONG dueAt; // GetTickCount64() time before which no write is tried; 0 after a success
};

void release(Writer* writer) {
    if (--writer->references != 0)
        return;
    DeleteCriticalSection(&writer->lock);
    CloseHandle(writer->wake);
    CloseHandle(writer->ended);
    writer->~Writer();
    memory::release(writer);
}

// Puts the `lost` line into the queue after a write made room, if it fits. Under the lock.
void noteLost(Writer* writer) {
    char rest[64];
    char count[12];
    std::snprintf(count, sizeof count, "%lu", static_cast<unsigned long>(writer->queue.lost));
    airlog::Fields fields = {};
    fields.event = "lost";
    fields.detail = count;
    const size_t length = airlog::formatRest(fields, rest, sizeof rest);
    if (airlog::pushNote(&writer->queue, airlog::clockNow(), rest, static_cast<uint32_t>(length)))
        writer->queue.lost = 0;
}

enum Attempt : int32_t { kNothingToWrite, kWritten, kFailed };

// Writes the records at the front of the queue, as many as one batch holds, and drops them once
// they are in the file. `tookMs` receives how long the write took.
Attempt writeBatch(Writer* writer, ULONGLONG* tookMs) {
    char path[airlog::kAirLogPathCapacity];
    EnterCriticalSection(&writer->lock);
    copyBounded(path, sizeof path, writer->path);
    const uint32_t copied = airlog::peekRecords(&writer->queue, writer->records, kBatchRecordBytes);
    LeaveCriticalSection(&writer->lock);
    if (copied == 0 || path[0] == '\0')
        return kNothingToWrite;

    char* lines = writer->lines + kAppendPrefixRoom;
    size_t used = 0;
    uint32_t offset = 0, taken = 0;
    uint64_t at;
    const char* rest;
    uint32_t restLength;
    while (airlog::readRecord(writer->records, copied, &offset, &at, &rest, &restLength)) {
        char time[airlog::kTimeFieldLength + 1];
        airlog::formatLocalTime(at, time, sizeof time);
        const size_t line = airlog::formatLine(time, rest, restLength, lines + used, kBatchLineBytes - used);
        if (line == 0)
            break;
        used += line;
        taken = offset;
    }
    const ULONGLONG start = GetTickCount64();
    const bool written = airlog::appendLines(path, lines, used);
    *tookMs = GetTickCount64() - start;
    if (!written)
        return kFailed;
    EnterCriticalSection(&writer->lock); // only this thread drops: the records are still the front
    airlog::dropRecords(&writer->queue, taken);
    if (writer->queue.lost > 0)
        noteLost(writer);
    LeaveCriticalSection(&writer->lock);
    return kWritten;
}

// The hold after a write that failed after `tookMs`.
Hold holdAfterFailure(ULONGLONG tookMs) {
    const ULONGLONG now = GetTickCount64();
    if (tookMs < kSlowAttemptMs)
        return {false, now + kQuickRetryMs};
    const ULONGLONG slowHold =
        tookMs * kSlowRetryFactor > kSlowRetryMs ? tookMs * kSlowRetryFactor : kSlowRetryMs;
    return {true, now + slowHold};
}

// The thread's loop: writes while there are lines and no hold, waits otherwise, and at the end
// writes what it holds unless a slow failure's hold is on.
void runWriter(Writer* writer) {
    Hold hold = {false, 0};
    for (;;) {
        EnterCriticalSection(&writer->lock);
        const bool stopping = writer->stopping;
        if (writer->path[0] == '\0')
            airlog::clearQueue(&writer->queue); // the log was turned off
        const bool waiting = writer->queue.used > 0;
        LeaveCriticalSection(&writer->lock);
        const ULONGLONG now = GetTickCount64();
        ULONGLONG tookMs = 0;
        if (stopping) {
            if (!hold.slow || now >= hold.dueAt)
                while (writeBatch(writer, &tookMs) == kWritten) {
                }
            return;
        }
        if (!waiting) {
            WaitForSingleObject(writer->wake, INFINITE);
        } else if (now < hold.dueAt) {
            WaitForSingleObject(writer->wake, static_cast<DWORD>(hold.dueAt - now));
        } else if (writeBatch(writer, &tookMs) == kFailed) {
            hold = holdAfterFailure(tookMs);
        } else {
            hold = {false, 0};
        }
    }
}

DWORD WINAPI writerThread(LPVOID context) {
    auto* writer = static_cast<Writer*>(context);
    const HMODULE module = writer->moduleReference;
    runWriter(writer);
    SetEvent(writer->ended);
    release(writer);
    FreeLibraryAndExitThread(module, 0); // our module stays loaded until this last instruction
}

} // namespace

namespace airlog {

Writer* openWriter(const char* path) {
    void* block = memory::allocate(sizeof(Writer));
    if (block == nullptr)
        return nullptr;
    auto* writer = new (block) Writer();
    InitializeCriticalSection(&writer->lock);
    writer->wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    writer->ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    copyBounded(writer->path, sizeof writer->path, path);
    clearQueue(&writer->queue);
    writer->references = 2;
    HANDLE thread = nullptr;
    if (writer->wake != nullptr && writer->ended != nullptr &&
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&writerThread),
                           &writer->moduleReference))
        thread = CreateThread(nullptr, 0, writerThread, writer, 0, nullptr);
    if (thread == nullptr) {
        if (writer->moduleReference != nullptr)
            FreeLibrary(writer->moduleReference);
        if (writer->wake != nullptr)
            CloseHandle(writer->wake);
        if (writer->ended != nullptr)
            CloseHandle(writer->ended);
        DeleteCriticalSection(&writer->lock);
        writer->~Writer();
        memory::release(block);
        return nullptr;
    }
    CloseHandle(thread); // the ended event tells its end
    return writer;
}

void setWriterPath(Writer* writer, const char* path) {
    EnterCriticalSection(&writer->lock);
    copyBounded(writer->path, sizeof writer->path, path);
    LeaveCriticalSection(&writer->lock);
    SetEvent(writer->wake);
}

bool postLine(Writer* writer, uint64_t at, const char* rest, size_t length) {
    EnterCriticalSection(&writer->lock);
    const bool wasEmpty = writer->queue.used == 0;
    const bool queued = pushLine(&writer->queue, at, rest, static_cast<uint32_t>(length));
    LeaveCriticalSection(&writer->lock);
    if (queued && wasEmpty)
        SetEvent(writer->wake);
    return queued;
}

void abandonWriter(Writer* writer) {
    EnterCriticalSection(&writer->lock);
    writer->stopping = true;
    LeaveCriticalSection(&writer->lock);
    SetEvent(writer->wake); // and the owner's reference is never released: the block stays
}

bool closeWriter(Writer* writer, uint32_t timeoutMs) {
    abandonWriter(writer);
    const bool ended = WaitForSingleObject(writer->ended, timeoutMs) == WAIT_OBJECT_0;
    release(writer);
    return ended;
}

} // namespace airlog
