// What the sweep's recommendation and report tests share: a playlist where the answer is forced, the
// plan that sweeps it, and rows built with the figures the recommendation rule compares.
#pragma once

#include <cstdint>
#include <vector>

#include "tuning/sweep.h"

// 20 artists, five titles each, every track 4 minutes: an artist comes back 60 minutes after its
// last start only with 14 tracks between, which an artist window of 14 guarantees and one of 13,
// with 7 artists to choose from, misses about one return in seven.
std::vector<sim::PlaylistEntry> spacedPlaylist();

// The plan over spacedPlaylist(): artist limits 10 to 16, the title rule off, three seeds of 24 hours,
// the goal an artist an hour apart at most once a day and at most `maxSkipTenths` skips.
sim::SweepPlan spacedPlan(int32_t maxSkipTenths);

// The example playlist, examples/rotation.m3u (302 entries, a rotation of 21:52:13), from the
// source tree or, in a test pack, from examples/ beside the program.
std::vector<sim::PlaylistEntry> examplePlaylist();

// A row with the goals it meets and the figures the rule compares.
sim::SweepRow row(int32_t artist, int32_t title, bool artistGoal, bool skipGoal, int32_t skipTenths,
                  int32_t perDay, bool titleGoal = true);
