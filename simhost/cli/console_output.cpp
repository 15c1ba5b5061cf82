// stdout through a pipe, and a converter thread that reads it and writes the operator's letters
// where stdout went: WriteConsoleW to a console, UTF-8 to a file or a pipe. The C runtime keeps
// writing as it always has, so every line of the program, whoever prints it, is converted alike.
#include "cli/console_output.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "cli/options.h"

namespace {

constexpr DWORD kPipeBytes = 1 << 16;
constexpr int kChunkBytes = 4096;
// How long the end of the program waits for the last output to go out: a console whose window has
// text selected holds every write until the selection ends, and must not hold the exit for ever.
constexpr DWORD kDeliveryDeadlineMs = 30000;

// Set by startConsoleOutput on the main thread before the converter starts; read-only afterwards,
// until finishConsoleOutput, which one thread alone gets past (`finished`, a 32-bit atomic).
HANDLE destination = nullptr; // where stdout went: the handle of `savedStdout`
bool toConsole = false;
bool utf8CodePage = false; // the ANSI code page is UTF-8 (Windows' "use UTF-8" option)
bool doubleByteCodePage = false;
int savedStdout = -1; // the descriptor stdout had, kept to put back at the end
HANDLE pipeRead = nullptr;
HANDLE converter = nullptr;
volatile LONG finished = 0;
// The last step: set on the main thread before anything can end the process; run by whichever
// thread gets past `lastStepTaken` (a 32-bit atomic) first.
void (*lastStep)() = nullptr;
volatile LONG lastStepTaken = 0;
volatile LONG atExitSet = 0;

// How many of `length` bytes end on a whole character of the ANSI code page: a double-byte lead
// byte, or a UTF-8 sequence cut short, waits at the end for the rest of its character.
int wholeCharacters(const char* bytes, int length) {
    if (utf8CodePage) {
        int start = length;
        while (start > 0 && length - start < 3 &&
               (static_cast<unsigned char>(bytes[start - 1]) & 0xC0) == 0x80)
            start--;
        if (start == 0)
            return length;
        const auto lead = static_cast<unsigned char>(bytes[start - 1]);
        const int needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        return length - (start - 1) < needed ? start - 1 : length;
    }
    if (!doubleByteCodePage)
        return length;
    int i = 0;
    while (i < length) {
        if (!IsDBCSLeadByte(static_cast<BYTE>(bytes[i])))
            i++;
        else if (i + 1 < length)
            i += 2;
        else
            return i;
    }
    return length;
}

void writeAll(const char* bytes, int length) {
    while (length > 0) {
        DWORD written = 0;
        if (!WriteFile(destination, bytes, static_cast<DWORD>(length), &written, nullptr) || written == 0)
            return;
        bytes += written;
        length -= static_cast<int>(written);
    }
}

// `length` bytes in the ANSI code page, out as characters.
void deliver(const char* bytes, int length) {
    static wchar_t wide[kChunkBytes + 8];
    static char utf8[3 * (kChunkBytes + 8)];
    if (length <= 0)
        return;
    const int count = MultiByteToWideChar(CP_ACP, 0, bytes, length, wide, kChunkBytes + 8);
    if (toConsole) {
        for (int done = 0; done < count;) {
            DWORD written = 0;
            if (!WriteConsoleW(destination, wide + done, static_cast<DWORD>(count - done), &written,
                               nullptr) ||
                written == 0)
                return;
            done += static_cast<int>(written);
        }
        return;
    }
    writeAll(utf8, WideCharToMultiByte(CP_UTF8, 0, wide, count, utf8, sizeof utf8, nullptr, nullptr));
}

// The converter: reads the pipe until every writer has closed it.
DWORD WINAPI convert(void*) {
    static char bytes[kChunkBytes + 8];
    int carried = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(pipeRead, bytes + carried, kChunkBytes, &got, nullptr) || got == 0)
            break;
        const int length = carried + static_cast<int>(got);
        const int whole = wholeCharacters(bytes, length);
        deliver(bytes, whole);
        carried = length - whole;
        std::memmove(bytes, bytes + whole, static_cast<size_t>(carried));
    }
    deliver(bytes, carried); // a character cut short by the end, as the code page reads it
    return 0;
}

void closeQuietly(HANDLE* handle) {
    if (*handle != nullptr)
        CloseHandle(*handle);
    *handle = nullptr;
}

// The end of a process whose heap refused: the line, then the same end as every other.
void outOfMemory() {
    std::fputs("error: out of memory: the playlist or the run needs more than this process can have\n",
               stdout);
    sim::endProcessNow(sim::kExitOutOfMemory);
}

} // namespace

namespace sim {

void startConsoleOutput() {
    // exit() ends the process through here whether or not the conversion can start below.
    if (InterlockedExchange(&atExitSet, 1) == 0)
        std::atexit(finishConsoleOutput);
    const int out = _fileno(stdout);
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (converter != nullptr || handle == nullptr || handle == INVALID_HANDLE_VALUE || out < 0)
        return;
    DWORD mode = 0;
    toConsole = GetConsoleMode(handle, &mode) != 0;
    CPINFO info = {};
    utf8CodePage = GetACP() == CP_UTF8;
    doubleByteCodePage = !utf8CodePage && GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
    HANDLE pipeWrite = nullptr;
    if (!CreatePipe(&pipeRead, &pipeWrite, nullptr, kPipeBytes))
        return;
    std::fflush(stdout);
    savedStdout = _dup(out);
    // Text mode, as stdout had it: a line still ends in CR LF.
    const int pipeDescriptor = _open_osfhandle(reinterpret_cast<intptr_t>(pipeWrite), _O_TEXT | _O_WRONLY);
    if (pipeDescriptor < 0)
        CloseHandle(pipeWrite);
    if (savedStdout < 0 || pipeDescriptor < 0 || _dup2(pipeDescriptor, out) != 0) {
        if (pipeDescriptor >= 0)
            _close(pipeDescriptor);
        if (savedStdout >= 0)
            _close(savedStdout);
        savedStdout = -1;
        closeQuietly(&pipeRead);
        return;
    }
    _close(pipeDescriptor);
    // Only this process writes into the pipe: a program it starts (the browser) must not hold it
    // open, or the converter would never see its end.
    SetHandleInformation(reinterpret_cast<HANDLE>(_get_osfhandle(out)), HANDLE_FLAG_INHERIT, 0);
    destination = reinterpret_cast<HANDLE>(_get_osfhandle(savedStdout));
    converter = CreateThread(nullptr, 0, convert, nullptr, 0, nullptr);
    if (converter == nullptr) {
        _dup2(savedStdout, out);
        _close(savedStdout);
        savedStdout = -1;
        closeQuietly(&pipeRead);
        return;
    }
}

bool outputIsConsole() {
    return converter != nullptr && toConsole;
}

void finishConsoleOutput() {
    std::fflush(stdout);
    if (converter != nullptr && InterlockedExchange(&finished, 1) == 0) {
        // stdout back where it went; that closes the pipe's one writer, and the converter reads to
        // the end.
        _dup2(savedStdout, _fileno(stdout));
        WaitForSingleObject(converter, kDeliveryDeadlineMs);
        closeQuietly(&converter);
        closeQuietly(&pipeRead);
    }
    if (lastStep != nullptr && InterlockedExchange(&lastStepTaken, 1) == 0)
        lastStep();
}

void setLastStep(void (*step)()) {
    lastStep = step;
}

void endProcessNow(int status) {
    finishConsoleOutput();
    std::_Exit(status);
}

void endOnOutOfMemory() {
    std::set_new_handler(outOfMemory);
}

} // namespace sim
