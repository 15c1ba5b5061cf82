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
#include "tune/operator_folder.h"
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

int tune() {
    std::vector<std::string> arguments;
    std::string error;
    sim::TuneCommand command;
    if (!ansiArguments(&arguments, &error))
        return fail(error);
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
    }

    std::wstring installed;
    sim::TuningFiles files;
    if (!sim::findInstalledPlugin(&installed, &error) ||
        !sim::prepareTuningFolder(installed, sim::widePath(command.iniPath), &files, &error))
        return fail(error);
    std::string folder, dll, report;
    if (!sim::ansiPath(files.folder, &folder) || !sim::ansiPath(files.dll, &dll))
        return fail("the folder " + folder + " cannot be named in the ANSI code page, as the plug-in needs");
    report = folder + "\\sweep.html";
    std::string installedName;
    sim::inAnsiCodePage(installed, &installedName);
    std::printf("plug-in: %s, copied with %s into %s (the player's own files are only read)\n",
                installedName.c_str(),
                files.iniCopied ? (command.iniPath.empty() ? "its plugin.ini" : command.iniPath.c_str())
                                : "no plugin.ini (there is none beside it: the plug-in's defaults)",
                folder.c_str());
    for (const auto& [key, limit] :
         {std::pair<const char*, int32_t>{"SameArtistCheckLimit", command.artistLimit},
          {"SameTitleCheckLimit", command.titleLimit}})
        if (limit >= 0 && !sim::setCopiedLimit(files, key, limit))
            return fail(std::string("cannot set ") + key + " in the copy of plugin.ini");

    std::vector<sim::PlaylistEntry> entries;
    sim::TuneRanges ranges = {};
    if (!command.rangesGiven && readTitles(command.playlist, &entries)) {
        ranges = sim::defaultRanges(entries, command);
        std::printf("%s\n", sim::rangesText(ranges, static_cast<int32_t>(entries.size())).c_str());
    }
    std::fflush(stdout);
    std::vector<std::string> player = sim::playerArguments(command, dll, command.playlist, ranges, report);
    std::vector<char*> argv;
    for (std::string& word : player)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);
    const std::string typed = sim::typedCommandOf(programPath(), arguments);
    sim::SweepAnswer answer = {};
    const int status = sim::hostMain(static_cast<int>(player.size()), argv.data(), typed.c_str(), &answer);
    if (status != sim::kExitDone)
        return status;
    if (answer.recommended || answer.choices)
        std::printf("\n%s", sim::dialogAdvice(answer.recommended, answer.setting).c_str());
    const std::string page = command.reportPath.empty() ? report : command.reportPath;
    if (command.noBrowser)
        return status;
    if (sim::openInBrowser(sim::widePath(page)))
        std::printf("The page is open in your browser.\n");
    else
        std::printf("The browser could not be started: open %s yourself.\n", page.c_str());
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
