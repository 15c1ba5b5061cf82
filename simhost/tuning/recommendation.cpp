// The recommendation rule. Every choice is a scan in row order with a strict comparison, so the
// first of equals wins and the answer is the same on every run.
#include "tuning/recommendation.h"

namespace {

// The row index among `rows` that `better(candidate, best)` prefers over all others, or -1 when
// `eligible` admits none.
template <typename Eligible, typename Better>
int32_t bestRow(const std::vector<sim::SweepRow>& rows, Eligible eligible, Better better) {
    int32_t best = -1;
    for (size_t i = 0; i < rows.size(); i++)
        if (eligible(rows[i]) && (best < 0 || better(rows[i], rows[static_cast<size_t>(best)])))
            best = static_cast<int32_t>(i);
    return best;
}

bool meetsBoth(const sim::SweepRow& row) {
    return row.meetsArtistGoal && row.meetsSkipGoal;
}

} // namespace

namespace sim {

Recommendation recommend(const std::vector<SweepRow>& rows) {
    Recommendation answer = {kBothGoalsMet, -1, -1, -1, -1};
    // Smallest artist limit, then largest title limit.
    answer.recommended = bestRow(rows, meetsBoth, [](const SweepRow& a, const SweepRow& b) {
        return a.setting.artistLimit < b.setting.artistLimit ||
               (a.setting.artistLimit == b.setting.artistLimit &&
                a.setting.titleLimit > b.setting.titleLimit);
    });
    if (answer.recommended >= 0) {
        answer.replayed = answer.recommended;
        return answer;
    }

    bool anyArtist = false, anySkip = false;
    for (const SweepRow& row : rows) {
        anyArtist = anyArtist || row.meetsArtistGoal;
        anySkip = anySkip || row.meetsSkipGoal;
    }
    answer.verdict = anyArtist && anySkip ? kGoalsConflict
                     : anyArtist          ? kSkipGoalBinds
                     : anySkip            ? kArtistGoalBinds
                                          : kNeitherGoalIsMet;

    if (anyArtist)
        answer.closestByArtist = bestRow(
            rows, [](const SweepRow& row) { return row.meetsArtistGoal; },
            [](const SweepRow& a, const SweepRow& b) {
                return a.setting.artistLimit < b.setting.artistLimit ||
                       (a.setting.artistLimit == b.setting.artistLimit &&
                        a.medianSkipRate < b.medianSkipRate);
            });
    else
        answer.closestByArtist = bestRow(
            rows, [](const SweepRow&) { return true; },
            [](const SweepRow& a, const SweepRow& b) { return a.worstShareApart > b.worstShareApart; });

    if (anySkip)
        answer.closestBySkips = bestRow(
            rows, [](const SweepRow& row) { return row.meetsSkipGoal; },
            [](const SweepRow& a, const SweepRow& b) {
                return a.setting.artistLimit > b.setting.artistLimit ||
                       (a.setting.artistLimit == b.setting.artistLimit &&
                        a.worstShareApart > b.worstShareApart);
            });
    else
        answer.closestBySkips = bestRow(
            rows, [](const SweepRow&) { return true; },
            [](const SweepRow& a, const SweepRow& b) { return a.medianSkipRate < b.medianSkipRate; });

    answer.replayed = answer.closestByArtist;
    return answer;
}

} // namespace sim
