// The sweep's answer to "which two numbers?". The rule, as docs/tuning.md states it:
//   - a setting meets the artist goal when on every seed the returns of an artist sooner than the
//     goal's minutes after its previous start number at most the allowance per 24 hours of station
//     time; returns no artist limit can prevent (one artist spelt so that the rule's characters
//     differ) are counted apart and never held against a setting;
//   (when nearly every title lacks the "Artist - Title" form the artist goal is not judged: every
//   setting meets it, and the frontier and the nearest choice weigh no early returns of an artist);
//   - it meets the title goal (when titles are judged) likewise, with the same whole title;
//   - it meets the skip goal when the median skip rate over the seeds, as the table shows it, is at
//     most the goal's percentage (and no seed starved: every entry refused lap after lap);
//   - recommended is, of the settings that meet every goal, the one with the fewest skips (as
//     shown), ties to the smaller artist limit, then the smaller title limit;
//   - when none meets every goal: the frontier between early returns of an artist a day (worst
//     seed) and the median skip rate; up to seven settings of it offered as choices (its two ends,
//     the one nearest the goals, the fewest early returns within the skip goal and the fewest skips
//     within the artist goal, then the widest steps between them, in skip rate or in early returns,
//     split at a setting between), the nearest marked (see goalMiss);
//   - beside a recommended setting: the safer choice nearby, and the setting that switches on a
//     rule it leaves off (nearby_choice.h).
// The answer depends only on the rows.
#pragma once

#include <cstdint>
#include <vector>

#include "tuning/sweep_figures.h"

namespace sim {

enum GoalVerdict : int32_t {
    kEveryGoalMet,  // the recommended setting meets every goal
    kGoalsUnmet,    // some goal is met by no setting: unmetGoals says which
    kGoalsConflict, // every goal is met by some setting, never all by one
};

enum SweepGoalBit : int32_t { kArtistGoalBit = 1, kTitleGoalBit = 2, kSkipGoalBit = 4 };

// The most choices offered when no setting meets every goal.
constexpr size_t kMostChoices = 7;

struct Recommendation {
    int32_t verdict;    // a GoalVerdict
    int32_t unmetGoals; // SweepGoalBits of the goals no setting meets
    // Indexes into the rows; -1 when there is none.
    int32_t recommended; // kEveryGoalMet: the setting recommended
    std::vector<int32_t>
        choices;               // otherwise: up to kMostChoices settings of the frontier, fewest skips first
    int32_t nearest;           // otherwise: the choice nearest the goals
    int32_t replayed;          // what the replay through the plug-in checks: recommended, else nearest
    int32_t safer = -1;        // kEveryGoalMet: the fewest early returns within the skip margin
    int32_t artistRuleOn = -1; // kEveryGoalMet, the artist rule off: the least costly with it on
    int32_t titleRuleOn = -1;  // likewise the title rule
};

// The settings of the frontier between early returns of an artist a day (worst seed) and the
// median skip rate, from the fewest skips to the fewest early returns: each has fewer early returns
// than every setting that skips less or as much. Starved settings are left out, and so are those
// that miss the title goal when some setting meets it.
std::vector<int32_t> tradeOffFrontier(const std::vector<SweepRow>& rows, const SweepGoal& goal);

// How far `row` misses the goals: the larger of its two misses, each as a share of its goal (early
// returns a day above the allowance, a skip rate above the maximum; an allowance of 0 counts as one
// a day, a maximum of 0 as 1 %). 0 when it meets both.
double goalMiss(const SweepRow& row, const SweepGoal& goal);

// The recommendation from a sweep's rows (ordered by artist limit, then title limit).
Recommendation recommend(const std::vector<SweepRow>& rows, const SweepGoal& goal);

} // namespace sim
