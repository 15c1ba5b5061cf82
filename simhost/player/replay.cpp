// The replay drives the plug-in exactly as an ordinary --fast --shuffle SEED --hours run does,
// through the same run driver, only without a line per track or a page to watch.
#include "player/replay.h"

#include "player/plugin_loader.h"
#include "player/run_driver.h"

namespace sim {

ReplayEnd replaySeed(Player* player, PluginHeader* plugin, const std::vector<PlaylistEntry>& playlist,
                     RuleLimits limits, uint64_t seed, int64_t stationSeconds, int32_t fastTimeoutSeconds,
                     int hungStatus, RunRecord* record) {
    RunPlan plan = {};
    plan.fast = true;
    plan.fastTimeoutSeconds = fastTimeoutSeconds;
    plan.goRound = true;
    plan.stationSeconds = stationSeconds;
    plan.shuffle = true;
    plan.seed = seed;
    plan.quiet = true;

    plugin->hostWindow = player->window;
    if (plugin->startUp() != 0)
        return kReplayRefusedToStart;
    HostRun run;
    if (!startRun(&run, player, plan, playlist, limits, nullptr)) {
        shutDownQuietly(plugin, hungStatus);
        return kReplayOutOfMemory;
    }
    const bool done = playRun(&run);
    shutDownQuietly(plugin, hungStatus);
    *record = run.record;
    endRun(&run);
    return done ? kReplayed : kReplayStalled;
}

} // namespace sim
