// The settings beside the answer. Each is a scan in row order with a strict comparison, so the
// first of equals (the smaller limits) wins, as in the answer itself.
#include "tuning/nearby_choice.h"

namespace {

// The limit of the rule `artist` names.
int32_t limitOf(const sim::SweepSetting& setting, bool artist) {
    return artist ? setting.artistLimit : setting.titleLimit;
}

// The row of `rows` that `accepts` with the fewest skips; -1 when it accepts none.
template <typename Accepts>
int32_t fewestSkips(const std::vector<sim::SweepRow>& rows, Accepts accepts) {
    int32_t best = -1;
    for (size_t i = 0; i < rows.size(); i++)
        if (accepts(rows[i]) && (best < 0 || rows[i].skipTenths < rows[static_cast<size_t>(best)].skipTenths))
            best = static_cast<int32_t>(i);
    return best;
}

} // namespace

namespace sim {

int32_t earlyReturnsTogether(const SweepRow& row, const SweepGoal& goal) {
    return row.worstArtistPerDay + (goal.titleGapHours > 0 ? row.worstTitlePerDay : 0);
}

int32_t saferChoice(const std::vector<SweepRow>& rows, int32_t recommended, const SweepGoal& goal) {
    if (recommended < 0)
        return -1;
    const SweepRow& answer = rows[static_cast<size_t>(recommended)];
    int32_t best = -1, fewest = earlyReturnsTogether(answer, goal);
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        if (!meetsEveryGoal(row) || row.starved ||
            row.skipTenths > answer.skipTenths + kSaferSkipMarginTenths)
            continue;
        const int32_t returns = earlyReturnsTogether(row, goal);
        if (returns < fewest ||
            (best >= 0 && returns == fewest && row.skipTenths < rows[static_cast<size_t>(best)].skipTenths)) {
            fewest = returns;
            best = static_cast<int32_t>(i);
        }
    }
    return best;
}

int32_t ruleOnChoice(const std::vector<SweepRow>& rows, int32_t recommended, bool artist) {
    if (recommended < 0)
        return -1;
    const SweepSetting& answer = rows[static_cast<size_t>(recommended)].setting;
    if (limitOf(answer, artist) != 0)
        return -1;
    const int32_t meeting = fewestSkips(
        rows, [&](const SweepRow& row) { return limitOf(row.setting, artist) > 0 && meetsEveryGoal(row); });
    if (meeting >= 0)
        return meeting;
    return fewestSkips(rows, [&](const SweepRow& row) {
        return limitOf(row.setting, artist) > 0 && limitOf(row.setting, !artist) == limitOf(answer, !artist);
    });
}

} // namespace sim
