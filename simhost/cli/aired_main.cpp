// The course of --aired: read, count, predict, recommend, report. Everything here is
// platform-free; the programs pass in the reading of a file and the player's code page.
#include "cli/aired_main.h"

#include <chrono>
#include <cstdio>

#include "aired/aired_report.h"
#include "aired/record_lines.h"
#include "cli/operator_files.h"
#include "cli/options.h"
#include "cli/settings_check.h"
#include "tuning/sweep.h"

namespace {

// Reads the log, its previous file first when there is one; false after a one-line error.
bool readLog(const sim::AiredRequest& request, sim::AirLog* log, std::vector<std::string>* notes) {
    std::string bytes;
    int32_t format = 0;
    const std::string previous = sim::previousLogPath(request.logPath);
    if (request.readFile(previous, &bytes)) {
        const sim::AirReadResult read =
            sim::readAirLog(sim::fileNameOf(previous), bytes, request.codePage, false, log, &format);
        if (read != sim::kAirLogRead)
            notes->push_back(sim::fileNameOf(previous) + " beside the log is not a previous file of it (" +
                             (read == sim::kNewerAirLog ? "a newer format's log" : "no air log") +
                             "): not read");
    }
    if (!request.readFile(request.logPath, &bytes)) {
        std::printf("error: cannot read the air log %s: no such file, or not readable\n",
                    request.logPath.c_str());
        return false;
    }
    switch (sim::readAirLog(sim::fileNameOf(request.logPath), bytes, request.codePage, true, log, &format)) {
    case sim::kNotAnAirLog:
        std::printf(
            "error: %s is not an air log: its first line is not \"#Songbeacon air log<tab>format %d\"\n",
            request.logPath.c_str(), static_cast<int>(sim::kAirLogFormat));
        return false;
    case sim::kNewerAirLog:
        std::printf(
            "error: %s is an air log of format %d, newer than this tool reads (format %d): read it with "
            "the tool of the plug-in's release that wrote it\n",
            request.logPath.c_str(), static_cast<int>(format), static_cast<int>(sim::kAirLogFormat));
        return false;
    default:
        return true;
    }
}

// The goal the request asks: the title gap of the sweep's default when none is given.
sim::SweepGoal goalOf(const sim::SweepOptions& sweep) {
    return {sweep.artistGapMinutes,
            sweep.titleGapHours > 0 ? sweep.titleGapHours : sim::kDefaultTitleGapHours,
            sweep.perDayHundredths, sweep.maxSkipTenths};
}

// The limits in force at the end of the scope, for a limit the recommendation does not sweep.
sim::RuleLimits lastLimits(const sim::AiredFigures& figures) {
    for (auto period = figures.periods.rbegin(); period != figures.periods.rend(); ++period)
        if (period->period.known)
            return period->period.limits;
    return {0, 0, true};
}

// Writes `bytes` to `path` when it is not empty, and says where; false after an error line.
bool writeOutput(const std::string& path, const std::string& bytes, const char* what) {
    if (path.empty())
        return true;
    if (sim::writeBytes(path, bytes) != sim::kWritten) {
        std::printf("error: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("The %s is also in %s.\n", what, path.c_str());
    return true;
}

} // namespace

namespace sim {

AiredRequest airedRequestOf(const Options& options, const CodePage& codePage,
                            bool (*readFile)(const std::string& path, std::string* bytes)) {
    AiredRequest request = {};
    request.logPath = options.aired.logPath;
    request.playlistPath = options.playlistPath;
    request.codePage = codePage;
    request.scope = {options.aired.fromDay, options.aired.toDay};
    request.sweep = options.sweep;
    request.seedsGiven = false;
    for (const std::string& given : options.sweep.goalOptions)
        request.seedsGiven = request.seedsGiven || given == "--seeds";
    request.seed = options.seedGiven ? options.seed : 1;
    request.sweepSeconds = options.stationSeconds;
    request.reportPath = options.reportPath;
    request.csvPath = options.aired.csvPath;
    request.readFile = readFile;
    return request;
}

int airedMain(const AiredRequest& request) {
    const auto started = std::chrono::steady_clock::now();
    AirLog log = {};
    AiredReport report = {};
    if (!readLog(request, &log, &report.notes))
        return kExitUsage;
    PlaylistFile playlist;
    if (!request.playlistPath.empty()) {
        std::string bytes, reason;
        if (!request.readFile(request.playlistPath, &bytes)) {
            std::printf("error: cannot read the playlist %s: no such file, or not readable\n",
                        request.playlistPath.c_str());
            return kExitUsage;
        }
        if (!readPlaylistFile(request.playlistPath, bytes, request.codePage, &playlist, &reason)) {
            std::printf("error: the playlist %s %s\n", request.playlistPath.c_str(), reason.c_str());
            return kExitUsage;
        }
        report.playlistName = sim::fileNameOf(request.playlistPath);
    }
    for (const std::string& note : airLogNotes(log, request.codePage))
        report.notes.push_back(note);
    const AiredHistory history =
        airedHistory(log, request.playlistPath.empty() ? nullptr : &playlist.entries);
    for (const std::string& note : historyNotes(history, request.scope))
        report.notes.push_back(note);
    report.files = log.files;
    report.versions = log.versions;
    report.scope = request.scope;
    report.history = &history;
    report.figures = airedFigures(history, goalOf(request.sweep), request.scope);
    report.order = playedOrder(history, request.scope);

    // The titles the model plays: the playlist file's, else those the log shows.
    const std::vector<PlaylistEntry> titles(history.playlist.begin(),
                                            history.playlist.begin() +
                                                (request.playlistPath.empty()
                                                     ? static_cast<std::ptrdiff_t>(history.playlist.size())
                                                     : history.listedEntries));
    const int32_t seedCount = request.seedsGiven ? request.sweep.seeds : kPredictionSeeds;
    std::vector<uint64_t> seeds;
    for (int32_t i = 0; i < seedCount; i++)
        seeds.push_back(request.seed + static_cast<uint64_t>(i));
    if (!report.figures.days.empty())
        report.prediction = predictAired(history, report.figures, request.scope, titles, seeds);

    SweepOptions sweep = request.sweep;
    if (!sweep.artist.given && !sweep.title.given && request.suitRanges != nullptr && !titles.empty())
        request.suitRanges(request.suitContext, titles, &sweep, &report.rangesLine);
    if ((sweep.artist.given || sweep.title.given) && !titles.empty() && !report.figures.days.empty()) {
        Options options;
        options.sweep = sweep;
        options.seed = request.seed;
        options.stationSeconds = request.sweepSeconds;
        const SweepPlan plan = sweepPlanOf(options, titles, lastLimits(report.figures));
        const std::string name = request.playlistPath.empty() ? "the log's titles" : report.playlistName;
        report.answer = answerFromHistory(titles, name, plan, report.order, history);
    }

    if (request.outcome != nullptr && report.answer.state == kAnswerMade &&
        report.answer.end == kPlayedItsLength) {
        const Recommendation& answer = report.answer.recommendation;
        request.outcome->recommended = answer.verdict == kEveryGoalMet;
        request.outcome->choices = !request.outcome->recommended;
        if (answer.recommended >= 0)
            request.outcome->setting = report.answer.rows[static_cast<size_t>(answer.recommended)].setting;
    }
    std::fputs(renderAiredText(report).c_str(), stdout);
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("(read and reported in %.1f s of real time)\n", took);
    int status = kExitDone;
    if (!writeOutput(request.reportPath, renderAiredHtml(report), "report") ||
        !writeOutput(request.csvPath, renderAiredCsv(report), "CSV"))
        status = kExitUsage;
    std::fflush(stdout);
    return status;
}

} // namespace sim
