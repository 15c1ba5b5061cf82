// songbeacon-tune: the sweep on the station's own PC, as a Windows user runs a program. Started
// from the Start menu it asks for the playlist (or takes the one dropped on it), works on copies
// of the installed plug-in and its settings in a folder of the operator's own, sweeps the two
// limits with the goals docs/tuning.md gives over ranges suited to the playlist, says what to type into the
// plug-in's dialog, opens the sweep's page in the browser, and keeps its window open until a key
// is pressed. From a command prompt it takes the simulated player's sweep options. The sweep
// itself is the simulated player's, run through the same code as songbeacon-host.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/ansi_code_page.h"
#include "cli/console_output.h"
#include "cli/host_main.h"
#include "cli/operator_files.h"
#include "cli/options.h"
#include "cli/settings_check.h"
#include "tune/operator_folder.h"
#include "tune/tune_aired.h"
#include "tune/tune_plan.h"
#include "tune/windows_shell.h"

namespace {

// The command line after the program's name, in the ANSI code page as the player takes it; a
// file named with letters beyond the code page is passed by its short name.
bool ansiArguments(std::vector<std::string>* arguments, std::string* error) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        *error = "cannot read the command line";
        return false;
    }
    bool fits = true;
    for (int i = 1; i < count && fits; i++) {
        std::string ansi;
        fits = sim::ansiPath(wide[i], &ansi);
        if (!fits)
            *error = "\"" + ansi + "\" holds letters the ANSI code page " + std::to_string(GetACP()) +
                     " has no place for, and names no file that has a short name without them";
        arguments->push_back(ansi);
    }
    LocalFree(wide);
    return fits;
}

// The titles, to size the ranges by; false when the file cannot be read as a playlist, or is too
// large to be read at all (the player then says why, in its own words).
bool readTitles(const std::string& path, std::vector<sim::PlaylistEntry>* entries) {
    std::string bytes, reason;
    int64_t size = 0;
    sim::PlaylistFile playlist;
    if (sim::readPlaylistBytes(path, sim::kMostPlaylistBytes, &bytes, &size) != sim::kPlaylistRead ||
        !sim::readPlaylistFile(path, bytes, sim::ansiCodePage(), &playlist, &reason))
        return false;
    *entries = playlist.entries;
    return true;
}

// This program's path, as the line that repeats a sweep names it.
std::string programPath() {
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::string ansi = "songbeacon-tune.exe";
    if (length > 0 && length < path.size())
        sim::ansiPath(std::wstring(path.data(), length), &ansi);
    return ansi;
}

int fail(const std::string& error) {
    std::printf("error: %s\n", error.c_str());
    return sim::kExitUsage;
}

// The report's path: --report's, else a new one in the tool's folder named after `source` and the
// time, which `time` gets; empty, after an error line, when none can be made.
std::string reportPathOf(const sim::TuneCommand& command, const sim::TuningRun& run,
                         const std::string& source, std::string* time) {
    if (!command.reportPath.empty())
        return command.reportPath;
    const std::string report = sim::newReportPath(run, source, time);
    if (report.empty()) {
        std::string tuning;
        sim::inAnsiCodePage(run.tuning, &tuning);
        fail("cannot make a file for the report in " + tuning);
    }
    return report;
}

// The end of a run: its report kept (with `record` at its top, the older ones past the latest few
// removed), what to type into the plug-in's dialog, the page in the browser unless --no-browser,
// and a last line that names the report.
int endOfRun(const sim::TuneCommand& command, const sim::TuningRun& run, const std::string& report,
             const sim::ReportRecord& record, const sim::SweepAnswer& answer) {
    const int status = record.status;
    const bool kept =
        command.reportPath.empty() ? sim::keepReport(run, report, record) : sim::fileExists(report);
    if (status == sim::kExitDone && (answer.recommended || answer.choices))
        std::printf(
            "\n%s",
            sim::dialogAdvice({answer.recommended, answer.setting, answer.keep, answer.filterOff}).c_str());
    if (status == sim::kExitDone && !command.noBrowser) {
        if (sim::openInBrowser(sim::widePath(report)))
            std::printf("The page is open in your browser.\n");
        else
            std::printf("The browser could not be started: open %s yourself.\n", report.c_str());
    }
    if (kept && command.reportPath.empty())
        std::printf("The report is kept in %s (%s beside it lists the latest %d).\n", report.c_str(),
                    sim::kReportIndexName, static_cast<int>(sim::kKeptReports));
    else if (kept)
        std::printf("The report is in %s.\n", report.c_str());
    return status;
}

// What the run's end says of its answer, for the report's record.
sim::ReportRecord recordOf(int status, const sim::SweepAnswer& answer, const std::string& time,
                           const std::string& playlist) {
    sim::ReportRecord record = {};
    record.time = time;
    record.playlist = sim::fileNameOf(playlist);
    record.status = status;
    record.setting = answer.setting;
    record.answer = status != sim::kExitDone || !(answer.recommended || answer.choices) ? sim::kAnswerNone
                    : answer.recommended ? sim::kAnswerRecommended
                                         : sim::kAnswerNearest;
    return record;
}

// The sweep on the copies in the run's own folder, its report kept, the answer in the dialog's
// words; the last line names the report.
int sweepInRun(const sim::TuneCommand& command, const std::vector<std::string>& arguments,
               const std::wstring& installed, const sim::TuningRun& run) {
    std::string installedName;
    sim::inAnsiCodePage(installed, &installedName);
    std::printf("plug-in: %s, copied with %s into %s (the player's own files are only read)\n",
                installedName.c_str(),
                run.iniCopied ? (command.iniPath.empty() ? "its plugin.ini" : command.iniPath.c_str())
                              : "no plugin.ini (there is none beside it: the plug-in's defaults)",
                run.folder.ansi.c_str());
    for (const auto& [key, limit] :
         {std::pair<const char*, int32_t>{"SameArtistCheckLimit", command.artistLimit},
          {"SameTitleCheckLimit", command.titleLimit}})
        if (limit >= 0 && !sim::setRunIniKey(run.folder, key, std::to_string(limit)))
            return fail(std::string("cannot set ") + key + " in the copy of plugin.ini");
    std::string time;
    const std::string report = reportPathOf(command, run, command.playlist, &time);
    if (report.empty())
        return sim::kExitUsage;

    std::vector<sim::PlaylistEntry> entries;
    sim::TuneRanges ranges = {};
    if (!command.rangesGiven && readTitles(command.playlist, &entries)) {
        ranges = sim::defaultRanges(entries, command);
        std::printf("%s\n", sim::rangesText(ranges, static_cast<int32_t>(entries.size())).c_str());
    }
    std::fflush(stdout);
    std::vector<std::string> player =
        sim::playerArguments(command, run.dll, command.playlist, ranges, report);
    std::vector<char*> argv;
    for (std::string& word : player)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const std::string typed = sim::typedCommandOf(programPath(), arguments);
    sim::SweepAnswer answer = {};
    const int status = sim::hostMain(static_cast<int>(player.size()), argv.data(), typed.c_str(), &answer);
    return endOfRun(command, run, report, recordOf(status, answer, time, command.playlist), answer);
}

// An air log among the first two files given goes first, and is the one read: its path; "" when
// neither is one.
std::string airLogFirst(std::vector<std::string>* arguments) {
    for (size_t i = 0; i < 2 && i < arguments->size(); i++)
        if (!(*arguments)[i].empty() && (*arguments)[i][0] != '-' && sim::isAirLog((*arguments)[i])) {
            std::swap((*arguments)[0], (*arguments)[i]);
            return (*arguments)[0];
        }
    return std::string();
}

// Reading an air log, with the playlist given beside it, if any; its page kept as a sweep's is.
int airedInRun(const sim::TuneCommand& command, const sim::TuningRun& run) {
    if (!command.iniPath.empty() || command.artistLimit >= 0 || command.titleLimit >= 0)
        return fail("--ini, --artist-limit and --title-limit set the plug-in's copy for a sweep: reading an "
                    "air log needs none of them");
    // A second file beside the log is the playlist (the options' own, read as --aired reads them).
    const std::string playlist = command.options.aired.logPath.empty() ? "" : command.options.playlistPath;
    std::string time;
    const std::string page = reportPathOf(command, run, command.airedLog, &time);
    if (page.empty())
        return sim::kExitUsage;
    sim::SweepAnswer answer = {};
    const int status = sim::tuneAired(command, command.airedLog, playlist, page, &answer);
    return endOfRun(command, run, page, recordOf(status, answer, time, command.airedLog), answer);
}

int tune() {
    std::vector<std::string> arguments;
    std::string error;
    sim::TuneCommand command;
    if (!ansiArguments(&arguments, &error))
        return fail(error);
    command.airedLog = airLogFirst(&arguments);
    switch (sim::parseTuneCommand(arguments, &command, &error)) {
    case sim::kTuneHelpAsked:
        std::fputs(sim::tuneUsageText(), stdout);
        return sim::kExitDone;
    case sim::kTuneBadOptions:
        return fail(error);
    default:
        break;
    }
    int32_t used = 0, present = 0;
    sim::yieldToThePlayer(&used, &present);
    std::printf("priority: below normal, on %d of the %d processors%s\n", used, present,
                used < present ? ": the rest are left to the player and the encoder" : "");
    if (command.playlist.empty()) {
        std::fflush(stdout);
        std::wstring chosen;
        if (!sim::askForPlaylist(&chosen)) {
            std::printf("No playlist chosen: nothing was done.\n");
            return sim::kExitUsage;
        }
        if (!sim::ansiPath(chosen, &command.playlist))
            return fail("the playlist's name holds letters the ANSI code page has no place for");
        arguments.insert(arguments.begin(), command.playlist);
        if (sim::isAirLog(command.playlist))
            command.airedLog = command.playlist;
    }

    std::wstring installed;
    sim::TuningRun run;
    std::string note;
    if (!sim::findInstalledPlugin(&installed, &error) ||
        !sim::startTuningRun(installed, sim::widePath(command.iniPath), &run, &note, &error))
        return fail(error);
    if (!note.empty())
        std::printf("note: %s\n", note.c_str());
    const int status =
        command.airedLog.empty() ? sweepInRun(command, arguments, installed, run) : airedInRun(command, run);
    sim::endTuningRun(&run);
    return status;
}

// The last step of every end of the process in a console of its own (main's return, an error, the
// out-of-memory end, the watchdog of a hung shut-down): the window closes with the process.
void waitToClose() {
    sim::waitForKey("\nPress any key to close this window.\n");
}

} // namespace

int main() {
    if (sim::consoleOfItsOwn())
        sim::setLastStep(waitToClose);
    sim::startConsoleOutput();
    sim::endOnOutOfMemory();
    const int status = tune();
    sim::finishConsoleOutput();
    return status;
}
