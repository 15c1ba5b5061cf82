// The sweep's runs and figures. A run here makes the very record the real run makes (recordPlay,
// recordSkip), so that the two can be compared event for event and the figures mean the same.
#include "tuning/sweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "history/repeat_filter.h"
#include "playlist/station_clock.h"
#include "tuning/run_stats.h"

namespace {

// The longest run of skips in a row in `record`.
int32_t longestSkipRun(const sim::RunRecord& record) {
    int32_t longest = 0, run = 0;
    for (const sim::TrackEvent& event : record.events) {
        run = event.kind == sim::kSkipped ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

namespace sim {

int64_t rotationSeconds(const std::vector<PlaylistEntry>& playlist) {
    int64_t seconds = 0;
    for (const PlaylistEntry& entry : playlist)
        seconds += trackSeconds(entry);
    return seconds;
}

int64_t defaultSweepSeconds(const std::vector<PlaylistEntry>& playlist) {
    return std::max(kLeastSweepSeconds, kLeastSweepRotations * rotationSeconds(playlist));
}

PlayOrder sweepOrder(int32_t entries, uint64_t seed) {
    PlayOrder order;
    startPlayOrder(&order, entries, true, seed);
    return order;
}

SimulatedEnd simulateRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PlayOrder order,
                         int64_t stationSeconds, RunRecord* record, int32_t mostEvents) {
    RuleMirror mirror = {};
    startRecord(record, &playlist);
    record->mostEvents = mostEvents;
    if (!startMirror(&mirror, limits))
        return kSimulationOutOfMemory;
    SimulatedEnd end = kPlayedItsLength;
    int32_t refusedLapsInARow = 0;
    for (;; advance(&order, true)) {
        const int32_t entry = currentEntry(order);
        const char* title = playlist[static_cast<size_t>(entry)].title.c_str();
        // The newest recorded title is not judged again: it plays, whatever the limits.
        const bool judged = std::strcmp(title, history::newest(mirror.history)) != 0;
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
    }
    endMirror(&mirror);
    return end;
}

SeedFigures seedFigures(const RunRecord& record, uint64_t seed, bool starved, const SweepGoal& goal) {
    SeedFigures figures = {};
    figures.seed = seed;
    figures.played = record.played;
    figures.skipped = record.skipped;
    const int32_t started = record.played + record.skipped;
    figures.skipRate = started > 0 ? static_cast<double>(record.skipped) / started : 0.0;
    figures.longestSkipRun = longestSkipRun(record);
    figures.stationSeconds = record.stationSeconds;
    figures.starved = starved;
    for (const TrackEvent& event : record.events)
        if (event.kind == kSkipped && event.verdict == kOtherArtist)
            figures.misjudged++;

    const int64_t goalSeconds = static_cast<int64_t>(goal.artistGapMinutes) * 60;
    for (const ArtistReturn& artistReturn : artistReturns(record)) {
        figures.gapSeconds.push_back(artistReturn.seconds);
        figures.gapTracks.push_back(artistReturn.tracks);
        if (artistReturn.seconds < goalSeconds)
            figures.returnsWithinGoal++;
    }
    std::sort(figures.gapSeconds.begin(), figures.gapSeconds.end());
    std::sort(figures.gapTracks.begin(), figures.gapTracks.end());
    const auto returns = static_cast<int64_t>(figures.gapSeconds.size());
    figures.shareApart =
        returns > 0 ? static_cast<double>(returns - figures.returnsWithinGoal) / returns : 1.0;
    // At least 95 % of the returns reach the gap at this place of the sorted gaps, and no more:
    // exactly when it is the goal's minutes or more does the artist goal hold on this seed.
    figures.gapReachedBy95 =
        returns > 0
            ? figures.gapSeconds[static_cast<size_t>(returns * (100 - kArtistGoalPercentOfReturns) / 100)]
            : -1;
    return figures;
}

SweepRow sweepRow(SweepSetting setting, std::vector<SeedFigures> seeds, const SweepGoal& goal) {
    SweepRow row = {};
    row.setting = setting;
    row.seeds = std::move(seeds);
    std::vector<double> skipRates;
    std::vector<int64_t> gapSeconds;
    std::vector<int32_t> gapTracks;
    int64_t skipped = 0, stationSeconds = 0;
    row.worstShareApart = 1.0;
    bool artistGoal = true;
    for (const SeedFigures& seed : row.seeds) {
        skipRates.push_back(seed.skipRate);
        skipped += seed.skipped;
        stationSeconds += seed.stationSeconds;
        row.longestSkipRun = std::max(row.longestSkipRun, seed.longestSkipRun);
        row.returns += static_cast<int32_t>(seed.gapSeconds.size());
        row.returnsWithinGoal += seed.returnsWithinGoal;
        row.worstShareApart = std::min(row.worstShareApart, seed.shareApart);
        row.misjudged += seed.misjudged;
        row.starved = row.starved || seed.starved;
        gapSeconds.insert(gapSeconds.end(), seed.gapSeconds.begin(), seed.gapSeconds.end());
        gapTracks.insert(gapTracks.end(), seed.gapTracks.begin(), seed.gapTracks.end());
        // In whole numbers, so that a share of exactly 95 % is not lost to rounding.
        const auto returns = static_cast<int64_t>(seed.gapSeconds.size());
        if ((returns - seed.returnsWithinGoal) * 100 < returns * kArtistGoalPercentOfReturns)
            artistGoal = false;
    }
    row.medianSkipRate = medianOf(&skipRates);
    row.lowestSkipRate = skipRates.empty() ? 0.0 : skipRates.front();
    row.highestSkipRate = skipRates.empty() ? 0.0 : skipRates.back();
    row.skipsPerHour = stationSeconds > 0 ? static_cast<double>(skipped) * 3600.0 / stationSeconds : 0.0;
    row.medianGapSeconds = medianOf(&gapSeconds);
    row.medianGapTracks = medianOf(&gapTracks);
    row.shortestGapSeconds = gapSeconds.empty() ? -1 : gapSeconds.front();
    row.shortestGapTracks = gapTracks.empty() ? -1 : gapTracks.front();
    row.meetsArtistGoal = artistGoal;
    // The rate is compared as the table shows it, to a tenth of a percent.
    row.meetsSkipGoal =
        !row.starved && std::lround(row.medianSkipRate * 1000.0) <= std::lround(goal.maxSkipPercent * 10.0);
    return row;
}

SimulatedEnd runSweep(const std::vector<PlaylistEntry>& playlist, const SweepPlan& plan,
                      std::vector<SweepRow>* rows) {
    rows->clear();
    const auto entries = static_cast<int32_t>(playlist.size());
    RunRecord record;
    for (int32_t artistLimit : plan.artistLimits)
        for (int32_t titleLimit : plan.titleLimits) {
            std::vector<SeedFigures> seeds;
            for (uint64_t seed : plan.seeds) {
                const SimulatedEnd end =
                    simulateRun(playlist, {artistLimit, titleLimit, true}, sweepOrder(entries, seed),
                                plan.stationSeconds, &record, plan.mostEvents);
                if (end == kSimulationOutOfMemory)
                    return end;
                seeds.push_back(seedFigures(record, seed, end == kEveryEntryRefused, plan.goal));
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
