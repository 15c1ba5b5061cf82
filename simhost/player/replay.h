// A sweep's check on itself: one seed's order played through the real plug-in, in fast mode, from
// its start-up to its shut-down, so that what the plug-in decided can be set beside what the
// mirror of its rule decided for the same order.
#pragma once

#include <cstdint>
#include <vector>

#include "player/plugin_header.h"
#include "player/sim_player.h"
#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

enum ReplayEnd : int32_t { kReplayed, kReplayRefusedToStart, kReplayStalled, kReplayOutOfMemory };

// Starts the plug-in (which reads its limits from plugin.ini now), plays the shuffled order of
// `seed` at it fast, going round, until `stationSeconds` of station time have passed, and shuts it
// down (the process ends with `hungStatus` when shutDown hangs). `player`
// holds `playlist`'s titles and its window, and `plugin->moduleInstance` is set; `limits` are what the record
// explains refusals by. `record` gets every event the player saw; `playlist` must outlive it. kReplayStalled:
// the plug-in took longer than `fastTimeoutSeconds` over one track.
ReplayEnd replaySeed(Player* player, PluginHeader* plugin, const std::vector<PlaylistEntry>& playlist,
                     RuleLimits limits, uint64_t seed, int64_t stationSeconds, int32_t fastTimeoutSeconds,
                     int hungStatus, RunRecord* record);

} // namespace sim
