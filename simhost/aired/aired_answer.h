// Limits recommended from the station's own history: the sweep over the titles the log shows (or
// the playlist file's), with the lengths they aired for, judged against the same goals, and
// answered as the sweep answers. Only where the tool's model fits: a station whose player plays
// in order, picks at random, or starts some entries more than their share is not the station the
// sweep simulates, and its answer would only look like one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aired/played_order.h"
#include "report/sweep_report.h"
#include "tuning/recommendation.h"

namespace sim {

enum AnswerState : int32_t {
    kAnswerNotAsked, // no limits to sweep were given
    kAnswerWithheld, // the model does not fit: `reason` says why
    kAnswerMade,     // swept and answered (`reason`, when not empty, is a caveat)
};

struct AiredAnswer {
    int32_t state;      // an AnswerState
    std::string reason; // why it is withheld, or what the answer rests on
    SweepContext context;
    std::vector<SweepRow> rows;
    Recommendation recommendation;
    SimulatedEnd end;
};

// Why the model does not fit `order`, in words; "" when it fits or the log cannot tell.
std::string misfitText(const PlayedOrder& order, const AiredHistory& history);

// The answer for `playlist` (not empty) with `plan`, unless `order` shows that the model does not
// fit. `name` names the titles' source for the heading.
AiredAnswer answerFromHistory(const std::vector<PlaylistEntry>& playlist, const std::string& name,
                              const SweepPlan& plan, const PlayedOrder& order, const AiredHistory& history);

} // namespace sim
