// The Windows test pack's self-check: a program that crashes on purpose, so that the pack proves,
// wherever it runs, that it counts a crashed test program as failed. A crash's exit status is the
// exception's code, 0xC0000005 and the like, which the command prompt sees as a negative number.
//   pack_crash null             reads through a null pointer (0xC0000005)
//   pack_crash stack            recurses until the stack runs out (0xC00000FD)
//   pack_crash buffer-overrun   ends as a failed stack cookie check does (0xC0000409)
// The crash is real: nothing in the program handles it. Only the last resort is taken from the
// system: instead of offering a debugger (winedbg's dialog under Wine, Windows Error Reporting's
// on Windows), which would hold the pack until someone clicks, the process ends at once with the
// exception's code, the status it ends with once the dialog is dismissed. Exits 1 for a wrong
// argument.
#include <windows.h>

#include <climits>
#include <cstring>

namespace {

constexpr UINT kStackBufferOverrun = 0xC0000409; // STATUS_STACK_BUFFER_OVERRUN

volatile int* volatile nowhere = nullptr;

LONG WINAPI endWithTheExceptionsCode(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER; // the process ends with the exception's code
}

// Uses a page of stack per call, and never returns before the stack is gone.
int deeper(int depth) {
    volatile char page[4096];
    page[0] = static_cast<char>(depth);
    return depth < INT_MAX ? deeper(depth + 1) + page[0] : 0;
}

} // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(endWithTheExceptionsCode);
    const char* how = argc == 2 ? argv[1] : "";
    if (std::strcmp(how, "null") == 0)
        return *nowhere;
    if (std::strcmp(how, "stack") == 0)
        return deeper(0);
    if (std::strcmp(how, "buffer-overrun") == 0)
        ExitProcess(kStackBufferOverrun);
    return 1;
}
