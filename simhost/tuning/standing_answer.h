// What stands of the sweep's answer once the plug-in has replayed it. The mirror recommends a
// setting (or, when none meets every goal, marks the choice nearest the goals), but only a replay
// through the real plug-in that decided every track as the mirror did confirms it. Until then no
// setting is called recommended or nearest: the replayed one is marked as replayed, in words that
// say whether the plug-in disagreed. Both reports, the console's and the page, mark what is decided
// here and nothing else.
#pragma once

#include <cstdint>
#include <string>

#include "tuning/recommendation.h"
#include "tuning/sweep_figures.h"

namespace sim {

// What the replay of one setting through the real plug-in found.
struct ReplayOutcome {
    bool ran; // false when the sweep ended before it, or failed to make it
    SweepSetting setting;
    int32_t seeds;          // replayed
    int64_t events;         // tracks compared, over all seeds
    bool agreed;            // the plug-in and the mirror decided every track alike, on every seed
    std::string difference; // when not: the first difference, in words
    // How much of each seed's run was replayed (replay_extent.h): the station time, least and most
    // over the seeds, whether every run was replayed whole, the most a seed may be replayed and
    // whether that cut a run short, and the kinds of decision (DecisionKindBits) the replayed parts
    // showed and those some run makes only beyond its replayed part.
    int64_t fewestSeconds = 0;
    int64_t mostSeconds = 0;
    bool wholeRuns = true;
    int64_t shareSeconds = 0;
    bool cut = false;
    int32_t kindsShown = 0;
    int32_t kindsLater = 0;
};

// What the table and the page may mark as an answer: `recommendation` as it is once the plug-in
// has confirmed the replayed setting; otherwise neither a recommended nor a nearest setting (nor
// what lies beside them), only the replayed one (and the choices, which are not answers).
Recommendation standingRecommendation(const Recommendation& recommendation, const ReplayOutcome& replay);

// How the setting the reports mark stands.
enum AnswerStanding : int32_t {
    kNothingMarked,     // no setting was replayed
    kRecommendedStands, // the recommended setting, confirmed by the plug-in
    kNearestStands,     // the choice nearest the goals, confirmed likewise
    kReplayDisagreed,   // the replayed setting, which the plug-in decided otherwise than the mirror
    kReplayUnconfirmed, // the replayed setting, not confirmed: the replay did not run
};

// The setting the reports mark as the answer, or as replayed when no answer stands.
struct MarkedSetting {
    int32_t row;      // an index into the rows; -1: none
    int32_t standing; // an AnswerStanding
};

// The marked setting of `standing` (as standingRecommendation leaves it after `replay`).
MarkedSetting markedSetting(const Recommendation& standing, const ReplayOutcome& replay);

} // namespace sim
