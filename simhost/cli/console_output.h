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
// process ends; later output goes out unconverted. Also run at exit(); call it before any other
// way of ending the process. Safe to call more than once.
void finishConsoleOutput();

} // namespace sim
