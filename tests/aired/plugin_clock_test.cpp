// The simulated player binds a DLL's one import of the time of day to its own clock: the DLL reads
// the real time until a station clock is set, that time exactly while it is, and the real time
// again once it is released.
#include <gtest/gtest.h>

#include <windows.h>

#include "player/plugin_clock.h"
#include "support/test_files.h"

namespace {

constexpr int64_t kFileTimeOf1970 = 116444736000000000LL;

TEST(PluginClock, TheDllReadsTheStationClockThroughItsImport) {
    const std::string dll = support::besideThisProgramElse("clock_probe.dll", SB_CLOCK_PROBE_DLL);
    HMODULE module = LoadLibraryA(dll.c_str());
    ASSERT_NE(module, nullptr) << dll;
    auto probe = reinterpret_cast<unsigned long long (*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "probeTime")));
    ASSERT_NE(probe, nullptr);
    auto msOf = [](unsigned long long ticks) {
        return (static_cast<int64_t>(ticks) - kFileTimeOf1970) / 10000;
    };
    const int64_t real = sim::realSecondsNow();
    EXPECT_NEAR(static_cast<double>(msOf(probe())), static_cast<double>(real), 60000.0);
    ASSERT_TRUE(sim::bindPluginClock(module));
    EXPECT_NEAR(static_cast<double>(msOf(probe())), static_cast<double>(real),
                60000.0);                  // no station clock yet
    const int64_t station = 1796756400123; // 2026-12-08 19:00:00.123 UTC
    sim::setStationClock(station);
    EXPECT_EQ(msOf(probe()), station);
    sim::setStationClock(station + 86400000);
    EXPECT_EQ(msOf(probe()), station + 86400000);
    sim::releaseStationClock();
    EXPECT_NEAR(static_cast<double>(msOf(probe())), static_cast<double>(real), 60000.0);
    FreeLibrary(module);
}

} // namespace
