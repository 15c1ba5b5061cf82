// The sweep run on the station's history.
#include "aired/aired_answer.h"

#include "tuning/rotation.h"
#include "tuning/sweep.h"

namespace sim {

std::string misfitText(const PlayedOrder& order, const AiredHistory& history) {
    const std::string rotation = std::to_string(order.entries);
    switch (order.verdict) {
    case kOrderInOrder:
        return "the player plays its playlist in order (" +
               std::to_string(order.following * 100 / order.pairs) +
               " % of the tracks started at the place after the one before), where the tool's model shuffles";
    case kOrderRandomPicks:
        return "the player picks at random with replacement, where the tool's model deals every entry once "
               "per "
               "round: " +
               std::to_string(order.pastTwoRounds * 100 / order.returns) +
               " % of returns waited two rounds (" + std::to_string(2 * static_cast<int64_t>(order.entries)) +
               " starts) or more, which a dealt shuffle never does";
    default:
        break;
    }
    if (order.overShare.empty())
        return std::string();
    const OverShare& most = order.overShare.front();
    const std::string place = std::to_string(history.positions[static_cast<size_t>(most.entry)]);
    return std::to_string(order.overShare.size()) +
           (order.overShare.size() == 1 ? " entry starts" : " entries start") +
           " more than its share (entry " + place + ", \"" +
           history.playlist[static_cast<size_t>(most.entry)].title + "\", " + std::to_string(most.starts) +
           " times where its share is " + std::to_string(static_cast<int64_t>(most.expected + 0.5)) +
           "), which no shuffle of the " + rotation + " entries does";
}

AiredAnswer answerFromHistory(const std::vector<PlaylistEntry>& playlist, const std::string& name,
                              const SweepPlan& plan, const PlayedOrder& order, const AiredHistory& history) {
    AiredAnswer answer = {};
    answer.recommendation = {kGoalsUnmet, 0, -1, {}, -1, -1};
    const std::string misfit = misfitText(order, history);
    if (!misfit.empty()) {
        answer.state = kAnswerWithheld;
        answer.reason = "the tool's model does not fit this station: " + misfit +
                        "; a sweep of it would answer for another station, so it recommends nothing";
        return answer;
    }
    if (order.verdict == kOrderTooShort)
        answer.reason = "the log is too short to tell the player's order (" + std::to_string(order.starts) +
                        " tracks started, " + std::to_string(order.returns) +
                        " of them with two rounds after them, for " + std::to_string(order.entries) +
                        " entries): the answer assumes the shuffle the tool simulates";
    answer.state = kAnswerMade;
    answer.context.playlistName = name;
    answer.context.entries = static_cast<int32_t>(playlist.size());
    answer.context.rotationSeconds = rotationSeconds(playlist);
    answer.context.plan = plan;
    answer.context.spellings = sweepPlaylist(playlist).spellings;
    for (const PlaylistEntry& entry : playlist)
        answer.context.titles.push_back(entry.title);
    answer.context.distinctTitles = distinctTitles(playlist);
    answer.end = runSweep(playlist, plan, &answer.rows);
    if (answer.end == kPlayedItsLength)
        answer.recommendation = recommend(answer.rows, plan.goal);
    return answer;
}

} // namespace sim
