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

// Counts a track started; the record is full once mostEvents have.
void countStarted(sim::RunRecord* record) {
    if (record->played + record->skipped >= record->mostEvents)
        record->full = true;
}

// The artist of the title recorded `index` places into the mirror's history, as spelt there.
std::string recordedArtist(const sim::RunRecord& record, const sim::RuleMirror& mirror, int64_t index) {
    const int32_t entry = index >= 0 && index < mirror.held ? mirror.entries[static_cast<size_t>(index)] : -1;
    if (entry >= 0)
        return record.artists[static_cast<size_t>(entry)];
    return mirror.history != nullptr ? sim::artistOf(history::at(mirror.history, index)) : std::string();
}

// How the playlist's own artists judge the artist rule's refusal of `entry`, which matched the
// title recorded at `matchedIndex`.
uint8_t artistVerdict(const sim::RunRecord& record, const sim::RuleMirror& mirror, int32_t entry,
                      int64_t matchedIndex) {
    const std::string& artist = record.artists[static_cast<size_t>(entry)];
    if (artist.empty())
        return sim::kNoArtistNamed;
    if (sim::sameArtistDistance(mirror, record.artistKeyIds[static_cast<size_t>(entry)]) != 0)
        return sim::kRightArtist;
    return sim::probablySameArtist(artist, recordedArtist(record, mirror, matchedIndex)) ? sim::kProbablySame
                                                                                         : sim::kOtherArtist;
}

// Counts the refusal of `entry` towards a lap of every entry whose title is not the one recorded
// last; at the lap's end only that title can still play.
void countTowardsLoopLap(sim::RunRecord* record, int32_t entry) {
    if (record->lastRecordedEntry < 0)
        return;
    const int32_t lastTitle = record->titleIds[static_cast<size_t>(record->lastRecordedEntry)];
    if (record->titleIds[static_cast<size_t>(entry)] == lastTitle || !addMark(&record->refusedInLap, entry))
        return;
    const auto others = static_cast<int32_t>(record->playlist->size()) -
                        record->entriesWithTitle[static_cast<size_t>(lastTitle)];
    if (markCount(record->refusedInLap) < others)
        return;
    record->lapsSinceRecorded++;
    record->loopLaps++;
    clearMarks(&record->refusedInLap);
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

void startMarks(EntryMarks* marks, size_t entries) {
    marks->marked.assign(entries, 0);
    marks->held.clear();
}

bool addMark(EntryMarks* marks, int32_t entry) {
    uint8_t& marked = marks->marked[static_cast<size_t>(entry)];
    if (marked != 0)
        return false;
    marked = 1;
    marks->held.push_back(entry);
    return true;
}

void clearMarks(EntryMarks* marks) {
    for (int32_t entry : marks->held)
        marks->marked[static_cast<size_t>(entry)] = 0;
    marks->held.clear();
}

void startRecord(RunRecord* record, const std::vector<PlaylistEntry>* playlist) {
    const bool samePlaylist = record->playlist == playlist && record->titleIds.size() == playlist->size() &&
                              record->artistKeyIds.size() == playlist->size();
    std::vector<int32_t> titleIds, entriesWithTitle, artistKeyIds, ruleKeyIds;
    std::vector<std::string> artists;
    if (samePlaylist) {
        titleIds.swap(record->titleIds);
        entriesWithTitle.swap(record->entriesWithTitle);
        artists.swap(record->artists);
        artistKeyIds.swap(record->artistKeyIds);
        ruleKeyIds.swap(record->ruleKeyIds);
    }
    *record = RunRecord();
    record->playlist = playlist;
    record->keepsRefusals = true;
    record->mostEvents = kMostEventsKept;
    record->lastPlayedEntry = -1;
    record->lastRecordedEntry = -1;
    if (samePlaylist) {
        record->titleIds.swap(titleIds);
        record->entriesWithTitle.swap(entriesWithTitle);
        record->artists.swap(artists);
        record->artistKeyIds.swap(artistKeyIds);
        record->ruleKeyIds.swap(ruleKeyIds);
    } else {
        std::map<std::string, int32_t> firstEntry, firstWithKey, firstWithRuleKey;
        for (size_t i = 0; i < playlist->size(); i++) {
            const auto index = static_cast<int32_t>(i);
            record->titleIds.push_back(firstEntry.try_emplace((*playlist)[i].title, index).first->second);
            record->ruleKeyIds.push_back(
                firstWithRuleKey.try_emplace(ruleKeyOf((*playlist)[i].title), index).first->second);
            record->artists.push_back(artistOf((*playlist)[i].title));
            record->artistKeyIds.push_back(
                record->artists.back().empty()
                    ? -1
                    : firstWithKey.try_emplace(artistKey(record->artists.back()), index).first->second);
        }
        record->entriesWithTitle.assign(playlist->size(), 0);
        for (int32_t id : record->titleIds)
            record->entriesWithTitle[static_cast<size_t>(id)]++;
    }
    startMarks(&record->refusedSinceLastPlay, playlist->size());
    startMarks(&record->refusedInLap, playlist->size());
}

bool recordSkip(RunRecord* record, const RuleMirror& mirror, int32_t entry) {
    if (record->full)
        return false;
    return recordRefusal(
        record, mirror, entry,
        findMirroredRefusal(mirror, (*record->playlist)[static_cast<size_t>(entry)].title.c_str()));
}

TrackEvent refusalEvent(const RunRecord& record, const RuleMirror& mirror, int32_t entry,
                        history::Refusal refusal) {
    TrackEvent event = {};
    event.at = record.stationSeconds;
    event.entry = entry;
    event.kind = kSkipped;
    event.other = -1;
    // As explainSkip explains it: the scan, the recorded title it matched and how far back.
    if (refusal.scan != history::kNotRefused) {
        const int64_t count = mirror.held;
        event.rule = static_cast<uint8_t>(refusal.scan == history::kArtistScan ? kRuleArtist : kRuleTitle);
        if (refusal.index < count)
            event.other = mirror.entries[static_cast<size_t>(refusal.index)];
        event.span = static_cast<uint16_t>(std::clamp<int64_t>(count - refusal.index, 0, 0xFFFF));
        if (event.rule == kRuleArtist)
            event.verdict = artistVerdict(record, mirror, entry, refusal.index);
    }
    return event;
}

bool recordRefusal(RunRecord* record, const RuleMirror& mirror, int32_t entry, history::Refusal refusal) {
    if (record->full)
        return false;
    const TrackEvent event = refusalEvent(*record, mirror, entry, refusal);
    if (record->keepsRefusals)
        record->events.push_back(event);
    record->skipped++;
    record->skipsInARow++;
    record->longestSkipRun = std::max(record->longestSkipRun, record->skipsInARow);
    record->misjudged += event.verdict == kOtherArtist ? 1 : 0;
    countStarted(record);
    countTowardsLoopLap(record, entry);

    addMark(&record->refusedSinceLastPlay, entry);
    if (markCount(record->refusedSinceLastPlay) < static_cast<int32_t>(record->playlist->size()))
        return false;
    record->wholePlaylistRefusals++;
    clearMarks(&record->refusedSinceLastPlay);
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
    const bool recorded =
        seen && !isNewestTitle(*mirror, track.title, record->titleIds[static_cast<size_t>(entry)]);
    const int32_t artistKeyId = record->artistKeyIds[static_cast<size_t>(entry)];
    if (recorded) {
        const int32_t distance = sameArtistDistance(*mirror, artistKeyId);
        const int64_t index = mirror->held - distance;
        if (distance > 0 &&
            recordedArtist(*record, *mirror, index) != record->artists[static_cast<size_t>(entry)])
            event.other = mirror->entries[static_cast<size_t>(index)];
    }
    if (seen)
        mirrorPlayedEntry(mirror, track.title, entry,
                          {record->titleIds[static_cast<size_t>(entry)],
                           record->ruleKeyIds[static_cast<size_t>(entry)], artistKeyId});
    record->events.push_back(event);
    record->stationSeconds += trackSeconds(track);
    record->played++;
    countStarted(record);
    record->skipsInARow = 0;
    record->lastPlayedEntry = entry;
    clearMarks(&record->refusedSinceLastPlay);
    record->lapsBeforeLastPlay = record->lapsSinceRecorded;
    if (recorded) {
        record->lastRecordedEntry = entry;
        clearMarks(&record->refusedInLap);
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
