#include "rest_clock.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "bench_figures.h"

namespace {

constexpr DWORD kHighResolutionTimer = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
constexpr int32_t kRestMs = 10;
constexpr int kRests = 25;

// One rest of kRestMs as the worker rests: on `timer` when there is one, else a timed wait on an
// event nobody sets. Returns its length in milliseconds.
double oneRest(HANDLE timer, HANDLE neverSet, double ticksPerMs) {
    LARGE_INTEGER start, end, due;
    QueryPerformanceCounter(&start);
    due.QuadPart = -10000LL * kRestMs; // relative, in 100 ns units
    if (timer != nullptr && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        WaitForSingleObject(timer, kRestMs * 2 + 20);
    else
        WaitForSingleObject(neverSet, kRestMs);
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / ticksPerMs;
}

} // namespace

void reportRestClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    HANDLE neverSet = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD adjustment = 0, increment = 0; // increment: the clock tick, in 100 ns units
    BOOL adjustmentDisabled = FALSE;
    GetSystemTimeAdjustment(&adjustment, &increment, &adjustmentDisabled);
    std::vector<double> rests;
    for (int i = 0; i < kRests; i++)
        rests.push_back(oneRest(timer, neverSet, ticksPerMs));
    const double rest = medianOf(rests);
    std::printf("rest clock: high-resolution timer %s; clock tick %.1f ms; a %d ms rest lasts %.1f ms "
                "(median of %d)\n",
                timer != nullptr ? "granted" : "refused (rests end on the clock tick)", increment / 10000.0,
                static_cast<int>(kRestMs), rest, kRests);
    figure("rest_clock.high_resolution_granted", timer != nullptr ? 1 : 0, "yes");
    figure("rest_clock.rest_10ms.median", rest, "ms");
    if (timer != nullptr)
        CloseHandle(timer);
    if (neverSet != nullptr)
        CloseHandle(neverSet);
}
