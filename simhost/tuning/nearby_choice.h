// Beside the answer, what lies near it. The fewest skips that meet every goal can switch a rule off
// (a title limit of 0) where a setting that keeps the same title apart too costs next to nothing
// more; the operator should see that setting, and what switching an off rule on would cost. Both
// depend only on the rows, as the answer does.
#pragma once

#include <cstdint>
#include <vector>

#include "tuning/sweep_figures.h"

namespace sim {

// How much more skipping the safer choice may cost than the answer: half a point of the median
// skip rate, in tenths of a percent.
constexpr int32_t kSaferSkipMarginTenths = 5;

// The early returns a row is judged by, together: an artist's and (when titles are judged) a
// title's, each a day on its worst seed, in hundredths.
int32_t earlyReturnsTogether(const SweepRow& row, const SweepGoal& goal);

// Of the settings that meet every goal and skip at most kSaferSkipMarginTenths more than
// `recommended` (a row index), the one with the fewest early returns together; ties to the fewer
// skips, then the smaller limits. -1 when none has fewer early returns than `recommended` itself.
int32_t saferChoice(const std::vector<SweepRow>& rows, int32_t recommended, const SweepGoal& goal);

// When `recommended` switches the artist rule off (`artist`) or the title rule (otherwise), the
// setting that has it on at the least cost: of those that meet every goal, the fewest skips; when
// none does, of those with the other limit unchanged, the fewest skips. -1 when the rule is on, or
// no setting swept has it on.
int32_t ruleOnChoice(const std::vector<SweepRow>& rows, int32_t recommended, bool artist);

} // namespace sim
