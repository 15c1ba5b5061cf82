// The sweep's course. The figures come from the mirror; the setting they recommend is then played
// through the plug-in on the same orders, and the plug-in must decide every track as the mirror
// did: a difference ends the sweep with its own exit status, never a quiet pick. The replay plays a
// copy of the plug-in in a folder of its own, beside a plugin.ini of its own that holds the
// setting, so that nothing in the operator's folder is ever written.
#include "cli/sweep_main.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "cli/ansi_code_page.h"
#include "cli/console_output.h"
#include "cli/ini_reader.h"
#include "cli/operator_files.h"
#include "cli/run_folder.h"
#include "cli/sweep_options.h"
#include "player/plugin_loader.h"
#include "player/replay.h"
#include "playlist/playlist_form.h"
#include "report/report.h"
#include "report/sweep_report.h"
#include "report/sweep_starving.h"
#include "tuning/recommendation.h"
#include "tuning/replay_extent.h"
#include "tuning/rotation.h"
#include "tuning/standing_answer.h"
#include "tuning/station_limits.h"
#include "tuning/sweep.h"

namespace {

// The replay's plugin.ini: the setting, the filter on, and the page off and named in the replay's
// folder (`page`), so that a rehearsal never rewrites the station's page. The plug-in takes its
// defaults for the rest.
std::string replayIniText(sim::SweepSetting setting, const std::string& page) {
    return "[Songbeacon]\r\nEnableHTMLOutput=0\r\nOutputFilename=" + page +
           "\r\nEnablePlaylistMonitoring=1\r\nSameArtistCheckLimit=" + std::to_string(setting.artistLimit) +
           "\r\nSameTitleCheckLimit=" + std::to_string(setting.titleLimit) + "\r\n";
}

// The copy of the plug-in the replay plays, in a folder of the replay's own in the user's
// temporary folder: its plugin.ini is the one beside the copy.
struct ReplayCopy {
    sim::RunFolder folder;
    HMODULE module;
    sim::PluginHeader* plugin;
};

// Makes the replay's folder and loads there a copy of the plug-in `original`. Returns kExitDone,
// or the exit status when it cannot, with `error` one line (none when the loader has said why).
int openReplayCopy(HMODULE original, ReplayCopy* copy, std::string* error) {
    *copy = {{std::wstring(), std::string(), INVALID_HANDLE_VALUE}, nullptr, nullptr};
    std::vector<wchar_t> buffer(32768);
    DWORD length = GetModuleFileNameW(original, buffer.data(), static_cast<DWORD>(buffer.size()));
    const std::wstring dll(buffer.data(), length < buffer.size() ? length : 0);
    const std::wstring name = dll.substr(dll.find_last_of(L"\\/") + 1);
    length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    std::wstring temp(buffer.data(), length < buffer.size() ? length : 0);
    while (!temp.empty() && (temp.back() == L'\\' || temp.back() == L'/'))
        temp.pop_back();
    if (dll.empty() || temp.empty()) {
        *error = "cannot tell where the plug-in or the temporary folder is: the replay did not run";
        return sim::kExitUsage;
    }
    if (!sim::openRunFolder(temp, L"songbeacon-replay-", &copy->folder, error) ||
        !sim::copyIntoRunFolder(copy->folder, dll, name.c_str(), error)) {
        sim::closeRunFolder(&copy->folder);
        *error += ": the replay did not run";
        return sim::kExitUsage;
    }
    std::string ansiName;
    sim::inAnsiCodePage(name, &ansiName);
    copy->plugin = sim::loadPlugin(sim::runFolderFile(copy->folder, ansiName.c_str()).c_str(), &copy->module);
    if (copy->plugin != nullptr)
        return sim::kExitDone;
    sim::closeRunFolder(&copy->folder);
    return sim::kExitCannotLoad;
}

// Unloads the copy and removes its folder; says so when the folder is left for a later sweep.
void closeReplayCopy(ReplayCopy* copy) {
    FreeLibrary(copy->module);
    if (!sim::closeRunFolder(&copy->folder))
        std::printf("note: the replay's folder %s is still held: the next sweep removes it\n",
                    copy->folder.ansi.c_str());
}

// The progress line on a console: shown once the sweep has taken kProgressAfterMs, rewritten in
// place as its runs through the mirror, then its replays through the plug-in, go on.
constexpr ULONGLONG kProgressAfterMs = 2000;
constexpr ULONGLONG kProgressEveryMs = 250;

struct Progress {
    bool shown;      // on a console
    ULONGLONG began; // when the sweep began
    ULONGLONG last;  // when the line was last written; 0: not yet
};

void showProgress(Progress* progress, const char* what, int64_t done, int64_t total) {
    const ULONGLONG now = GetTickCount64();
    if (!progress->shown || now - progress->began < kProgressAfterMs ||
        now - progress->last < kProgressEveryMs)
        return;
    progress->last = now;
    std::printf("\rsweeping: %lld of %lld %s (%lld %%)   ", static_cast<long long>(done),
                static_cast<long long>(total), what, static_cast<long long>(done * 100 / total));
    std::fflush(stdout);
}

void showRunProgress(void* context, int64_t done, int64_t total) {
    showProgress(static_cast<Progress*>(context), "runs through the mirror", done, total);
}

// Wipes the progress line, if one was written, so that what follows starts on a clean line.
void endProgress(Progress* progress) {
    if (progress->last != 0)
        std::printf("\r%78s\r", "");
    progress->last = 0;
}

// What the sweep works with.
struct Sweep {
    const sim::Options* options;
    const std::vector<sim::PlaylistEntry>* playlist;
    sim::Player* player;
    sim::PluginHeader* plugin; // the replay's copy
    std::string iniPath;       // its plugin.ini
    std::string pagePath;      // the page it would write, were its page on
    sim::SweepPlan plan;
    Progress* progress;
};

// Plays `setting` through the plug-in on every seed of the plan, each as far as replayExtentOf
// says (as far as its run has shown every kind of decision it makes, within its share of one
// run's length), and compares each record with the mirror's of the same length; stops at the first
// difference. Returns the exit status of a replay that could not be made, or kExitDone (whether or
// not the two agreed: `outcome` says).
int replaySetting(const Sweep& sweep, sim::SweepSetting setting, sim::ReplayOutcome* outcome) {
    // Agreed only once every seed has been replayed and compared: a replay that could not be
    // made confirms nothing.
    *outcome = {true, setting, 0, 0, false, std::string()};
    const sim::RuleLimits limits = {setting.artistLimit, setting.titleLimit, true};
    const auto entries = static_cast<int32_t>(sweep.playlist->size());
    outcome->shareSeconds = sim::replayShareSeconds(sweep.plan.stationSeconds, sweep.plan.seeds.size());
    for (uint64_t seed : sweep.plan.seeds) {
        showProgress(sweep.progress, "replays through the plug-in", outcome->seeds,
                     static_cast<int64_t>(sweep.plan.seeds.size()));
        sim::ReplayExtent extent = {};
        if (sim::replayExtentOf(*sweep.playlist, limits, seed, sweep.plan.stationSeconds,
                                sweep.plan.seeds.size(), &extent) == sim::kSimulationOutOfMemory) {
            std::printf("error: out of memory during the replay\n");
            return sim::kExitOutOfMemory;
        }
        if (sim::writeBytes(sweep.iniPath, replayIniText(setting, sweep.pagePath)) != sim::kWritten) {
            std::printf("error: cannot write %s for the replay\n", sweep.iniPath.c_str());
            return sim::kExitUsage;
        }
        sim::RunRecord real, mirrored;
        switch (sim::replaySeed(sweep.player, sweep.plugin, *sweep.playlist, limits, seed,
                                extent.stationSeconds, sweep.options->fastTimeoutSeconds,
                                sim::kExitShutDownHung, &real)) {
        case sim::kReplayRefusedToStart:
            std::printf("error: the plug-in refused to start for the replay (startUp returned non-zero)\n");
            return sim::kExitRefusedToStart;
        case sim::kReplayStalled:
            return sim::kExitFastStalled; // the run driver has said why
        case sim::kReplayOutOfMemory:
            std::printf("error: out of memory during the replay\n");
            return sim::kExitOutOfMemory;
        default:
            break;
        }
        // The plug-in saves back what it read at its start: it must be the setting written.
        const sim::RuleLimits held = sim::limitsOf(sim::readIni(sweep.iniPath));
        if (held.artistLimit != setting.artistLimit || held.titleLimit != setting.titleLimit ||
            !held.monitoring) {
            outcome->agreed = false;
            outcome->difference = "seed " + std::to_string(seed) + ": the plug-in started with " +
                                  sim::settingText({held.artistLimit, held.titleLimit}) + " (filter " +
                                  (held.monitoring ? "on" : "off") + ") instead";
            return sim::kExitDone;
        }
        if (sim::simulateRun(*sweep.playlist, limits, sim::sweepOrder(entries, seed), extent.stationSeconds,
                             &mirrored) == sim::kSimulationOutOfMemory) {
            std::printf("error: out of memory during the replay\n");
            return sim::kExitOutOfMemory;
        }
        const int64_t difference = sim::firstDifference(real, mirrored);
        outcome->seeds++;
        if (difference >= 0) {
            outcome->agreed = false;
            outcome->difference = sim::differenceText(real, mirrored, difference, seed);
            return sim::kExitDone;
        }
        outcome->events += static_cast<int64_t>(real.events.size());
        outcome->fewestSeconds = outcome->seeds == 1
                                     ? extent.stationSeconds
                                     : std::min(outcome->fewestSeconds, extent.stationSeconds);
        outcome->mostSeconds = std::max(outcome->mostSeconds, extent.stationSeconds);
        outcome->wholeRuns = outcome->wholeRuns && extent.whole;
        outcome->cut = outcome->cut || extent.cut;
        outcome->kindsShown |= extent.kindsShown;
        outcome->kindsLater |= extent.kindsOfRun & ~extent.kindsShown;
    }
    outcome->agreed = true;
    return sim::kExitDone;
}

// The CSV's path beside the page's: its extension (.html, .htm) replaced by .csv, or .csv added.
std::string csvPathBeside(const std::string& pagePath) {
    const size_t dot = pagePath.find_last_of('.');
    const size_t slash = pagePath.find_last_of("/\\");
    const bool extension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (extension ? pagePath.substr(0, dot) : pagePath) + ".csv";
}

// Writes the page to --report's file, if one was given, and the whole table as CSV beside it, and
// says where; false, after an error line, when either cannot be written.
bool writeReport(const sim::Options& options, const std::string& page, const std::string& csv) {
    if (options.reportPath.empty())
        return true;
    const std::string csvPath = csvPathBeside(options.reportPath);
    for (const auto& [path, bytes] :
         {std::pair<const std::string&, const std::string&>{options.reportPath, page}, {csvPath, csv}})
        if (sim::writeBytes(path, bytes) != sim::kWritten) {
            std::printf("error: cannot write %s\n", path.c_str());
            return false;
        }
    std::printf("The sweep is also in %s, and its whole table in %s.\n", options.reportPath.c_str(),
                csvPath.c_str());
    return true;
}

// When the heap refuses what the sweep needs, says so and ends with the status that means it,
// rather than letting the refusal end the process under another name; through the programs' one
// end, so that the tool's window still waits for a key.
void outOfMemory() {
    std::fputs("error: out of memory: the sweep needs more than this process can have; narrow a range, "
               "use fewer seeds or shorter runs\n",
               stdout);
    sim::endProcessNow(sim::kExitOutOfMemory);
}

} // namespace

namespace sim {

int runSweepCommand(const Options& options, const std::vector<PlaylistEntry>& playlist, Player* player,
                    HMODULE module, const std::string& iniPath, SweepAnswer* answer) {
    std::set_new_handler(outOfMemory);
    const IniSnapshot ini = readIni(iniPath);
    // The station's own limits are one more setting of the sweep, added to its ranges when missing;
    // a limit that is not swept is taken as the plug-in acts on it.
    StationLimits station = stationLimitsOf(ini.fileFound, limitsOf(ini));
    Sweep sweep = {&options,
                   &playlist,
                   player,
                   nullptr,
                   std::string(),
                   std::string(),
                   sweepPlanOf(options, playlist, {station.held.artistLimit, station.held.titleLimit, true}),
                   nullptr};
    includeStationLimits(&sweep.plan, &station);
    SweepContext context = {fileNameOf(options.playlistPath),
                            static_cast<int32_t>(playlist.size()),
                            rotationSeconds(playlist),
                            sweep.plan,
                            repeatCommand(options),
                            {},
                            sweepPlaylist(playlist).spellings,
                            {},
                            distinctTitles(playlist)};
    context.station = station;
    for (const PlaylistEntry& entry : playlist)
        context.titles.push_back(entry.title);
    if (ini.fileFound && ini.values[kEnablePlaylistMonitoring].number == 0)
        context.warnings.push_back(
            "EnablePlaylistMonitoring is 0 in plugin.ini: the sweep judges every setting "
            "with the filter on, as the plug-in would run with it switched on");
    const std::string formWarning = artistFormWarning(playlistForm(playlist));
    if (!formWarning.empty())
        context.warnings.push_back(formWarning);
    for (const std::string& warning : starvationWarnings(context))
        context.warnings.push_back(warning);
    std::fputs(renderSweepHeading(context).c_str(), stdout);
    std::fflush(stdout);

    const ULONGLONG started = GetTickCount64();
    Progress progress = {outputIsConsole(), started, 0};
    sweep.progress = &progress;
    sweep.plan.onRunDone = showRunProgress;
    sweep.plan.runDoneContext = &progress;
    std::vector<SweepRow> rows;
    const SimulatedEnd swept = runSweep(playlist, sweep.plan, &rows);
    endProgress(&progress);
    if (swept == kSimulationOutOfMemory) {
        std::printf("error: out of memory during the sweep\n");
        return kExitOutOfMemory;
    }
    if (swept == kRecordFilled) {
        // As an ordinary run ends: the figures of what was recorded, and no answer from them.
        Recommendation none = {kGoalsUnmet, 0, -1, {}, -1, -1};
        std::fputs(renderSweepTable(context, rows, none).c_str(), stdout);
        std::printf(
            "error: the run of %s on seed %llu has started %ld tracks, the most one run records: "
            "the sweep ends here, its table shows the settings played so far, the last on what that "
            "run recorded, and it recommends nothing (shorten the runs with --hours, or leave out the "
            "title limits that starve the rotation)\n",
            settingText(rows.back().setting).c_str(),
            static_cast<unsigned long long>(rows.back().seeds.back().seed),
            static_cast<long>(sweep.plan.mostEvents));
        // The page states an answer, which a sweep cut short has not got: a page from before stays.
        if (!options.reportPath.empty())
            std::printf("The sweep wrote no page: %s is as it was.\n", options.reportPath.c_str());
        std::fflush(stdout);
        return kExitRecordFull;
    }
    const ULONGLONG sweptAt = GetTickCount64();
    const Recommendation recommendation = recommend(rows, sweep.plan.goal);

    ReplayOutcome replay = {};
    ReplayCopy copy;
    std::string notReplayed; // said once the figures are out: they stand without the replay
    int status = openReplayCopy(module, &copy, &notReplayed);
    if (status == kExitDone) {
        copy.plugin->moduleInstance = copy.module;
        sweep.plugin = copy.plugin;
        sweep.iniPath = runFolderFile(copy.folder, "plugin.ini");
        sweep.pagePath = runFolderFile(copy.folder, "status.htm");
        status = replaySetting(sweep, rows[static_cast<size_t>(recommendation.replayed)].setting, &replay);
        endProgress(&progress);
        closeReplayCopy(&copy);
    }
    const ULONGLONG replayed = GetTickCount64();
    // The table marks its answer only once the plug-in has confirmed it, and a row as replayed only
    // once the replay has been tried.
    const Recommendation standing = standingRecommendation(recommendation, replay);
    Recommendation marked = standing;
    if (!replay.ran)
        marked.replayed = -1;
    std::fputs(renderSweepTable(context, rows, marked).c_str(), stdout);
    std::fputs(unpreventableText(context, rows, standing).c_str(), stdout);
    if (!notReplayed.empty())
        std::printf("error: %s\n", notReplayed.c_str());
    if (status != kExitDone)
        return status;
    if (replay.agreed) {
        std::fputs(replayText(replay).c_str(), stdout);
    } else {
        std::printf("error: %s", replayText(replay).c_str());
        status = kExitReplayDisagrees;
    }
    const std::string runs =
        countOf(static_cast<int64_t>(rows.size() * sweep.plan.seeds.size()), "run", "runs");
    const std::string replays = countOf(replay.seeds, "replay", "replays");
    std::printf(
        "(sweep in %.1f s of real time: %s through the mirror in %.1f s, %s through the plug-in in %.1f s)\n",
        (replayed - started) / 1000.0, runs.c_str(), (sweptAt - started) / 1000.0, replays.c_str(),
        (replayed - sweptAt) / 1000.0);
    if (!writeReport(options, renderSweepHtml(context, rows, recommendation, replay),
                     renderSweepCsv(context, rows, marked)) &&
        status == kExitDone)
        status = kExitUsage;
    if (replay.agreed)
        std::fputs(recommendationText(context, rows, recommendation).c_str(), stdout);
    if (replay.agreed && answer != nullptr) {
        answer->recommended = recommendation.verdict == kEveryGoalMet;
        answer->choices = !answer->recommended;
        answer->setting = rows[static_cast<size_t>(recommendation.replayed)].setting;
        answer->keep = answer->recommended && station.source == kStationFromIni &&
                       stationRow(rows, station) == recommendation.recommended;
        answer->filterOff = station.source == kStationFilterOff;
    }
    std::fflush(stdout);
    return status;
}

} // namespace sim
