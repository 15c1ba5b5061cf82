// The fixture under every test that runs the plug-in, or a part of it, against the simulated player:
// a fresh folder of the test's own, and the player's window on the test's thread, whose messages
// the test pumps while the worker runs on a thread of its own, as in the real player.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "player/sim_player.h"
#include "support/test_files.h"

namespace support {

// Pumps this thread's messages until `ready` holds; false when `timeoutMs` passes first.
bool pumpUntil(const std::function<bool()>& ready, DWORD timeoutMs = kDeadlineMs);

struct PlayerTest : ::testing::Test {
    std::string folder;
    sim::Player player;

    void SetUp() override;
    void TearDown() override;

    std::string path(const std::string& name) const { return folder + "\\" + name; }
    // Makes the player play `titles` from `position`. The plug-in may hold pointers into the
    // titles, so a test sets them while no worker runs, or only once.
    void play(const std::vector<std::string>& titles, int32_t position = 0);
    // Pumps until the worker has made `passes` more passes (counted by its is-playing queries).
    bool pumpPasses(int32_t passes);
};

} // namespace support
