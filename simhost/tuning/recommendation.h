// The sweep's answer to "which two numbers?". The rule, as the README states it:
//   - a setting meets the artist goal when on every seed at least 95 % of the returns of an
//     artist come at least the goal's minutes after that artist's previous play (start to start);
//   - it meets the skip goal when the median skip rate over the seeds is at most the goal's
//     percentage (and no seed starved: every entry refused lap after lap);
//   - recommended is the smallest artist limit that meets both with some title limit, and with it
//     the largest title limit that still meets both (the most protection against a whole title
//     coming back); without a title sweep there is one title limit, plugin.ini's.
// Ties cannot arise: each setting appears once. The answer depends only on the rows.
#pragma once

#include <cstdint>
#include <vector>

#include "tuning/sweep.h"

namespace sim {

enum GoalVerdict : int32_t {
    kBothGoalsMet,     // the recommended setting meets both
    kArtistGoalBinds,  // no setting keeps artists apart enough
    kSkipGoalBinds,    // no setting skips little enough
    kGoalsConflict,    // each goal is met by some setting, never both by one
    kNeitherGoalIsMet, // no setting meets either
};

struct Recommendation {
    int32_t verdict; // a GoalVerdict
    // Indexes into the rows; -1 when there is none.
    int32_t recommended;     // kBothGoalsMet: the setting recommended
    int32_t closestByArtist; // otherwise: the smallest artist limit that meets the artist goal, at
                             // its lowest median skip rate; or, when none does, the setting with
                             // the best worst-seed share of returns apart
    int32_t closestBySkips;  // otherwise: the largest artist limit that meets the skip goal, at its
                             // best worst-seed share apart; or, when none does, the setting with
                             // the lowest median skip rate
    int32_t replayed;        // what the replay through the plug-in checks: recommended, else
                             // closestByArtist
};

// The recommendation from a sweep's rows (ordered by artist limit, then title limit).
Recommendation recommend(const std::vector<SweepRow>& rows);

} // namespace sim
