// What the simulated player and the tuning tool print, as the operator's letters. Everything they
// print goes to stdout in the ANSI code page, the one the player hands titles to plug-ins in; a
// console would show those bytes in its own (OEM) code page, "Eyðun" as "Ey­un". So stdout is led
// through a pipe, and the bytes are converted on their way out: to a console as UTF-16
// (WriteConsoleW), to a file or a pipe as UTF-8, the same text a Linux terminal or an editor
// reads. The HTML report and the CSV log are written apart and keep their own encodings.
#pragma once

namespace sim {

// Leads stdout through the conversion from now on; call first in main. When stdout is missing or
// the pipe cannot be made, output stays as it was.
void startConsoleOutput();

// True when stdout is a console (a window of its own, or a terminal under Wine): a progress line
// that rewrites itself belongs there only.
bool outputIsConsole();

// Delivers everything printed so far and ends the conversion, so that nothing is lost when the
// process ends; later output goes out unconverted. Then runs the last step, if one is set, once.
// Also run at exit() (once startConsoleOutput has been called), which the shut-down watchdog ends
// the process through; call it before any other way of ending the process. Safe to call more than
// once, and from any thread.
void finishConsoleOutput();

// Sets what finishConsoleOutput runs last, after the last line is out, whichever way the process
// ends: main's return, exit() from another thread, or endProcessNow. songbeacon-tune waits there
// for a key when its console is its own; songbeacon-host sets nothing and never waits.
void setLastStep(void (*step)());

// Ends the process with `status` at once, after finishConsoleOutput, without the C runtime's other
// handlers: for an end where the heap can no longer be trusted.
[[noreturn]] void endProcessNow(int status);

// From now on a refusal of the heap prints "error: out of memory" and ends the process through
// endProcessNow with the out-of-memory status, rather than as an uncaught std::bad_alloc through
// abort(), whose status 3 reads as a plug-in that refused to start. A sweep sets a handler with
// its own advice for its course.
void endOnOutOfMemory();

} // namespace sim
