// The sweep's runs. A run here makes the very record the real run makes (recordPlay,
// recordRefusal), so that the two can be compared event for event and the figures mean the same;
// the sweep's own runs only count their refused tracks. Of each run only its figures are kept
// (sweep_figures.cpp): a sweep of many long runs needs no more memory than one run.
#include "tuning/sweep.h"

#include <algorithm>
#include <utility>

#include "history/repeat_filter.h"
#include "playlist/station_clock.h"
#include "tuning/loop_laps.h"

namespace sim {

int64_t rotationSeconds(const std::vector<PlaylistEntry>& playlist) {
    int64_t seconds = 0;
    for (const PlaylistEntry& entry : playlist)
        seconds += trackSeconds(entry);
    return seconds;
}

int64_t neededSweepSeconds(int64_t rotationSeconds) {
    const int64_t rotations = kLeastSweepRotations * rotationSeconds;
    if (rotations <= kSettledSweepSeconds)
        return rotations;
    return std::max(kSettledSweepSeconds, rotationSeconds + rotationSeconds / 4);
}

int64_t defaultSweepSeconds(const std::vector<PlaylistEntry>& playlist) {
    return std::max(kLeastSweepSeconds, neededSweepSeconds(rotationSeconds(playlist)));
}

PlayOrder sweepOrder(int32_t entries, uint64_t seed) {
    PlayOrder order;
    startPlayOrder(&order, entries, true, seed);
    return order;
}

namespace {

// The next track of the order, its new rounds read from `dealt` when there is one.
void moveOn(PlayOrder* order, DealtRounds* dealt) {
    if (dealt != nullptr)
        advanceDealt(dealt, order);
    else
        advance(order, true);
}

// simulateRun, and the sweep's runs: with `dealt` (which `order` must have been advanced from) and
// a record that keeps no refused tracks, a run that loops is moved on by forwardLoop.
SimulatedEnd playRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PlayOrder order,
                     DealtRounds* dealt, int64_t stationSeconds, RunRecord* record) {
    RuleMirror mirror = {};
    if (!startMirror(&mirror, limits, false)) // the titles come from the playlist: ids are enough
        return kSimulationOutOfMemory;
    SimulatedEnd end = kPlayedItsLength;
    int32_t refusedLapsInARow = 0;
    for (;; moveOn(&order, dealt)) {
        const int32_t entry = currentEntry(order);
        const char* title = playlist[static_cast<size_t>(entry)].title.c_str();
        // The newest recorded title is not judged again: it plays, whatever the limits.
        const int32_t newest = newestEntry(mirror);
        const bool judged = newest < 0 ? title[0] != '\0'
                                       : record->titleIds[static_cast<size_t>(entry)] !=
                                             record->titleIds[static_cast<size_t>(newest)];
        // One scan, on the entries' ids, decides and explains the refusal alike.
        const history::Refusal refusal =
            judged ? findRefusalByIds(mirror, title, entry, record->titleIds, record->ruleKeyIds)
                   : history::Refusal{history::kNotRefused, 0};
        if (refusal.scan != history::kNotRefused) {
            // Only a rule that also refused the newest title could get here three laps running;
            // the plug-in's never does, but the protection stays the real run's.
            if (recordRefusal(record, mirror, entry, refusal) &&
                ++refusedLapsInARow >= kMostRefusedLapsInARow) {
                end = kEveryEntryRefused;
                break;
            }
            if (record->full) {
                end = kRecordFilled;
                break;
            }
            continue;
        }
        recordPlay(record, &mirror, entry, true);
        refusedLapsInARow = 0;
        if (record->full) { // the clock no longer moves: end as the real run ends
            end = kRecordFilled;
            break;
        }
        if (record->stationSeconds >= stationSeconds)
            break;
        if (dealt != nullptr)
            forwardLoop(&mirror, dealt, stationSeconds, &order, record);
    }
    endMirror(&mirror);
    return end;
}

} // namespace

SimulatedEnd simulateRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PlayOrder order,
                         int64_t stationSeconds, RunRecord* record, int32_t mostEvents) {
    startRecord(record, &playlist);
    record->mostEvents = mostEvents;
    return playRun(playlist, limits, std::move(order), nullptr, stationSeconds, record);
}

SimulatedEnd simulateSweepRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits,
                              DealtRounds* dealt, int64_t stationSeconds, RunRecord* record,
                              int32_t mostEvents) {
    startRecord(record, &playlist);
    record->mostEvents = mostEvents;
    record->keepsRefusals = false;
    return playRun(playlist, limits, dealt->first, dealt, stationSeconds, record);
}

SimulatedEnd runSweep(const std::vector<PlaylistEntry>& playlist, const SweepPlan& plan,
                      std::vector<SweepRow>* rows) {
    rows->clear();
    const auto entries = static_cast<int32_t>(playlist.size());
    const SweepPlaylist compared = sweepPlaylist(playlist);
    // Every setting plays the same orders: each seed's rounds are dealt once, for all of them.
    std::vector<DealtRounds> dealt(plan.seeds.size());
    for (size_t i = 0; i < plan.seeds.size(); i++)
        startDealtRounds(&dealt[i], sweepOrder(entries, plan.seeds[i]),
                         kMostDealtPlaces / static_cast<int64_t>(plan.seeds.size()));
    RunRecord record;
    const auto runs =
        static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size() * plan.seeds.size());
    int64_t done = 0;
    for (int32_t artistLimit : plan.artistLimits)
        for (int32_t titleLimit : plan.titleLimits) {
            std::vector<SeedFigures> seeds;
            for (size_t i = 0; i < plan.seeds.size(); i++) {
                const uint64_t seed = plan.seeds[i];
                const SimulatedEnd end =
                    simulateSweepRun(playlist, {artistLimit, titleLimit, true}, &dealt[i],
                                     plan.stationSeconds, &record, plan.mostEvents);
                if (end == kSimulationOutOfMemory)
                    return end;
                if (plan.onRunDone != nullptr)
                    plan.onRunDone(plan.runDoneContext, ++done, runs);
                seeds.push_back(seedFigures(record, compared, seed, end == kEveryEntryRefused, plan.goal));
                if (end == kRecordFilled) {
                    rows->push_back(sweepRow({artistLimit, titleLimit}, std::move(seeds), plan.goal));
                    return end;
                }
            }
            rows->push_back(sweepRow({artistLimit, titleLimit}, std::move(seeds), plan.goal));
        }
    return kPlayedItsLength;
}

int64_t firstDifference(const RunRecord& a, const RunRecord& b) {
    const size_t common = std::min(a.events.size(), b.events.size());
    for (size_t i = 0; i < common; i++)
        if (a.events[i].entry != b.events[i].entry || a.events[i].kind != b.events[i].kind)
            return static_cast<int64_t>(i);
    return a.events.size() == b.events.size() ? -1 : static_cast<int64_t>(common);
}

} // namespace sim
