// The tool's own folder on the operator's PC, %LOCALAPPDATA%\Songbeacon\Tuning, and the installed
// files it starts from. The folder keeps only the tool's reports and their index. Each run works
// on copies of the installed plug-in and the player's plugin.ini in a folder of its own inside it,
// removed when the run ends, so that two tools run side by side, nothing of the station's stays
// behind, and nothing is ever written into the player's folder.
#pragma once

#include <string>

#include "cli/run_folder.h"
#include "tune/report_index.h"

namespace sim {

// The plug-in this program goes with: beside it (as the release zip holds them), else in the
// folder above (Setup puts the program into Plugins\Songbeacon and the plug-in into Plugins).
// False, with `error` one line, when there is none.
bool findInstalledPlugin(std::wstring* dll, std::string* error);

// What a run works with.
struct TuningRun {
    std::wstring tuning; // the tool's folder, which keeps the reports
    RunFolder folder;    // the run's own folder in it
    std::string dll;     // the copy of the plug-in, in the ANSI code page
    bool iniCopied;      // false: there was no plugin.ini to copy, so the plug-in takes its defaults
};

// Makes the tool's folder (under %LOCALAPPDATA%, else the platform's local application-data
// folder), removes once what an earlier version kept there (its copies, with `note` the line that
// says so), then makes the run's own folder in it (removing those of runs no longer running) and
// copies into it the plug-in `dll` and the settings: `settings` when not empty (--ini), else the
// plugin.ini beside `dll`; a copy's page is off and kept in the folder. False, with `error` one
// line, when a file cannot be read or written; nothing of the run is left then.
bool startTuningRun(const std::wstring& dll, const std::wstring& settings, TuningRun* run, std::string* note,
                    std::string* error);

// Removes the run's own folder; one still held is left for a later run to remove.
void endTuningRun(TuningRun* run);

// A new report's path in the tool's folder for the playlist `playlistPath` (ANSI), named after it
// and the time now, which `time` gets; the file is made, empty, so no other run takes the name.
// Empty when it cannot be made.
std::string newReportPath(const TuningRun& run, const std::string& playlistPath, std::string* time);

// Once the sweep has ended with `status` and `answer`: writes the record at the top of the report
// at `reportPath` (one left empty is removed), then removes the reports past the newest
// kKeptReports and writes the index page anew. False when the report is not there to keep.
bool keepReport(const TuningRun& run, const std::string& reportPath, ReportRecord record);

} // namespace sim
