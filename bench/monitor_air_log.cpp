// The air log's cost to detection: the same title changes as the latency figures, half of them
// with the log writing to a file, the blocks interleaved.
#include "monitor_air_log.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "airlog/air_log.h"
#include "bench_clock.h"
#include "bench_figures.h"
#include "monitor_latency.h"
#include "monitor_probe.h"
#include "monitor_state.h"
#include "support/test_files.h"

namespace {

constexpr int kBlock = 100;           // changes with the log off, then as many on, and again
constexpr double kPassWindowUs = 5e5; // how long the pass is timed for the changes' random rests

// Lines of the log at `path` that record a track played.
int playedLines(const std::string& path) {
    const std::string text = support::readFile(path);
    int count = 0;
    for (size_t at = text.find("\tplayed\t"); at != std::string::npos; at = text.find("\tplayed\t", at + 1))
        count++;
    return count;
}

} // namespace

void runAirLogLatency(int changes, const std::string& folder) {
    const std::string logPath = folder + "sb-bench-" + std::to_string(GetCurrentProcessId()) + ".log";
    std::printf(
        "\nThe air log, RecentTitleListLength 10: %d title changes with the log off and %d with it on, "
        "in alternating blocks of %d; log %s\n",
        changes, changes, kBlock, logPath.c_str());
    setUpState(10);
    playFromStart();
    startWorker();
    for (int i = 0; i < 50; i++)
        changeTitleAndAwaitPage("the worker never published a change");
    probe.passGaps.clear();
    probe.lastPassAt = 0;
    probe.recordGaps = true;
    pumpForExactly(kPassWindowUs);
    probe.recordGaps = false;
    const double passUs = medianOf(probe.passGaps);

    ChangeTimes off = {}, on = {};
    for (int done = 0; done < changes; done += kBlock) {
        const int block = changes - done < kBlock ? changes - done : kBlock;
        airlog::setFile("");
        timeChanges(block, passUs, &off);
        airlog::setFile(logPath.c_str());
        timeChanges(block, passUs, &on);
    }
    if (!stopWorker()) {
        std::printf("error: the worker did not end\n");
        std::exit(1);
    }
    const bool ended = airlog::close(support::kDeadlineMs);
    const int logged = playedLines(logPath);

    const Summary offTimes = summarize(off.latency), onTimes = summarize(on.latency);
    std::printf("  pages checked byte for byte: %d right, %d wrong; %d tracks in the log (%s)\n",
                off.verified + on.verified, off.wrong + on.wrong, logged,
                ended ? "its writer ended in time" : "its writer did not end in time");
    describe("log off: change to page on disk", offTimes);
    describe("log on:  change to page on disk", onTimes);
    describe("log off: of it, title read to next pass", summarize(off.publish));
    describe("log on:  of it, title read to next pass", summarize(on.publish));
    const double ratio = onTimes.median / offTimes.median;
    std::printf("  log on / off: median %.3fx, p90 %.3fx (goal: median within 1.10x)\n", ratio,
                onTimes.p90 / offTimes.p90);
    figure("airlog.off.latency.median", offTimes.median, "us");
    figure("airlog.on.latency.median", onTimes.median, "us");
    figure("airlog.off.latency.p90", offTimes.p90, "us");
    figure("airlog.on.latency.p90", onTimes.p90, "us");
    figure("airlog.on_over_off.median", ratio, "x");
    figure("airlog.pages_wrong", off.wrong + on.wrong, "pages");
    figure("airlog.tracks_logged", logged, "tracks");
    tearDownState();
    DeleteFileA(logPath.c_str());
}
