// The replay's extent read off the mirror's record of the whole run: where each kind of decision is
// first made, and where the replay, which ends after the play under way at its length, stops.
#include "tuning/replay_extent.h"

#include <algorithm>

#include "history/title_history.h"
#include "playlist/station_clock.h"

namespace {

// The kind of decision an event shows; 0 for none the mirror makes.
int32_t kindOf(const sim::TrackEvent& event) {
    if (event.kind == sim::kSkipped)
        return event.rule == sim::kRuleArtist  ? sim::kDecidedArtistRefusal
               : event.rule == sim::kRuleTitle ? sim::kDecidedTitleRefusal
                                               : 0;
    switch (event.again) {
    case sim::kNotAgain:
        return sim::kDecidedAdmitted;
    case sim::kAgainLooping:
        return sim::kDecidedLooping;
    default:
        return sim::kDecidedPlayedAgain;
    }
}

// The index of the last event a run given `seconds` records: the play that reaches them, or the
// last event when none does.
size_t lastEventWithin(const sim::RunRecord& record, int64_t seconds) {
    for (size_t i = 0; i < record.events.size(); i++) {
        const sim::TrackEvent& event = record.events[i];
        if (event.kind == sim::kPlayed &&
            event.at + sim::trackSeconds((*record.playlist)[static_cast<size_t>(event.entry)]) >= seconds)
            return i;
    }
    return record.events.empty() ? 0 : record.events.size() - 1;
}

} // namespace

namespace sim {

ReplayExtent replayExtent(const RunRecord& whole, int64_t runSeconds, int64_t mostSeconds) {
    ReplayExtent extent = {runSeconds, true, false, 0, 0};
    if (whole.events.empty())
        return extent;
    // Where each kind is first shown, and where the history has filled: an admitted title is
    // recorded, and the one recorded after the history is full drops the oldest; a run that records
    // fewer fills it with its last.
    std::vector<size_t> firstOf, recordedAt;
    std::vector<int32_t> kindAt;
    for (size_t i = 0; i < whole.events.size(); i++) {
        const TrackEvent& event = whole.events[i];
        int32_t kinds = kindOf(event);
        if (kinds == kDecidedAdmitted && !event.unseen && recordedAt.size() <= kHistoryRingSize) {
            recordedAt.push_back(i);
            if (recordedAt.size() == kHistoryRingSize + 1)
                kinds |= kDecidedHistoryDropped;
        }
        if ((kinds & ~extent.kindsOfRun) == 0)
            continue;
        extent.kindsOfRun |= kinds;
        firstOf.push_back(i);
        kindAt.push_back(kinds);
    }
    // On to the play under way at the last of them, and no further than the share.
    const size_t neededEvent =
        recordedAt.empty() ? firstOf.back() : std::max(firstOf.back(), recordedAt.back());
    const int64_t needed = whole.events[neededEvent].at + 1;
    const int64_t seconds = std::min({needed, mostSeconds, runSeconds});
    const size_t last = lastEventWithin(whole, seconds);
    extent.whole = last + 1 == whole.events.size();
    extent.cut = last < neededEvent;
    extent.stationSeconds = extent.whole ? runSeconds : seconds;
    for (size_t k = 0; k < firstOf.size() && firstOf[k] <= last; k++)
        extent.kindsShown |= kindAt[k];
    return extent;
}

int64_t replayShareSeconds(int64_t runSeconds, size_t seeds) {
    return std::max<int64_t>(1, runSeconds / static_cast<int64_t>(std::max<size_t>(seeds, 1)));
}

SimulatedEnd replayExtentOf(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, uint64_t seed,
                            int64_t runSeconds, size_t seeds, ReplayExtent* extent) {
    RunRecord whole;
    const SimulatedEnd end = simulateRun(
        playlist, limits, sweepOrder(static_cast<int32_t>(playlist.size()), seed), runSeconds, &whole);
    if (end != kSimulationOutOfMemory)
        *extent = replayExtent(whole, runSeconds, replayShareSeconds(runSeconds, seeds));
    return end;
}

} // namespace sim
