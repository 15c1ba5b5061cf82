// One batch into the file: open, take the writers' lock, look at the end, roll or mend a torn tail,
// write once, let go, close. Every step that can block runs on the writer's thread, never the worker's.
#include "airlog/air_file.h"

#include <windows.h>

#include <cstring>

#include "airlog/air_path.h"

namespace {

// The byte every writer locks: far past any real size, so the lock keeps no one from the file's own
// bytes (a reader, the tuning tool, Notepad), only other writers from their turn.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
// How long a writer waits for another's turn to end: a turn on a local disk takes milliseconds.
constexpr ULONGLONG kLockWaitMs = 2000;
// Opens of the file per call: one, and one more after a roll (ours, or another player's).
constexpr int kOpensPerCall = 3;

enum WriterLock : int { kLocked, kNoLocks, kLockBusy };

HANDLE openLog(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

OVERLAPPED lockRegion() {
    OVERLAPPED region = {};
    region.OffsetHigh = kLockOffsetHigh;
    return region;
}

// Takes the writers' lock on `file`, trying every millisecond or so for up to kLockWaitMs.
WriterLock lockWriters(HANDLE file) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        OVERLAPPED region = lockRegion();
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &region))
            return kLocked;
        if (GetLastError() != ERROR_LOCK_VIOLATION)
            return kNoLocks; // a file system without byte-range locks
        if (GetTickCount64() - start >= kLockWaitMs)
            return kLockBusy;
        Sleep(1);
    }
}

void unlockWriters(HANDLE file) {
    OVERLAPPED region = lockRegion();
    UnlockFileEx(file, 0, 1, 0, &region);
}

// True when `path` still names the file open as `file`: another player may have rolled it away
// between our open and our lock.
bool namesThisFile(const char* path, HANDLE file) {
    HANDLE named =
        CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION ours, theirs;
    const bool same = GetFileInformationByHandle(file, &ours) && GetFileInformationByHandle(named, &theirs) &&
                      ours.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
                      ours.nFileIndexHigh == theirs.nFileIndexHigh &&
                      ours.nFileIndexLow == theirs.nFileIndexLow;
    CloseHandle(named);
    return same;
}

// Renames the log to its previous name, replacing the previous file. True when it was renamed.
bool rollLog(const char* path) {
    char previous[airlog::kAirLogPathCapacity + sizeof airlog::kPreviousSuffix];
    return airlog::previousLogPath(path, previous, sizeof previous) &&
           MoveFileExA(path, previous, MOVEFILE_REPLACE_EXISTING) != 0;
}

// The bytes the lines need before them in a file of `size` bytes: the first line in an empty file,
// a line end after a torn tail, else none. Written into the room before `lines`; returns how many.
size_t prefixFor(HANDLE file, LARGE_INTEGER size, char* lines) {
    if (size.QuadPart == 0) {
        std::memcpy(lines - airlog::kAppendPrefixRoom, airlog::kFirstLine, airlog::kAppendPrefixRoom);
        return airlog::kAppendPrefixRoom;
    }
    OVERLAPPED at = {};
    const ULONGLONG lastByte = static_cast<ULONGLONG>(size.QuadPart) - 1;
    at.Offset = static_cast<DWORD>(lastByte);
    at.OffsetHigh = static_cast<DWORD>(lastByte >> 32);
    char last = '\n';
    DWORD read = 0;
    if (!ReadFile(file, &last, 1, &read, &at) || read != 1 || last == '\n')
        return 0;
    lines[-2] = '\r';
    lines[-1] = '\n';
    return 2;
}

// Writes `length` bytes from `bytes` at `size` (or at the end, unlocked) in one call; when that
// fails part way under the lock, cuts the file back to `size`. True when all went out.
bool writeAt(HANDLE file, LARGE_INTEGER size, bool locked, const char* bytes, size_t length) {
    OVERLAPPED at = {};
    at.Offset = locked ? static_cast<DWORD>(size.QuadPart) : 0xFFFFFFFF; // all ones: the file's end
    at.OffsetHigh = locked ? static_cast<DWORD>(static_cast<ULONGLONG>(size.QuadPart) >> 32) : 0xFFFFFFFF;
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes, static_cast<DWORD>(length), &written, &at) && written == length;
    if (!whole && locked && written > 0 && SetFilePointerEx(file, size, nullptr, FILE_BEGIN))
        SetEndOfFile(file); // a full disk: nothing torn stays behind
    return whole;
}

} // namespace

namespace airlog {

bool appendLines(const char* path, char* lines, size_t length) {
    if (length == 0 || length > MAXDWORD - kAppendPrefixRoom)
        return length == 0;
    for (int open = 0; open < kOpensPerCall; open++) {
        HANDLE file = openLog(path);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const WriterLock lock = lockWriters(file);
        LARGE_INTEGER size;
        if (lock == kLockBusy || !GetFileSizeEx(file, &size)) {
            CloseHandle(file);
            return false;
        }
        // Only a file due to roll may have been rolled by another player since we opened it; the
        // last open writes wherever it is, rather than lose the lines.
        const bool lastOpen = open + 1 == kOpensPerCall;
        if (rollDue(size.QuadPart) && !lastOpen && (!namesThisFile(path, file) || rollLog(path))) {
            CloseHandle(file); // the lock goes with the handle
            continue;
        }
        const size_t prefix = prefixFor(file, size, lines);
        const bool written = writeAt(file, size, lock == kLocked, lines - prefix, prefix + length);
        if (lock == kLocked)
            unlockWriters(file);
        const bool closed = CloseHandle(file) != 0;
        return written && closed;
    }
    return false;
}

} // namespace airlog
