// The shares of CPU time the worker's polling costs, measured as a task manager would see them.
#include "cpu_shares.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench_clock.h"
#include "bench_figures.h"
#include "monitor_probe.h"

namespace {

// CPU time (kernel + user) `thread` has used so far.
int64_t threadCpu(HANDLE thread) { // in 100 ns units
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return 0;
    auto value = [](FILETIME t) { return static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

// CPU time (kernel + user) this whole process has used so far: what a task manager shows for the
// player, whose process the plug-in's worker runs in.
int64_t processCpu() { // in 100 ns units
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto value = [](FILETIME t) { return static_cast<int64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

// Pumps for `ms` with no title change and reports how busy each side was.
Shares measureWindow(HANDLE worker, DWORD ms) {
    HANDLE host = GetCurrentThread();
    const int64_t wall0 = now(), host0 = threadCpu(host), worker0 = threadCpu(worker),
                  process0 = processCpu();
    const int64_t proc0 = probe.procTicks, passes0 = probe.passes;
    pumpUntilTicks(wall0 + ticksFromMicros(ms * 1000.0));
    const double wall = micros(now() - wall0);
    Shares shares;
    shares.passesPerSecond = static_cast<double>(probe.passes - passes0) / (wall / 1e6);
    shares.hostCpu = static_cast<double>(threadCpu(host) - host0) / 10.0 / wall;
    shares.hostInProc = micros(probe.procTicks - proc0) / wall;
    shares.workerCpu = static_cast<double>(threadCpu(worker) - worker0) / 10.0 / wall;
    shares.processCpu = static_cast<double>(processCpu() - process0) / 10.0 / wall;
    return shares;
}

} // namespace

Shares steadyShares(HANDLE worker, const std::string& label, int windows, DWORD ms) {
    std::vector<double> rate, host, proc, work, whole;
    for (int i = 0; i < windows; i++) {
        const Shares s = measureWindow(worker, ms);
        rate.push_back(s.passesPerSecond);
        host.push_back(s.hostCpu);
        proc.push_back(s.hostInProc);
        work.push_back(s.workerCpu);
        whole.push_back(s.processCpu);
    }
    const Shares median = {medianOf(rate), medianOf(host), medianOf(proc), medianOf(work), medianOf(whole)};
    std::printf("  %s: %.0f passes/s; host thread CPU %.1f%% of wall, of it inside the player's window "
                "procedure %.2f%%; worker thread CPU %.1f%%; whole process %.1f%%  (median of %d windows "
                "of %lu ms)\n",
                label.c_str(), median.passesPerSecond, 100 * median.hostCpu, 100 * median.hostInProc,
                100 * median.workerCpu, 100 * median.processCpu, windows, static_cast<unsigned long>(ms));
    figure(label + ".passes_per_s", median.passesPerSecond, "1/s");
    figure(label + ".host_cpu_share", 100 * median.hostCpu, "%");
    figure(label + ".host_in_proc_share", 100 * median.hostInProc, "%");
    figure(label + ".worker_cpu_share", 100 * median.workerCpu, "%");
    figure(label + ".process_cpu_share", 100 * median.processCpu, "%");
    return median;
}
