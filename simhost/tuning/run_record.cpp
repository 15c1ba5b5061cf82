// Recording a run. The rule's mistakes are judged here, while the artist window they depend on is
// still the one the plug-in decided against.
#include "tuning/run_record.h"

#include "tuning/artist.h"
#include "playlist/station_clock.h"

namespace sim {

void startRecord(RunRecord* record, const std::vector<PlaylistEntry>* playlist) {
    *record = RunRecord();
    record->playlist = playlist;
    record->refusedSinceLastPlay.assign(playlist->size(), false);
}

bool recordSkip(RunRecord* record, const RuleMirror& mirror, int32_t entry) {
    TrackEvent event = {};
    event.at = record->stationSeconds;
    event.entry = entry;
    event.kind = kSkipped;
    const std::string& title = (*record->playlist)[static_cast<size_t>(entry)].title;
    event.reason = explainSkip(mirror, title);
    event.misjudged = event.reason.rule == kRuleArtist && !artistOf(title).empty() &&
                      sameArtistInWindow(mirror, title).empty();
    record->events.push_back(event);
    record->skipped++;
    record->skipsInARow++;

    if (!record->refusedSinceLastPlay[static_cast<size_t>(entry)]) {
        record->refusedSinceLastPlay[static_cast<size_t>(entry)] = true;
        record->entriesRefusedSinceLastPlay++;
    }
    if (record->entriesRefusedSinceLastPlay < static_cast<int32_t>(record->playlist->size()))
        return false;
    record->wholePlaylistRefusals++;
    record->refusedSinceLastPlay.assign(record->playlist->size(), false);
    record->entriesRefusedSinceLastPlay = 0;
    return true;
}

const TrackEvent& recordPlay(RunRecord* record, RuleMirror* mirror, int32_t entry, bool seen) {
    const PlaylistEntry& track = (*record->playlist)[static_cast<size_t>(entry)];
    TrackEvent event = {};
    event.at = record->stationSeconds;
    event.entry = entry;
    event.kind = kPlayed;
    event.seconds = trackSeconds(track);
    event.unseen = !seen;
    for (auto last = record->events.rbegin(); last != record->events.rend(); ++last)
        if (last->kind == kPlayed) {
            event.again = titleOf(*record, *last) == track.title;
            break;
        }
    // A title equal to the newest recorded one is not judged by the plug-in, so it is no repeat
    // the rule let through.
    if (seen && std::string(history::newest(mirror->history)) != track.title) {
        const std::string other = sameArtistInWindow(*mirror, track.title);
        if (artistOf(other) != artistOf(track.title))
            event.otherSpelling = other;
    }
    if (seen)
        mirrorPlayed(mirror, track.title);
    record->events.push_back(event);
    record->stationSeconds += event.seconds;
    record->played++;
    record->skipsInARow = 0;
    if (record->entriesRefusedSinceLastPlay > 0) {
        record->refusedSinceLastPlay.assign(record->playlist->size(), false);
        record->entriesRefusedSinceLastPlay = 0;
    }
    return record->events.back();
}

const std::string& titleOf(const RunRecord& record, const TrackEvent& event) {
    return (*record.playlist)[static_cast<size_t>(event.entry)].title;
}

} // namespace sim
