// What went to air, against the sweep's goals: by day, by hour of the day, by period of the limits
// in force, and in all. Early returns are the sweep's own (sweep_figures.h), counted on the time on
// air between the starts of played tracks, so that an aired figure and a predicted one mean the
// same: a pause, a stop and the player shut down are no time on air, and a hole in the log ends
// what can be held against what.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "aired/air_history.h"
#include "tuning/run_stats.h"
#include "tuning/sweep_figures.h"

namespace sim {

// The most runs of skips, titles and artists the figures name.
constexpr size_t kMostSkipRunsNamed = 5;
constexpr size_t kMostRefusedNamed = 10;

// The counts of one day, one period, or the whole.
struct AiredCounts {
    int32_t played;
    int32_t skipped;
    int64_t airMs;          // time on air
    int32_t earlyArtist;    // an artist back sooner than the goal's gap, that a limit can prevent
    int32_t unpreventable;  // ... that no limit prevents (the same artist spelt otherwise)
    int32_t earlyTitle;     // the same title back sooner than the goal's gap
    int32_t longestSkipRun; // of the runs that began in it
    int32_t unknownLines;   // lines lost, unreadable or two players', of the holes that began in it
};

struct AiredDay {
    int64_t day;
    AiredCounts counts;
    std::array<int32_t, 24> playedByHour;
    std::array<int32_t, 24> skippedByHour;
};

// Refused tracks in a row: the player spinning through what the plug-in refuses.
struct SkipRun {
    AirTime from;
    int32_t skips;
    int32_t entries; // different entries among them
};

struct AiredPeriodFigures {
    int32_t index; // into AiredHistory::periods
    AiredPeriod period;
    AiredCounts counts;
};

struct AiredFigures {
    SweepGoal goal;
    int64_t fromDay; // the first and last day with anything in the scope
    int64_t toDay;
    AiredCounts all;
    int32_t skipTenths;      // the skip rate in tenths of a percent, as the sweep judges it
    int32_t artistPerDay;    // earlyArtist per 24 hours on air, in hundredths
    int32_t spellingsPerDay; // unpreventable, likewise
    int32_t titlePerDay;     // earlyTitle, likewise
    std::vector<AiredDay> days;
    std::vector<AiredPeriodFigures> periods; // those with anything in the scope
    std::vector<SkipRun> skipRuns;           // the longest, longest first (the earlier of equals)
    std::vector<CountedText> refusedTitles;  // most first
    std::vector<CountedText> refusedArtists; // by the playlist's artist however spelt, most first
    std::vector<CountedPair> spellingPairs;  // the returns no limit prevents, by pair of spellings
    std::array<int32_t, 24> playedByHour;
    std::array<int32_t, 24> skippedByHour;
    int32_t holes; // in the scope
};

// The figures of `history` within `scope`, judged against `goal` (titles judged when its
// titleGapHours is above 0). Returns before the scope count against those in it.
AiredFigures airedFigures(const AiredHistory& history, const SweepGoal& goal, const AiredScope& scope);

} // namespace sim
