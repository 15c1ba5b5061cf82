// songbeacon-host: a stand-in for the media player, for trying a general-purpose plug-in without
// one. It loads the plug-in through its export, plays a playlist at it track after track, obeys
// its next-track commands, and reports what happened to each track and, at the end, what the
// repeat filter did to the playlist. Station operators use it to try their playlist and limits
// before going on air.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/host_main.h"

#include "report/event_log.h"
#include "cli/aired_main.h"
#include "cli/ansi_code_page.h"
#include "cli/ini_reader.h"
#include "cli/operator_files.h"
#include "cli/options.h"
#include "cli/settings_check.h"
#include "cli/shared_read.h"
#include "player/page_watch.h"
#include "playlist/playlist.h"
#include "playlist/playlist_form.h"
#include "player/plugin_loader.h"
#include "report/report.h"
#include "player/run_driver.h"
#include "tuning/rotation.h"
#include "tuning/run_stats.h"
#include "tuning/sweep.h"
#include "player/sim_player.h"
#include "cli/sweep_main.h"

namespace {

// The playlist as the player reads it; false with a one-line error when the file cannot be read,
// is larger than a playlist may be (before it is read), is empty, holds a NUL (UTF-16 saved
// without its mark), holds no titles or does not look like a playlist.
bool readPlaylist(const std::string& path, const sim::CodePage& codePage, sim::PlaylistFile* playlist) {
    std::string bytes, reason;
    int64_t size = 0;
    switch (sim::readPlaylistBytes(path, sim::kMostPlaylistBytes, &bytes, &size)) {
    case sim::kPlaylistUnreadable:
        std::printf("error: cannot read the playlist %s: no such file, or not readable\n", path.c_str());
        return false;
    case sim::kPlaylistTooLarge:
        std::printf("error: the playlist %s %s\n", path.c_str(),
                    sim::tooLargeReason(size, sim::kMostPlaylistBytes).c_str());
        return false;
    default:
        break;
    }
    if (!sim::readPlaylistFile(path, bytes, codePage, playlist, &reason)) {
        std::printf("error: the playlist %s %s\n", path.c_str(), reason.c_str());
        return false;
    }
    return true;
}

// What the run's events go to: the console (unless quiet) and the CSV log (when there is one).
struct EventOutputs {
    bool quiet;
    FILE* log;
};

// The console line of an event, with the reason for a skip on a line of its own, and its CSV row.
void showEvent(void* context, const sim::RunRecord& record, const sim::TrackEvent& event) {
    const auto* outputs = static_cast<const EventOutputs*>(context);
    if (outputs->log != nullptr)
        std::fputs(sim::eventLogRow(record, event).c_str(), outputs->log);
    if (outputs->quiet)
        return;
    static const char* const kAgainNotes[] = {"", "   (again: every other entry is refused, for good)",
                                              "   (again: another entry with the same title)",
                                              "   (again: the same title as the track before)"};
    const bool played = event.kind == sim::kPlayed;
    std::printf("%5ld  %-8s %s", static_cast<long>(event.entry + 1), played ? "played" : "skipped",
                sim::titleOf(record, event).c_str());
    if (played && event.again <= sim::kAgainCameRound)
        std::fputs(kAgainNotes[event.again], stdout);
    if (played && event.unseen)
        std::printf("   (the plug-in never read its title)");
    std::printf("\n");
    if (!played)
        std::printf("               why: %s\n", sim::reasonText(sim::reasonOf(record, event)).c_str());
    else if (event.other >= 0)
        std::printf("               note: %s\n", sim::letThroughText(record, event).c_str());
    std::fflush(stdout);
}

// The run as the player is to play it.
sim::RunPlan planOf(const sim::Options& options, EventOutputs* outputs) {
    sim::RunPlan plan = {};
    plan.paceMs = options.paceMs;
    plan.fast = options.fast;
    plan.fastTimeoutSeconds = options.fastTimeoutSeconds;
    plan.goRound = sim::goesRound(options);
    plan.tracks = options.tracks;
    plan.stationSeconds = options.stationSeconds;
    plan.shuffle = options.shuffle;
    plan.seed = options.seed;
    plan.quiet = options.quiet;
    plan.pauseAt = options.pauseAt;
    plan.stopAt = options.stopAt;
    plan.onEvent = showEvent;
    plan.eventContext = outputs;
    return plan;
}

// Opens the log the run writes as it goes, now, and makes sure the report can be written at the
// end, so that a bad name fails before anything plays. A report from before stays as it is until
// the new one is written whole.
bool openOutputs(const sim::Options& options, FILE** log) {
    if (!options.logPath.empty() && (*log = std::fopen(options.logPath.c_str(), "wb")) == nullptr) {
        std::printf("error: cannot write %s\n", options.logPath.c_str());
        return false;
    }
    if (!options.reportPath.empty() && !sim::canWriteLater(options.reportPath)) {
        std::printf("error: cannot write %s\n", options.reportPath.c_str());
        return false;
    }
    const std::string lastPageFolder = sim::folderOf(options.lastPagePath);
    if (!options.lastPagePath.empty() && !sim::folderExists(lastPageFolder)) {
        std::printf("error: --last-page %s: the folder %s does not exist\n", options.lastPagePath.c_str(),
                    lastPageFolder.c_str());
        return false;
    }
    return true;
}

// The operator's plugin.ini, checked before the plug-in reads it; the warnings are printed now.
std::vector<std::string> checkIniBeforeStart(const std::string& iniPath) {
    const sim::IniSnapshot ini = sim::readIni(iniPath);
    std::vector<std::string> warnings = sim::checkSettings(ini);
    const std::string page = sim::outputFilenameKept(ini);
    if (ini.values[sim::kEnableHTMLOutput].number != 0 && ini.values[sim::kOutputFilename].present &&
        !sim::folderExists(sim::folderOf(page)))
        warnings.push_back("the page's folder " + sim::folderOf(page) +
                           " does not exist: the plug-in cannot write " + page);
    sim::checkAirLog(ini, iniPath, &warnings);
    for (const std::string& warning : warnings)
        std::printf("warning: %s\n", warning.c_str());
    return warnings;
}

// The report's heading: what the run was asked to do, and with which settings.
sim::ReportContext reportContext(const sim::Options& options, const std::vector<sim::PlaylistEntry>& playlist,
                                 bool limitsKnown, sim::RuleLimits limits,
                                 const std::vector<std::string>& warnings) {
    sim::ReportContext context;
    context.playlistName = sim::fileNameOf(options.playlistPath);
    context.entries = static_cast<int32_t>(playlist.size());
    context.rotationSeconds = sim::rotationSeconds(playlist); // as the sweep's heading has it
    context.shuffled = options.shuffle;
    context.seed = options.seed;
    context.secondsAsked = options.stationSeconds;
    context.tracksAsked = options.tracks;
    context.limitsKnown = limitsKnown;
    context.limits = limits;
    context.warnings = warnings;
    return context;
}

// The most memory the process has held so far, in whole megabytes (rounded up); 0 when unknown.
unsigned long peakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return static_cast<unsigned long>((counters.PeakWorkingSetSize + (1u << 20) - 1) >> 20);
}

// The report on the console, a line on how long the run took, and the HTML page when asked for;
// false, after an error line, when the page cannot be written.
bool printReports(const sim::Options& options, const sim::ReportContext& context, const sim::RunStats& stats,
                  ULONGLONG tookMs) {
    std::fputs(sim::renderTextReport(context, stats).c_str(), stdout);
    std::printf("(%s in %.1f s of real time, %lu MB of memory at most)\n", options.fast ? "fast run" : "run",
                tookMs / 1000.0, peakMegabytes());
    if (options.reportPath.empty())
        return true;
    if (sim::writeBytes(options.reportPath, sim::renderHtmlReport(context, stats)) != sim::kWritten) {
        std::printf("error: cannot write %s\n", options.reportPath.c_str());
        return false;
    }
    std::printf("The report is also in %s.\n", options.reportPath.c_str());
    return true;
}

// The whole run: playlist, plug-in, plugin.ini, the play, the report, the shut-down and the page.
// Returns the exit status; a sweep's answer goes to `answer` (when not null).
int run(sim::Options& options, sim::SweepAnswer* answer) {
    const sim::CodePage codePage = sim::ansiCodePage();
    sim::PlaylistFile playlistFile;
    std::string error;
    if (!readPlaylist(options.playlistPath, codePage, &playlistFile))
        return sim::kExitUsage;
    const std::vector<sim::PlaylistEntry>& playlist = playlistFile.entries;
    if (!sim::checkAgainstPlaylist(options, static_cast<int32_t>(playlist.size()), &error)) {
        std::printf("error: %s\n", error.c_str());
        return sim::kExitUsage;
    }
    FILE* log = nullptr;
    if (!openOutputs(options, &log))
        return sim::kExitUsage;
    if (options.shuffle && !options.seedGiven)
        options.seed = GetTickCount64() ^ (static_cast<uint64_t>(GetCurrentProcessId()) << 32);

    sim::Player player;
    sim::initPlayer(&player);
    for (const sim::PlaylistEntry& entry : playlist)
        player.titles.push_back(entry.title);
    player.version = options.version;
    if (!sim::createPlayerWindow(&player)) {
        std::printf("error: cannot create the player window\n");
        return sim::kExitCannotLoad;
    }
    HMODULE module = nullptr;
    sim::PluginHeader* plugin = sim::loadPlugin(options.pluginPath.c_str(), &module);
    if (plugin == nullptr)
        return sim::kExitCannotLoad;
    const std::string iniPath = sim::iniPathBeside(module);
    // What an earlier version's sweep, ended during its replay, left beside plugin.ini: said once.
    std::string found;
    sim::settleOldSweepFiles(iniPath, &found);
    if (!found.empty())
        std::printf("note: %s\n", found.c_str());
    std::vector<std::string> warnings = checkIniBeforeStart(iniPath);
    if (sim::sweepAsked(options)) {
        std::printf("playlist: %s, %s\n", options.playlistPath.c_str(),
                    sim::encodingText(playlistFile, codePage).c_str());
        for (const std::string& note : sim::encodingNotes(playlistFile, codePage))
            std::printf("note: %s\n", note.c_str());
        const int status = sim::runSweepCommand(options, playlist, &player, module, iniPath, answer);
        FreeLibrary(module);
        sim::destroyPlayerWindow(&player);
        return status;
    }
    // A run plays at the plug-in as the station's player does, so a log it names gets this run's
    // tracks as if they had gone to air (in a fast run, on the station clock's days).
    const std::string airLog = sim::airLogPathOf(sim::readIni(iniPath), iniPath);
    if (!airLog.empty()) {
        const std::string written = "the air log " + airLog +
                                    " (AirLog in plugin.ini) gets this simulated run's tracks as if they had "
                                    "gone to air: give the run a plugin.ini without AirLog to keep the "
                                    "station's log as it is";
        std::printf("warning: %s\n", written.c_str());
        warnings.push_back(written);
    }

    plugin->hostWindow = player.window;
    plugin->moduleInstance = module;
    if (plugin->startUp() != 0) {
        std::printf("error: the plug-in refused to start (startUp returned non-zero)\n");
        return sim::kExitRefusedToStart;
    }
    std::printf("plug-in: %s\nplaylist: %s, %ld entries, %s; %s\n", plugin->description,
                options.playlistPath.c_str(), static_cast<long>(playlist.size()),
                sim::encodingText(playlistFile, codePage).c_str(),
                options.fast ? "fast" : (std::to_string(options.paceMs) + " ms a track").c_str());
    for (const std::string& note : sim::encodingNotes(playlistFile, codePage))
        std::printf("note: %s\n", note.c_str());
    const std::string formWarning = sim::artistFormWarning(sim::playlistForm(playlist));
    if (!formWarning.empty()) {
        std::printf("warning: %s\n", formWarning.c_str());
        warnings.push_back(formWarning);
    }
    if (options.shuffle)
        std::printf("shuffled with seed %llu (--shuffle %llu repeats this run)\n",
                    static_cast<unsigned long long>(options.seed),
                    static_cast<unsigned long long>(options.seed));
    std::fflush(stdout);
    if (options.configure)
        plugin->configure();

    // What the plug-in holds now: it saved its settings back at start-up (and the dialog saves them).
    const sim::IniSnapshot held = sim::readIni(iniPath);
    const sim::RuleLimits limits =
        held.fileFound ? sim::limitsOf(held) : sim::RuleLimits{0, 0, false}; // unknown: every reason unknown
    if (!held.fileFound)
        std::printf(
            "note: no plugin.ini beside the plug-in after its start: the host cannot tell its limits or "
            "its page\n");
    const std::string starvation = sim::starvationWarning(limits, playlist);
    if (!starvation.empty()) {
        std::printf("warning: %s\n", starvation.c_str());
        warnings.push_back(starvation);
    }
    sim::PageWatch page;
    sim::startPageWatch(&page, sim::outputFilenameKept(held),
                        held.fileFound && held.values[sim::kEnableHTMLOutput].number != 0);

    EventOutputs outputs = {options.quiet, log};
    const sim::RunPlan plan = planOf(options, &outputs);
    if (log != nullptr)
        std::fputs(sim::eventLogHeader().c_str(), log);
    sim::HostRun hostRun;
    if (!sim::startRun(&hostRun, &player, plan, playlist, limits, &page)) {
        std::printf("error: out of memory\n");
        return sim::kExitCannotLoad;
    }
    const ULONGLONG started = GetTickCount64();
    int status = sim::playRun(&hostRun) ? sim::kExitDone : sim::kExitFastStalled;
    const ULONGLONG took = GetTickCount64() - started;
    if (hostRun.record.full) {
        std::printf("error: the run has started %ld tracks, the most one run records: it ends here, and the "
                    "report covers them (shorten the run with --hours or --tracks)\n",
                    static_cast<long>(hostRun.record.events.size()));
        status = sim::kExitRecordFull;
    }
    if (log != nullptr)
        std::fclose(log);

    if (!printReports(options, reportContext(options, playlist, held.fileFound, limits, warnings),
                      sim::computeStats(hostRun.record, sim::artistWindow(limits)), took) &&
        status == sim::kExitDone)
        status = sim::kExitUsage;
    sim::endRun(&hostRun);
    if (!options.lastPagePath.empty()) {
        if (sim::copyPage(page, options.lastPagePath, &error))
            std::printf("The page as it stood before shut-down is copied to %s.\n",
                        options.lastPagePath.c_str());
        else
            std::printf("warning: %s\n", error.c_str());
    }
    std::fflush(stdout);

    const int32_t rewritesWhilePlaying = page.rewrites;
    sim::shutDownWatched(plugin, sim::kExitShutDownHung);
    const bool offlinePageWritten = page.enabled && sim::notePageChange(&page);
    if (held.fileFound && !sim::reportPage(page, rewritesWhilePlaying, offlinePageWritten, iniPath) &&
        status == sim::kExitDone)
        status = sim::kExitPageNeverWritten;
    FreeLibrary(module);
    sim::destroyPlayerWindow(&player);
    return status;
}

} // namespace

namespace sim {

int hostMain(int argc, char** argv, const char* typedCommand, SweepAnswer* answer) {
    Options options;
    std::string error;
    switch (parseOptions(argc, argv, &options, &error)) {
    case kHelpAsked:
        std::fputs(usageText(), stdout);
        return kExitDone;
    case kBadOptions:
        std::printf("error: %s\n", error.c_str());
        return kExitUsage;
    default:
        if (typedCommand != nullptr)
            options.typedCommand = typedCommand;
        if (airedAsked(options))
            return airedMain(airedRequestOf(options, ansiCodePage(), readWholeSharing));
        return run(options, answer);
    }
}

} // namespace sim
