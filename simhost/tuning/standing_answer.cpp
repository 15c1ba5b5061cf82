// The standing answer: the recommendation as the replay through the plug-in leaves it.
#include "tuning/standing_answer.h"

namespace sim {

Recommendation standingRecommendation(const Recommendation& recommendation, const ReplayOutcome& replay) {
    if (replay.ran && replay.agreed)
        return recommendation;
    Recommendation standing = recommendation;
    standing.recommended = -1;
    standing.nearest = -1;
    standing.safer = standing.artistRuleOn = standing.titleRuleOn =
        -1; // beside an answer that does not stand
    return standing;
}

MarkedSetting markedSetting(const Recommendation& standing, const ReplayOutcome& replay) {
    if (standing.replayed < 0)
        return {-1, kNothingMarked};
    if (standing.recommended >= 0)
        return {standing.recommended, kRecommendedStands};
    if (standing.nearest >= 0)
        return {standing.nearest, kNearestStands};
    return {standing.replayed, replay.ran && !replay.agreed ? kReplayDisagreed : kReplayUnconfirmed};
}

} // namespace sim
