// shutDown through the entry, timed.
#include "monitor_shutdown.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/plugin_state.h"
#include "history/title_history.h"
#include "host/plugin_entry.h"
#include "page/page_file.h"
#include "bench_clock.h"
#include "bench_figures.h"
#include "monitor_probe.h"
#include "monitor_state.h"
#include "support/player_fixture.h"
#include "support/test_files.h"

namespace {

using support::pumpUntil;
using support::readFile;

// shutDown's last steps done by hand right after a worker ended, as shutDown does them: the
// off-line page write, then the release of the full ring.
void timeTailAfterWorkerEnd(int samples) {
    std::vector<double> writes, releases;
    for (int i = 0; i < samples; i++) {
        setUpState(10);
        playFromStart();
        startWorker();
        pumpUntilTicks(now() + ticksFromMicros(5000));
        stopWorker();
        pluginState.playing = 0;
        const int64_t start = now();
        page::write();
        const int64_t written = now();
        history::destroy(pluginState.history);
        const int64_t released = now();
        pluginState.history = nullptr;
        writes.push_back(micros(written - start));
        releases.push_back(micros(released - written));
        tearDownState();
    }
    describe("off-line page::write() just after a worker ended", summarize(writes));
    describe("  then history::destroy()", summarize(releases));
    figure("tail.write.median", medianOf(writes), "us");
}

} // namespace

void runShutDowns(int cycles, const StepCosts& r10) {
    std::printf("\nshutDown through the entry, ring full, playing, RecentTitleListLength 10:\n");
    timeTailAfterWorkerEnd(cycles);

    char modulePath[MAX_PATH];
    GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    std::string iniPath = modulePath;
    iniPath = iniPath.substr(0, iniPath.rfind('\\') + 1) + "plugin.ini";
    support::writeFile(iniPath, "[Songbeacon]\r\nEnableHTMLOutput=1\r\nOutputFilename=" + pagePath +
                                    "\r\nHTMLTitle=" + kHtmlTitle + "\r\nHTMLHeader=" + kHtmlHeader +
                                    "\r\nRecentTitleListLength=10\r\nEnablePlaylistMonitoring=1\r\n"
                                    "SameArtistCheckLimit=0\r\nSameTitleCheckLimit=0\r\n");
    PluginDescriptor* plugin = winampGetGeneralPurposePlugin();
    plugin->hostWindow = probe.player.window;
    plugin->moduleInstance = GetModuleHandleA(nullptr);

    std::vector<double> totals[2], lastMessages[2], answered[2];
    int32_t offLinePages = 0;
    for (int c = 0; c < 2 * cycles; c++) {
        const int blocked = c % 2;
        playFromStart();
        if (plugin->startUp() != 0) {
            std::printf("error: startUp failed\n");
            std::exit(1);
        }
        // Fill the ring as a long session would have, without a page per title on the way.
        pluginState.settings.EnableHTMLOutput = 0;
        probe.fillTarget = kHistoryRingSize;
        probe.advanceEachPass = true;
        if (!pumpUntil([] { return !probe.advanceEachPass; })) {
            std::printf("error: the ring did not fill\n");
            std::exit(1);
        }
        pluginState.settings.EnableHTMLOutput = 1;
        // Play on for 20 ms and a random part of two passes.
        pumpUntilTicks(now() + ticksFromMicros(20000 + r10.passUs * 2.0 * (nextRandom() % 1001) / 1000.0));
        if (blocked != 0) {
            // Stop answering until the worker waits in a message to the player.
            while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE))
                Sleep(0);
            Sleep(1);
        }
        const int64_t messagesBefore = probe.messages;
        const int64_t start = now();
        plugin->shutDown();
        const int64_t returned = now();
        const bool answeredAny = probe.messages != messagesBefore;
        totals[blocked].push_back(micros(returned - start));
        lastMessages[blocked].push_back(answeredAny ? micros(probe.lastMessageAt - start) : 0.0);
        answered[blocked].push_back(static_cast<double>(probe.messages - messagesBefore));
        if (readFile(pagePath).find("The server is currently off-line.") != std::string::npos)
            offLinePages++;
        DeleteFileA(pagePath.c_str());
    }
    DeleteFileA(iniPath.c_str());

    std::printf("  %d shutDowns of each kind; the off-line page was on disk after %d of %d\n", cycles,
                offLinePages, 2 * cycles);
    std::printf("  after the worker's end shutDown writes the off-line page (write median above: %.1f us)\n",
                r10.writeUs);
    const char* names[2] = {"shutdown.normal", "shutdown.blocked"};
    const char* labels[2] = {"normal: called from the pumping loop, between messages",
                             "blocked: host stopped pumping, worker waiting in a message"};
    for (int b = 0; b < 2; b++) {
        const Summary total = summarize(totals[b]);
        std::printf("  %s (messages answered inside shutDown: median %.0f, max %.0f)\n", labels[b],
                    medianOf(answered[b]), summarize(answered[b]).max);
        describe("shutDown call to return", total);
        describe("  call to the last message answered", summarize(lastMessages[b]));
        std::printf("  median %.2fx one pass, p99 %.2fx (goal: within 2x one pass = %.1f us); without the "
                    "page write: median %.1f us\n",
                    total.median / r10.passUs, total.p99 / r10.passUs, 2 * r10.passUs,
                    total.median - r10.writeUs);
        figure(std::string(names[b]) + ".median", total.median, "us");
        figure(std::string(names[b]) + ".p99", total.p99, "us");
        figure(std::string(names[b]) + ".last_message.median", medianOf(lastMessages[b]), "us");
        figure(std::string(names[b]) + ".median_over_pass", total.median / r10.passUs, "x");
        figure(std::string(names[b]) + ".p99_over_pass", total.p99 / r10.passUs, "x");
    }
}
