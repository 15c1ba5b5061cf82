// monitor_bench: what the plug-in costs the player and how fast it reacts, timed under Wine against
// the simulated player. It links the very library the DLL is made of (sb_plugin, same compiler and
// flags), so it starts and stops the real worker through the same two calls the plug-in uses, calls
// the real entry, and can also time page::write() on exactly the state the worker writes from,
// which a loaded DLL would keep out of reach.
//
// The player's window procedure is subclassed to timestamp every message on arrival; nothing is
// added to the worker. A new page is complete on disk before the worker's next is-playing query
// (the write returns before the loop goes round), so the arrival of that query, after the pass
// that read the new title, bounds "page on disk" from above. Each page is then read back and
// compared byte for byte with what it should hold.
//
// Every figure is printed twice: as a readable line, and as "figure <name> <value> <unit>" for
// scripts/bench.sh to gather over several runs. With --cpu-only it measures only the curve of what
// the polling costs against how fast it notices a new track, for each PollInterval from 0 (the
// continuous poll) to 50 ms: CPU with the player stopped and playing, and the detection latency
// (scripts/bench.sh --cpu). With --air-log-only it measures only the detection latency with the air
// log off and on, interleaved (monitor_air_log).
//
// Its parts: the clock and its waits (bench_clock), the instrumented player (monitor_probe), the
// plug-in's state and worker (monitor_state), the CPU shares (cpu_shares), and the four
// measurements: latency (monitor_latency), the polling's cost and its curve (monitor_polling),
// shutDown (monitor_shutdown) and the air log's cost to detection (monitor_air_log).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench_clock.h"
#include "monitor_air_log.h"
#include "monitor_latency.h"
#include "monitor_polling.h"
#include "monitor_probe.h"
#include "monitor_shutdown.h"
#include "monitor_state.h"
#include "rest_clock.h"
#include "player/sim_player.h"
#include "support/test_files.h"

namespace {

// The number after option `name`, or `fallback`.
int argument(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; i++)
        if (std::strcmp(argv[i], name) == 0)
            return std::atoi(argv[i + 1]);
    return fallback;
}

// The text after option `name`, or `fallback`.
const char* textArgument(int argc, char** argv, const char* name, const char* fallback) {
    for (int i = 1; i + 1 < argc; i++)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return fallback;
}

} // namespace

int main(int argc, char** argv) {
    const int changes = argument(argc, argv, "--changes", 2000);
    const int cycles = argument(argc, argv, "--cycles", 20);
    const int windows = argument(argc, argv, "--windows", 3);
    const DWORD windowMs = static_cast<DWORD>(argument(argc, argv, "--window-ms", 1000));
    bool cpuOnly = false;    // --cpu-only: only what the polling costs, stopped and playing
    bool airLogOnly = false; // --air-log-only: only detection with the air log off and on
    for (int i = 1; i < argc; i++) {
        cpuOnly = cpuOnly || std::strcmp(argv[i], "--cpu-only") == 0;
        airLogOnly = airLogOnly || std::strcmp(argv[i], "--air-log-only") == 0;
    }
    // Each line as soon as it is printed, into a pipe too. Unbuffered: the C runtime here has no line
    // buffering (it takes _IOLBF as full buffering) and refuses a buffer size of 0 with it.
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    const int64_t ticksPerSecond = startClock();

    // The page goes to a fresh folder in Windows' temporary folder unless --page-folder names another
    // (for instance Z:\dev\shm, a RAM disk, to take the disk's own cost out of the figures).
    const std::string ownFolder = support::makeTestFolder();
    std::string folder = textArgument(argc, argv, "--page-folder", ownFolder.c_str());
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    pagePath = folder + "sb-bench-" + std::to_string(GetCurrentProcessId()) + ".htm";
    for (int i = 0; i < kPlaylistSize; i++)
        playlist.push_back(benchTitle(i, "Now"));

    sim::initPlayer(&probe.player);
    if (!sim::createPlayerWindow(&probe.player)) {
        std::printf("error: no player window (is there a display?)\n");
        return 1;
    }
    instrumentPlayerWindow();

    if (cpuOnly)
        std::printf("monitor_bench --cpu-only: PollInterval 0, 1, 2, 5, 10 and 50 ms; %d windows of %lu ms "
                    "stopped and playing, %d title changes each; clock %lld Hz; page %s\n",
                    windows, static_cast<unsigned long>(windowMs), argument(argc, argv, "--changes", 200),
                    static_cast<long long>(ticksPerSecond), pagePath.c_str());
    else
        std::printf("monitor_bench: %d changes per page setting, %d shutDowns of each kind; clock %lld Hz; "
                    "page %s\n\n",
                    changes, cycles, static_cast<long long>(ticksPerSecond), pagePath.c_str());
    reportRestClock();
    if (cpuOnly) {
        runIntervalCurve(windows, windowMs, argument(argc, argv, "--changes", 200));
    } else if (airLogOnly) {
        runAirLogLatency(changes, folder);
    } else {
        calibrateMessages();
        runStopped(windows, windowMs);
        const StepCosts r10 = runPageSetting(10, changes, windows, windowMs);
        runPageSetting(1000, changes, windows, windowMs);
        runAirLogLatency(changes, folder);
        runShutDowns(cycles, r10);
    }

    sim::destroyPlayerWindow(&probe.player);
    support::removeFolder(ownFolder);
    return 0;
}
