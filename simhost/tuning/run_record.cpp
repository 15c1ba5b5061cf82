// Recording a run. The rule's mistakes are judged here, while the artist window they depend on is
// still the one the plug-in decided against.
#include "tuning/run_record.h"

#include <algorithm>
#include <map>

#include "tuning/artist.h"
#include "playlist/station_clock.h"

namespace {

// The shared empty title, for events that name no other entry.
const std::string kNoTitle;

// Keeps `event`; the record is full once it holds mostEvents.
void keep(sim::RunRecord* record, const sim::TrackEvent& event) {
    record->events.push_back(event);
    if (record->events.size() >= static_cast<size_t>(record->mostEvents))
        record->full = true;
}

// How the playlist's own artists judge the artist rule's refusal of `title`, which matched
// `matchedTitle`.
uint8_t artistVerdict(const sim::RuleMirror& mirror, const std::string& title,
                      const std::string& matchedTitle) {
    const std::string artist = sim::artistOf(title);
    if (artist.empty())
        return sim::kNoArtistNamed;
    if (sim::sameArtistDistance(mirror, title) != 0)
        return sim::kRightArtist;
    return sim::probablySameArtist(artist, sim::artistOf(matchedTitle)) ? sim::kProbablySame
                                                                        : sim::kOtherArtist;
}

// Counts the refusal of `entry` towards a lap of every entry whose title is not the one recorded
// last; at the lap's end only that title can still play.
void countTowardsLoopLap(sim::RunRecord* record, int32_t entry) {
    if (record->lastRecordedEntry < 0)
        return;
    const int32_t lastTitle = record->titleIds[static_cast<size_t>(record->lastRecordedEntry)];
    if (record->titleIds[static_cast<size_t>(entry)] == lastTitle ||
        record->refusedInLap[static_cast<size_t>(entry)])
        return;
    record->refusedInLap[static_cast<size_t>(entry)] = true;
    const auto others = static_cast<int32_t>(record->playlist->size()) -
                        record->entriesWithTitle[static_cast<size_t>(lastTitle)];
    if (++record->othersRefusedInLap < others)
        return;
    record->lapsSinceRecorded++;
    record->loopLaps++;
    record->refusedInLap.assign(record->playlist->size(), false);
    record->othersRefusedInLap = 0;
}

// Why `entry`, about to be recorded as played, has the title played just before, if it has.
uint8_t againKind(const sim::RunRecord& record, int32_t entry) {
    if (record.lastPlayedEntry < 0 || record.titleIds[static_cast<size_t>(entry)] !=
                                          record.titleIds[static_cast<size_t>(record.lastPlayedEntry)])
        return sim::kNotAgain;
    if (record.lapsSinceRecorded > 0)
        return sim::kAgainLooping;
    return entry != record.lastPlayedEntry ? sim::kAgainDuplicate : sim::kAgainCameRound;
}

} // namespace

namespace sim {

void startRecord(RunRecord* record, const std::vector<PlaylistEntry>* playlist) {
    *record = RunRecord();
    record->playlist = playlist;
    record->mostEvents = kMostEventsKept;
    record->lastPlayedEntry = -1;
    record->lastRecordedEntry = -1;
    std::map<std::string, int32_t> firstEntry;
    for (size_t i = 0; i < playlist->size(); i++) {
        const int32_t id =
            firstEntry.try_emplace((*playlist)[i].title, static_cast<int32_t>(i)).first->second;
        record->titleIds.push_back(id);
    }
    record->entriesWithTitle.assign(playlist->size(), 0);
    for (int32_t id : record->titleIds)
        record->entriesWithTitle[static_cast<size_t>(id)]++;
    record->refusedSinceLastPlay.assign(playlist->size(), false);
    record->refusedInLap.assign(playlist->size(), false);
}

bool recordSkip(RunRecord* record, const RuleMirror& mirror, int32_t entry) {
    if (record->full)
        return false;
    TrackEvent event = {};
    event.at = record->stationSeconds;
    event.entry = entry;
    event.kind = kSkipped;
    const std::string& title = (*record->playlist)[static_cast<size_t>(entry)].title;
    const SkipReason reason = explainSkip(mirror, title);
    event.rule = static_cast<uint8_t>(reason.rule);
    event.other = reason.matchedEntry;
    event.span = static_cast<uint16_t>(std::clamp(reason.tracksEarlier, 0, 0xFFFF));
    if (reason.rule == kRuleArtist)
        event.verdict = artistVerdict(mirror, title, reason.matchedTitle);
    keep(record, event);
    record->skipped++;
    record->skipsInARow++;
    countTowardsLoopLap(record, entry);

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
    if (record->full)
        return record->events.back();
    const PlaylistEntry& track = (*record->playlist)[static_cast<size_t>(entry)];
    TrackEvent event = {};
    event.at = record->stationSeconds;
    event.entry = entry;
    event.kind = kPlayed;
    event.other = -1;
    event.unseen = !seen;
    event.again = againKind(*record, entry);
    if (event.again == kAgainLooping)
        event.span =
            static_cast<uint16_t>(std::min(record->lapsSinceRecorded - record->lapsBeforeLastPlay, 0xFFFF));
    // A title equal to the newest recorded one is not judged by the plug-in, so it is no repeat
    // the rule let through, and nothing changes for the plug-in.
    const bool recorded = seen && std::string(history::newest(mirror->history)) != track.title;
    if (recorded) {
        const int32_t distance = sameArtistDistance(*mirror, track.title);
        if (distance > 0 && artistOf(history::at(mirror->history, mirror->history->count - distance)) !=
                                artistOf(track.title))
            event.other = mirror->entries[static_cast<size_t>(mirror->history->count - distance)];
    }
    if (seen)
        mirrorPlayedEntry(mirror, track.title, entry);
    keep(record, event);
    record->stationSeconds += trackSeconds(track);
    record->played++;
    record->skipsInARow = 0;
    record->lastPlayedEntry = entry;
    if (record->entriesRefusedSinceLastPlay > 0) {
        record->refusedSinceLastPlay.assign(record->playlist->size(), false);
        record->entriesRefusedSinceLastPlay = 0;
    }
    record->lapsBeforeLastPlay = record->lapsSinceRecorded;
    if (recorded) {
        record->lastRecordedEntry = entry;
        record->refusedInLap.assign(record->playlist->size(), false);
        record->othersRefusedInLap = 0;
        record->lapsSinceRecorded = record->lapsBeforeLastPlay = 0;
    }
    return record->events.back();
}

const std::string& titleOf(const RunRecord& record, const TrackEvent& event) {
    return (*record.playlist)[static_cast<size_t>(event.entry)].title;
}

const std::string& otherTitleOf(const RunRecord& record, const TrackEvent& event) {
    if (event.other < 0 || static_cast<size_t>(event.other) >= record.playlist->size())
        return kNoTitle;
    return (*record.playlist)[static_cast<size_t>(event.other)].title;
}

SkipReason reasonOf(const RunRecord& record, const TrackEvent& event) {
    SkipReason reason = {event.rule, std::string(), otherTitleOf(record, event), event.span, event.other};
    if (event.rule == kRuleArtist)
        reason.key = ruleArtistKey(titleOf(record, event));
    return reason;
}

} // namespace sim
