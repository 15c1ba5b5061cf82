// A sweep's figures. Of each run only these are kept, so that a sweep of many long runs needs no
// more memory than one run; a row's figures add up its seeds' and judge them against the goals.
#include "tuning/sweep_figures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "tuning/artist.h"
#include "tuning/run_stats.h"

namespace {

using PairCounts = std::map<std::pair<int32_t, int32_t>, int32_t>;

// The pairs most often met first (ties in id order), at most kMostSpellingPairsKept of them.
std::vector<sim::SpellingPair> mostPairs(const PairCounts& counts) {
    std::vector<sim::SpellingPair> pairs;
    for (const auto& [ids, count] : counts)
        pairs.push_back({ids.first, ids.second, count});
    std::stable_sort(pairs.begin(), pairs.end(), [](const sim::SpellingPair& a, const sim::SpellingPair& b) {
        return a.count > b.count;
    });
    if (pairs.size() > sim::kMostSpellingPairsKept)
        pairs.resize(sim::kMostSpellingPairsKept);
    return pairs;
}

} // namespace

namespace sim {

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
                        const SweepGoal& goal, std::vector<uint8_t>* marks) {
    SeedFigures figures = {};
    figures.seed = seed;
    figures.played = record.played;
    figures.skipped = record.skipped;
    const int32_t started = record.played + record.skipped;
    figures.skipRate = started > 0 ? static_cast<double>(record.skipped) / started : 0.0;
    figures.longestSkipRun = record.longestSkipRun;
    figures.misjudged = record.misjudged;
    figures.stationSeconds = record.stationSeconds;
    figures.starved = starved;

    const int64_t artistGap = static_cast<int64_t>(goal.artistGapMinutes) * 60;
    const int64_t titleGap = static_cast<int64_t>(goal.titleGapHours) * 3600;
    // Every play of an artist, each linked to the artist's play before it, so that a return can be
    // held against all the artist's plays within the gap.
    struct ArtistPlay {
        int64_t at;
        int32_t entry;
        int32_t before; // index of the artist's play before this one; -1: none
    };
    std::vector<ArtistPlay> plays;
    std::vector<int32_t> lastOfArtist(record.artistKeyIds.size(), -1); // by artist key id: into plays
    std::vector<int64_t> lastOfTitle(record.titleIds.size(), -1);      // by title id: its latest start
    std::vector<int64_t> gaps; // this run's only: the seed keeps its median
    PairCounts pairs, listedTwice;
    auto count = [](PairCounts* counts, int32_t a, int32_t b) {
        (*counts)[{std::min(a, b), std::max(a, b)}]++;
    };
    if (marks != nullptr)
        marks->assign(record.events.size(), 0);
    uint8_t unused = 0;
    for (size_t index = 0; index < record.events.size(); index++) {
        const TrackEvent& event = record.events[index];
        if (event.kind == kSkipped) // in the records that keep them
            continue;
        uint8_t& mark = marks != nullptr ? (*marks)[index] : unused;
        const auto entry = static_cast<size_t>(event.entry);
        // Another entry of the title just played: the plug-in never judges the title it admitted
        // last, so no limit prevents this return, and it is no measure of the artist's gap.
        const bool listedTwiceInARow = event.again == kAgainDuplicate;
        int64_t& titleStart = lastOfTitle[static_cast<size_t>(record.titleIds[entry])];
        if (titleGap > 0 && titleStart >= 0 && event.at - titleStart < titleGap && !listedTwiceInARow) {
            figures.earlyTitle++;
            mark |= kEarlyTitleMark;
        }
        titleStart = event.at;
        const int32_t artist = record.artistKeyIds[entry];
        if (artist < 0)
            continue;
        int32_t& last = lastOfArtist[static_cast<size_t>(artist)];
        if (last >= 0) {
            const ArtistPlay& previous = plays[static_cast<size_t>(last)];
            const int64_t gap = event.at - previous.at;
            figures.artistReturns++;
            if (!listedTwiceInARow)
                gaps.push_back(gap);
            // A limit prevents the return when a play of the artist within the gap has the same
            // characters for the rule: a window reaching back to it refuses this one.
            auto preventable = [&] {
                for (int32_t p = last; p >= 0 && event.at - plays[static_cast<size_t>(p)].at < artistGap;
                     p = plays[static_cast<size_t>(p)].before)
                    if (record.ruleKeyIds[entry] ==
                        record.ruleKeyIds[static_cast<size_t>(plays[static_cast<size_t>(p)].entry)])
                        return true;
                return false;
            };
            if (gap < artistGap) {
                if (listedTwiceInARow) {
                    figures.unpreventable++;
                    figures.listedTwice++;
                    mark |= kUnpreventableMark | kListedTwiceMark;
                    count(&listedTwice, event.entry, previous.entry);
                } else if (preventable()) {
                    figures.earlyArtist++;
                    mark |= kEarlyArtistMark;
                } else {
                    figures.unpreventable++;
                    mark |= kUnpreventableMark;
                    count(&pairs, entries.spelling[entry],
                          entries.spelling[static_cast<size_t>(previous.entry)]);
                }
            }
        }
        plays.push_back({event.at, event.entry, last});
        last = static_cast<int32_t>(plays.size() - 1);
    }
    figures.artistPerDay = perDayHundredths(figures.earlyArtist, record.stationSeconds);
    figures.spellingsPerDay =
        perDayHundredths(figures.unpreventable - figures.listedTwice, record.stationSeconds);
    figures.titlePerDay = perDayHundredths(figures.earlyTitle, record.stationSeconds);
    figures.shortestGapSeconds = gaps.empty() ? -1 : *std::min_element(gaps.begin(), gaps.end());
    figures.medianGapSeconds = unsortedMedianOf(&gaps);
    figures.spellingPairs = mostPairs(pairs);
    figures.listedTwicePairs = mostPairs(listedTwice);
    return figures;
}

SweepRow sweepRow(SweepSetting setting, std::vector<SeedFigures> seeds, const SweepGoal& goal) {
    SweepRow row = {};
    row.setting = setting;
    row.seeds = std::move(seeds);
    std::vector<double> skipRates, medianGaps;
    int64_t skipped = 0, stationSeconds = 0;
    row.shortestGapSeconds = -1;
    PairCounts pairs, listedTwice;
    for (const SeedFigures& seed : row.seeds) {
        skipRates.push_back(seed.skipRate);
        skipped += seed.skipped;
        stationSeconds += seed.stationSeconds;
        row.longestSkipRun = std::max(row.longestSkipRun, seed.longestSkipRun);
        row.artistReturns += seed.artistReturns;
        row.earlyArtist += seed.earlyArtist;
        row.unpreventable += seed.unpreventable;
        row.listedTwice += seed.listedTwice;
        row.earlyTitle += seed.earlyTitle;
        if (&seed == &row.seeds.front() || seed.artistPerDay > row.worstArtistPerDay) {
            row.worstArtistPerDay = seed.artistPerDay;
            row.spellingsPerDay = seed.spellingsPerDay;
        }
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
        for (const SpellingPair& pair : seed.listedTwicePairs)
            listedTwice[{pair.first, pair.second}] += pair.count;
    }
    row.medianSkipRate = medianOf(&skipRates);
    row.lowestSkipRate = skipRates.empty() ? 0.0 : skipRates.front();
    row.highestSkipRate = skipRates.empty() ? 0.0 : skipRates.back();
    row.skipTenths = rateTenths(row.medianSkipRate);
    row.worstSkipTenths = rateTenths(row.highestSkipRate);
    row.skipsPerHour = stationSeconds > 0 ? static_cast<double>(skipped) * 3600.0 / stationSeconds : 0.0;
    row.medianGapSeconds = medianOf(&medianGaps);
    row.spellingPairs = mostPairs(pairs);
    row.listedTwicePairs = mostPairs(listedTwice);
    row.meetsArtistGoal = goal.artistUnjudged || row.worstArtistPerDay <= goal.perDayHundredths;
    row.meetsTitleGoal = goal.titleGapHours <= 0 || row.worstTitlePerDay <= goal.perDayHundredths;
    // Judged on the digits the table shows.
    row.meetsSkipGoal = !row.starved && row.skipTenths <= goal.maxSkipTenths;
    return row;
}

} // namespace sim
