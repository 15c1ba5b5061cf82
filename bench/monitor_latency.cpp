// The detection latency and the page write, through the instrumented player.
#include "monitor_latency.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "page/page_file.h"
#include "page/page_render.h"
#include "settings/settings_store.h"
#include "bench_clock.h"
#include "bench_figures.h"
#include "cpu_shares.h"
#include "monitor_probe.h"
#include "monitor_state.h"
#include "support/player_fixture.h"
#include "support/test_files.h"

namespace {

using support::pumpUntil;
using support::readFile;

std::vector<double> roundTrips; // the calibration sender's

// Sends stamped messages as the worker sends its queries, yielding between them with Sleep(0) as the
// worker does between passes.
DWORD WINAPI sendStamps(LPVOID) {
    for (int i = 0; i < 2000; i++) {
        const int64_t sent = now();
        SendMessageA(probe.player.window, kStampMessage, 0, static_cast<LPARAM>(static_cast<uint32_t>(sent)));
        roundTrips.push_back(micros(now() - sent));
        Sleep(0);
    }
    return 0;
}

} // namespace

void calibrateMessages() {
    std::printf("Message from another thread to the player's window (SendMessageA under Wine):\n");
    probe.oneWay.clear();
    probe.oneWay.reserve(2000);
    roundTrips.clear();
    roundTrips.reserve(2000);
    const int64_t start = now();
    HANDLE sender = CreateThread(nullptr, 0, sendStamps, nullptr, 0, nullptr);
    pumpUntil([&] { return WaitForSingleObject(sender, 0) == WAIT_OBJECT_0; });
    const double perMessage = micros(now() - start) / 2000.0;
    CloseHandle(sender);
    const Summary oneWay = summarize(probe.oneWay), roundTrip = summarize(roundTrips);
    describe("one way (sender's clock to arrival)", oneWay);
    describe("round trip (as the sender sees it)", roundTrip);
    std::printf("  %.0f messages/s\n", 1e6 / perMessage);
    figure("message.one_way.median", oneWay.median, "us");
    figure("message.round_trip.median", roundTrip.median, "us");
    figure("message.per_second", 1e6 / perMessage, "1/s");
}

void timeChanges(int changes, double passUs, ChangeTimes* times) {
    for (int i = 0; i < changes; i++) {
        pumpUntilTicks(now() + ticksFromMicros(passUs * 2.0 * (nextRandom() % 1001) / 1000.0));
        changeTitleAndAwaitPage("a change was never published");
        times->latency.push_back(micros(probe.publishedAt - probe.changedAt));
        times->detect.push_back(micros(probe.readAt - probe.changedAt));
        times->publish.push_back(micros(probe.publishedAt - probe.readAt));
        // No write is under way: the title holds still until the next change.
        if (readFile(pagePath) == expectedPage(1, probe.newTitle))
            times->verified++;
        else
            times->wrong++;
    }
}

StepCosts runPageSetting(int32_t rows, int changes, int windows, DWORD windowMs) {
    const std::string label = "playing.R" + std::to_string(rows);
    std::printf("\nPlaying, RecentTitleListLength %d, 1000 titles of 100 characters in the history:\n", rows);
    setUpState(rows);
    playFromStart();
    HANDLE worker = startWorker();

    // Warm-up: the first title, then a few changes taken as fast as the worker takes them.
    for (int i = 0; i < 50; i++)
        changeTitleAndAwaitPage("the worker never published a change");

    probe.passGaps.clear();
    probe.passGaps.reserve(200000);
    probe.lastPassAt = 0;
    probe.recordGaps = true;
    steadyShares(worker, label, windows, windowMs);
    probe.recordGaps = false;
    const Summary pass = summarize(probe.passGaps);
    describe("one pass (gap between is-playing queries)", pass);
    figure(label + ".pass.median", pass.median, "us");
    figure(label + ".pass.p99", pass.p99, "us");

    ChangeTimes times = {};
    timeChanges(changes, pass.median, &times);
    if (!stopWorker()) {
        std::printf("error: the worker did not end\n");
        std::exit(1);
    }

    const Summary total = summarize(times.latency);
    std::printf(
        "  detection latency over %d title changes (page checked byte for byte: %d right, %d wrong):\n",
        changes, times.verified, times.wrong);
    describe("change to page on disk", total);
    describe("  of it: change to title read", summarize(times.detect));
    describe("  of it: title read to next pass (page written)", summarize(times.publish));
    figure(label + ".latency.median", total.median, "us");
    figure(label + ".latency.p99", total.p99, "us");
    figure(label + ".pages_wrong", times.wrong, "pages");

    // The write alone, on the state the worker left: same settings, same history, same title; and
    // of it the first of its two renders, which only measures the page (the cost of rendering twice).
    std::vector<double> writes, measures;
    size_t pageBytes = 0;
    for (int i = 0; i < 1000 + 20; i++) {
        const int64_t start = now();
        page::write();
        const int64_t written = now();
        settings::TextSettings texts;
        settings::copyTexts(&texts);
        const PageContent content = {texts.HTMLTitle,          texts.HTMLHeader,   rows, 1,
                                     pluginState.currentTitle, pluginState.history};
        const int64_t measureStart = now();
        pageBytes = page::render(content, nullptr, 0);
        const int64_t measured = now();
        if (i >= 20) {
            writes.push_back(micros(written - start));
            measures.push_back(micros(measured - measureStart));
        }
    }
    const Summary write = summarize(writes);
    describe("page::write() alone", write);
    std::printf("  of it, measuring the page before rendering it: %.1f us (median)\n", medianOf(measures));
    figure(label + ".write.median", write.median, "us");
    figure(label + ".write.p99", write.p99, "us");
    figure(label + ".render.measure.median", medianOf(measures), "us");
    figure(label + ".page_bytes", static_cast<double>(pageBytes), "bytes");

    const double floor = pass.median + write.median;
    std::printf("  floor = one pass + one write = %.1f us; latency median %.2fx floor (goal 1.5x), "
                "p99 %.2fx floor (goal 5x)\n",
                floor, total.median / floor, total.p99 / floor);
    figure(label + ".floor", floor, "us");
    figure(label + ".latency.median_over_floor", total.median / floor, "x");
    figure(label + ".latency.p99_over_floor", total.p99 / floor, "x");
    tearDownState();
    return {pass.median, write.median};
}
