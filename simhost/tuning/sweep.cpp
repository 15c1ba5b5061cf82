// The sweep's runs and figures. A run here makes the very record the real run makes (recordPlay,
// recordSkip), so that the two can be compared event for event and the figures mean the same. Of
// each run only its figures are kept: a sweep of many long runs needs no more memory than one run.
#include "tuning/sweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "history/repeat_filter.h"
#include "playlist/station_clock.h"
#include "tuning/artist.h"
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

// The pairs most often met first (ties in id order), at most kMostSpellingPairsKept of them.
void keepMostPairs(std::vector<sim::SpellingPair>* pairs) {
    std::stable_sort(
        pairs->begin(), pairs->end(),
        [](const sim::SpellingPair& a, const sim::SpellingPair& b) { return a.count > b.count; });
    if (pairs->size() > sim::kMostSpellingPairsKept)
        pairs->resize(sim::kMostSpellingPairsKept);
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

int32_t perDayHundredths(int64_t count, int64_t seconds) {
    if (seconds <= 0)
        return 0;
    return static_cast<int32_t>((count * 24 * 3600 * 100 * 2 + seconds) / (2 * seconds));
}

int32_t rateTenths(double rate) {
    // A hair above a half, so that a rate that is a half in decimal but a little less in binary
    // rounds up as it reads.
    return static_cast<int32_t>(std::floor(rate * 1000.0 + 0.5 + 1e-9));
}

SweepPlaylist sweepPlaylist(const std::vector<PlaylistEntry>& playlist) {
    SweepPlaylist entries = {};
    std::map<std::string, int32_t> spellings;
    for (const PlaylistEntry& entry : playlist) {
        const std::string artist = artistOf(entry.title);
        if (artist.empty()) {
            entries.spelling.push_back(-1);
            continue;
        }
        const auto [found, added] = spellings.try_emplace(artist, static_cast<int32_t>(spellings.size()));
        if (added)
            entries.spellings.push_back(artist);
        entries.spelling.push_back(found->second);
    }
    return entries;
}

SeedFigures seedFigures(const RunRecord& record, const SweepPlaylist& entries, uint64_t seed, bool starved,
                        const SweepGoal& goal) {
    SeedFigures figures = {};
    figures.seed = seed;
    figures.played = record.played;
    figures.skipped = record.skipped;
    const int32_t started = record.played + record.skipped;
    figures.skipRate = started > 0 ? static_cast<double>(record.skipped) / started : 0.0;
    figures.longestSkipRun = longestSkipRun(record);
    figures.stationSeconds = record.stationSeconds;
    figures.starved = starved;

    const int64_t artistGap = static_cast<int64_t>(goal.artistGapMinutes) * 60;
    const int64_t titleGap = static_cast<int64_t>(goal.titleGapHours) * 3600;
    struct LastPlay {
        int64_t at;
        int32_t entry;
    };
    std::vector<LastPlay> lastOfArtist(record.artistKeyIds.size(), {-1, -1}); // by artist key id
    std::vector<int64_t> lastOfTitle(record.titleIds.size(), -1);             // by title id: its latest start
    std::vector<int64_t> gaps; // this run's only: the seed keeps its median
    std::map<std::pair<int32_t, int32_t>, int32_t> pairs;
    for (const TrackEvent& event : record.events) {
        if (event.kind == kSkipped) {
            if (event.verdict == kOtherArtist)
                figures.misjudged++;
            continue;
        }
        const auto entry = static_cast<size_t>(event.entry);
        int64_t& titleStart = lastOfTitle[static_cast<size_t>(record.titleIds[entry])];
        if (titleGap > 0 && titleStart >= 0 && event.at - titleStart < titleGap)
            figures.earlyTitle++;
        titleStart = event.at;
        const int32_t artist = record.artistKeyIds[entry];
        if (artist < 0)
            continue;
        LastPlay& last = lastOfArtist[static_cast<size_t>(artist)];
        if (last.entry >= 0) {
            const int64_t gap = event.at - last.at;
            figures.artistReturns++;
            gaps.push_back(gap);
            if (gap < artistGap) {
                const auto before = static_cast<size_t>(last.entry);
                if (record.ruleKeyIds[entry] == record.ruleKeyIds[before]) {
                    figures.earlyArtist++;
                } else {
                    figures.unpreventable++;
                    const int32_t a = entries.spelling[entry], b = entries.spelling[before];
                    pairs[{std::min(a, b), std::max(a, b)}]++;
                }
            }
        }
        last = {event.at, event.entry};
    }
    figures.artistPerDay = perDayHundredths(figures.earlyArtist, record.stationSeconds);
    figures.titlePerDay = perDayHundredths(figures.earlyTitle, record.stationSeconds);
    figures.shortestGapSeconds = gaps.empty() ? -1 : *std::min_element(gaps.begin(), gaps.end());
    figures.medianGapSeconds = medianOf(&gaps);
    for (const auto& [spellings, count] : pairs)
        figures.spellingPairs.push_back({spellings.first, spellings.second, count});
    keepMostPairs(&figures.spellingPairs);
    return figures;
}

SweepRow sweepRow(SweepSetting setting, std::vector<SeedFigures> seeds, const SweepGoal& goal) {
    SweepRow row = {};
    row.setting = setting;
    row.seeds = std::move(seeds);
    std::vector<double> skipRates, medianGaps;
    int64_t skipped = 0, stationSeconds = 0;
    row.shortestGapSeconds = -1;
    std::map<std::pair<int32_t, int32_t>, int32_t> pairs;
    for (const SeedFigures& seed : row.seeds) {
        skipRates.push_back(seed.skipRate);
        skipped += seed.skipped;
        stationSeconds += seed.stationSeconds;
        row.longestSkipRun = std::max(row.longestSkipRun, seed.longestSkipRun);
        row.artistReturns += seed.artistReturns;
        row.earlyArtist += seed.earlyArtist;
        row.unpreventable += seed.unpreventable;
        row.earlyTitle += seed.earlyTitle;
        row.worstArtistPerDay = std::max(row.worstArtistPerDay, seed.artistPerDay);
        row.worstTitlePerDay = std::max(row.worstTitlePerDay, seed.titlePerDay);
        if (seed.shortestGapSeconds >= 0) {
            row.shortestGapSeconds = row.shortestGapSeconds < 0
                                         ? seed.shortestGapSeconds
                                         : std::min(row.shortestGapSeconds, seed.shortestGapSeconds);
            medianGaps.push_back(seed.medianGapSeconds);
        }
        row.misjudged += seed.misjudged;
        row.starved = row.starved || seed.starved;
        for (const SpellingPair& pair : seed.spellingPairs)
            pairs[{pair.first, pair.second}] += pair.count;
    }
    row.medianSkipRate = medianOf(&skipRates);
    row.lowestSkipRate = skipRates.empty() ? 0.0 : skipRates.front();
    row.highestSkipRate = skipRates.empty() ? 0.0 : skipRates.back();
    row.skipTenths = rateTenths(row.medianSkipRate);
    row.worstSkipTenths = rateTenths(row.highestSkipRate);
    row.skipsPerHour = stationSeconds > 0 ? static_cast<double>(skipped) * 3600.0 / stationSeconds : 0.0;
    row.medianGapSeconds = medianOf(&medianGaps);
    for (const auto& [spellings, count] : pairs)
        row.spellingPairs.push_back({spellings.first, spellings.second, count});
    keepMostPairs(&row.spellingPairs);
    row.meetsArtistGoal = row.worstArtistPerDay <= goal.perDayHundredths;
    row.meetsTitleGoal = goal.titleGapHours <= 0 || row.worstTitlePerDay <= goal.perDayHundredths;
    // Judged on the digits the table shows.
    row.meetsSkipGoal = !row.starved && row.skipTenths <= goal.maxSkipTenths;
    return row;
}

SimulatedEnd runSweep(const std::vector<PlaylistEntry>& playlist, const SweepPlan& plan,
                      std::vector<SweepRow>* rows) {
    rows->clear();
    const auto entries = static_cast<int32_t>(playlist.size());
    const SweepPlaylist compared = sweepPlaylist(playlist);
    RunRecord record;
    const auto runs =
        static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size() * plan.seeds.size());
    int64_t done = 0;
    for (int32_t artistLimit : plan.artistLimits)
        for (int32_t titleLimit : plan.titleLimits) {
            std::vector<SeedFigures> seeds;
            for (uint64_t seed : plan.seeds) {
                const SimulatedEnd end =
                    simulateRun(playlist, {artistLimit, titleLimit, true}, sweepOrder(entries, seed),
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
