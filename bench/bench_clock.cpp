// The benchmark's clock and its waits.
#include "bench_clock.h"

#include <windows.h>

#include "support/player_fixture.h"

namespace {

int64_t ticksPerSecond = 1;
uint32_t randomState = 0x9E3779B9u; // every run makes the same sequence of waits
int64_t wakeAt;

} // namespace

int64_t startClock() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond = frequency.QuadPart;
    return ticksPerSecond;
}

int64_t now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double micros(int64_t ticks) {
    return static_cast<double>(ticks) * 1e6 / static_cast<double>(ticksPerSecond);
}

int64_t ticksFromMicros(double us) {
    return static_cast<int64_t>(us * static_cast<double>(ticksPerSecond) / 1e6);
}

uint32_t nextRandom() {
    randomState ^= randomState << 13;
    randomState ^= randomState >> 17;
    randomState ^= randomState << 5;
    return randomState;
}

void pumpForExactly(double us) {
    static HANDLE timer =
        CreateWaitableTimerExW(nullptr, nullptr, 0x00000002 /* high resolution */, TIMER_ALL_ACCESS);
    if (timer == nullptr)
        timer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(us * 10.0); // relative, in 100 ns units
    if (due.QuadPart == 0 || !SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE))
        return;
    while (MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void pumpUntilTicks(int64_t at) {
    wakeAt = at;
    support::pumpUntil([] { return now() >= wakeAt; });
}
