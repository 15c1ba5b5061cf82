// The polling's cost, stopped and along the PollInterval curve.
#include "monitor_polling.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "page/page_file.h"
#include "bench_clock.h"
#include "bench_figures.h"
#include "cpu_shares.h"
#include "monitor_probe.h"
#include "monitor_state.h"

namespace {

constexpr int32_t kCurveIntervals[] = {0, 1, 2, 5, 10, 50};

struct CurvePoint {
    int32_t interval;
    Shares stopped, playing;
    Summary detection; // us from a title change to the worker reading the new title
};

// One point of the curve: a worker with PollInterval `interval`, first against a stopped player,
// then against a playing one with no title change, then `changes` title changes at random points
// of a pass and its rest. Records the gaps between passes at interval 0 (one pass, no rest).
CurvePoint measureInterval(int32_t interval, int windows, DWORD windowMs, int changes, double* passUs) {
    const std::string label = "interval." + std::to_string(interval);
    std::printf("\nPollInterval %d ms:\n", interval);
    CurvePoint point = {};
    point.interval = interval;
    setUpState(10);
    pluginState.settings.PollInterval = interval;
    probe.player.titles = playlist;
    probe.player.state = sim::kStopped;
    HANDLE worker = startWorker();
    point.stopped = steadyShares(worker, label + ".stopped", windows, windowMs);

    playFromStart();
    // The first track's page is written before the windows start.
    changeTitleAndAwaitPage("the worker never published the first track");
    probe.passGaps.clear();
    probe.lastPassAt = 0;
    probe.recordGaps = interval == 0;
    point.playing = steadyShares(worker, label + ".playing", windows, windowMs);
    probe.recordGaps = false;
    if (interval == 0)
        *passUs = summarize(probe.passGaps).median;

    // Each change comes at a random point of a pass and its rest, once the page of the one before
    // is on disk (the worker's next pass has begun).
    std::vector<double> detect;
    const double cycleUs = interval * 1000.0 + 2.0 * *passUs;
    for (int i = 0; i < changes; i++) {
        pumpForExactly(cycleUs * (nextRandom() % 1001) / 1000.0);
        changeTitleAndAwaitPage("a change was never published");
        detect.push_back(micros(probe.readAt - probe.changedAt));
    }
    if (!stopWorker()) {
        std::printf("error: the worker did not end\n");
        std::exit(1);
    }
    point.detection = summarize(detect);
    describe("detection (change to the new title read)", point.detection);
    figure(label + ".detection.median", point.detection.median, "us");
    figure(label + ".detection.p90", point.detection.p90, "us");
    tearDownState();
    return point;
}

// The median of one page write on a full ring, the default 10-row page, playing.
double pageWriteUs() {
    setUpState(10);
    pluginState.playing = 1;
    pluginState.currentTitle = history::newest(pluginState.history);
    std::vector<double> writes;
    for (int i = 0; i < 220; i++) {
        const int64_t start = now();
        page::write();
        if (i >= 20)
            writes.push_back(micros(now() - start));
    }
    pluginState.playing = 0;
    pluginState.currentTitle = nullptr;
    tearDownState();
    return medianOf(writes);
}

} // namespace

void runStopped(int windows, DWORD windowMs) {
    std::printf("\nStopped player:\n");
    setUpState(10);
    probe.player.titles = playlist;
    probe.player.state = sim::kStopped;
    HANDLE worker = startWorker();
    steadyShares(worker, "stopped", windows, windowMs);
    stopWorker();
    tearDownState();
}

void runIntervalCurve(int windows, DWORD windowMs, int changes) {
    double passUs = 0;
    std::vector<CurvePoint> points;
    for (int32_t interval : kCurveIntervals)
        points.push_back(measureInterval(interval, windows, windowMs, changes, &passUs));
    const double writeUs = pageWriteUs();
    figure("curve.pass.median", passUs, "us");
    figure("curve.write.median", writeUs, "us");
    std::printf("\nThe curve (one pass %.0f us, one page write %.0f us; CPU in %% of one core):\n", passUs,
                writeUs);
    std::printf("  interval | stopped: process worker passes/s | playing: process worker passes/s | "
                "detection median p90 (us) | bound: interval+pass+write\n");
    for (const CurvePoint& p : points) {
        const double bound = p.interval * 1000.0 + passUs + writeUs;
        std::printf("  %5d ms | %6.1f %6.1f %8.0f | %6.1f %6.1f %8.0f | %8.0f %8.0f | %8.0f %s\n", p.interval,
                    100 * p.stopped.processCpu, 100 * p.stopped.workerCpu, p.stopped.passesPerSecond,
                    100 * p.playing.processCpu, 100 * p.playing.workerCpu, p.playing.passesPerSecond,
                    p.detection.median, p.detection.p90, bound,
                    p.detection.median <= bound ? "within" : "above");
        figure("interval." + std::to_string(p.interval) + ".detection.median_over_bound",
               p.detection.median / bound, "x");
    }
}
