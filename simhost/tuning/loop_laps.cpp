// The loop worked out on places in the dealt rounds. A place is one number: round * entries + the
// step within the round, so that "after" and "between" read as they do on air.
#include "tuning/loop_laps.h"

#include <algorithm>
#include <vector>

#include "playlist/station_clock.h"

namespace {

// A run that loops, as the shortcut works it out.
struct Loop {
    const sim::RunRecord* record;
    const sim::DealtRounds* dealt;
    int64_t entries;
    int32_t title;                     // the id of the title that plays again and again
    std::vector<int32_t> titleEntries; // the entries with that title: the only ones that play
    std::vector<uint8_t> misjudged;    // per entry: 1 when its refusal is the rule's mistake
};

bool playsInLoop(const Loop& loop, int32_t entry) {
    return loop.record->titleIds[static_cast<size_t>(entry)] == loop.title;
}

int32_t entryAt(const Loop& loop, int64_t place) {
    return sim::roundAt(*loop.dealt, place / loop.entries).entries[static_cast<size_t>(place % loop.entries)];
}

// The place of `entry` in round `round`.
int64_t placeIn(const Loop& loop, int64_t round, int32_t entry) {
    return round * loop.entries + sim::roundAt(*loop.dealt, round).places[static_cast<size_t>(entry)];
}

// The first place after `place` where `entry` stands: in the same round, or else in the next.
int64_t nextPlaceOf(const Loop& loop, int64_t place, int32_t entry) {
    const int64_t here = placeIn(loop, place / loop.entries, entry);
    return here > place ? here : placeIn(loop, place / loop.entries + 1, entry);
}

// The next play after `place`: the first place after it where an entry of the title stands.
int64_t nextPlay(const Loop& loop, int64_t place) {
    int64_t next = -1;
    for (int32_t entry : loop.titleEntries) {
        const int64_t at = nextPlaceOf(loop, place, entry);
        next = next < 0 ? at : std::min(next, at);
    }
    return next;
}

// Where the lap under way at `place` ends: where the last entry of another title not refused in it
// yet comes up (the record's refusedInLap); -1 when there is none.
int64_t firstLapEnd(const Loop& loop, int64_t place) {
    int64_t end = -1;
    for (int32_t entry = 0; entry < static_cast<int32_t>(loop.entries); entry++)
        if (!playsInLoop(loop, entry) && !sim::isMarked(loop.record->refusedInLap, entry))
            end = std::max(end, nextPlaceOf(loop, place, entry));
    return end;
}

// Where the lap after the one that ended at `end` ends. The entries after `end` in its round are
// refused in that round; the others, the entry at `end` among them, in the next round, and the
// last of them to come up there ends the lap: the first found from the end of that round.
int64_t nextLapEnd(const Loop& loop, int64_t end) {
    const int64_t round = end / loop.entries + 1;
    for (int64_t place = (round + 1) * loop.entries - 1;; place--) {
        const int32_t entry = entryAt(loop, place);
        if (!playsInLoop(loop, entry) && placeIn(loop, round - 1, entry) <= end)
            return place;
    }
}

// The refusals the rule got wrong at the places before `place`, had every round before its own
// been played through.
int64_t misjudgedBefore(const Loop& loop, int64_t place, int64_t perRound) {
    const std::vector<int32_t>& round = sim::roundAt(*loop.dealt, place / loop.entries).entries;
    int64_t count = place / loop.entries * perRound;
    for (int64_t step = 0; step < place % loop.entries; step++)
        count += loop.misjudged[static_cast<size_t>(round[static_cast<size_t>(step)])];
    return count;
}

// True when the run goes on after the play that follows `place`: its record is not full by then
// and its clock has not reached `stationSeconds`. Holds the rounds from two before the place's to
// two after it: a lap ends within two rounds of the one before.
bool goesOnAfterNextPlay(const Loop& loop, sim::DealtRounds* dealt, int64_t place, int64_t stationSeconds) {
    sim::holdRounds(dealt, place / loop.entries + 2);
    const int64_t play = nextPlay(loop, place);
    const sim::RunRecord& record = *loop.record;
    const int32_t entry = entryAt(loop, play);
    return record.played + record.skipped + (play - place) < record.mostEvents &&
           record.stationSeconds + sim::trackSeconds((*record.playlist)[static_cast<size_t>(entry)]) <
               stationSeconds;
}

// Marks each entry of another title whose refusal is the rule's mistake, as recordRefusal would
// find it now, and counts them in `perRound`; false when one of them is not refused after all.
bool markMisjudged(Loop* loop, const sim::RuleMirror& mirror, int64_t* perRound) {
    const sim::RunRecord& record = *loop->record;
    loop->misjudged.assign(static_cast<size_t>(loop->entries), 0);
    *perRound = 0;
    for (int32_t entry = 0; entry < static_cast<int32_t>(loop->entries); entry++) {
        if (playsInLoop(*loop, entry))
            continue;
        const char* title = (*record.playlist)[static_cast<size_t>(entry)].title.c_str();
        const history::Refusal refusal =
            sim::findRefusalByIds(mirror, title, entry, record.titleIds, record.ruleKeyIds);
        if (refusal.scan == history::kNotRefused)
            return false;
        if (sim::refusalEvent(record, mirror, entry, refusal).verdict == sim::kOtherArtist) {
            loop->misjudged[static_cast<size_t>(entry)] = 1;
            ++*perRound;
        }
    }
    return true;
}

// Leaves in the record the lap under way at `place`: the entries of other titles refused since
// `from`, where the last lap ended (`lapEnded`), or else where the loop was taken up, after those
// the record already holds.
void keepLapUnderWay(const Loop& loop, int64_t from, bool lapEnded, int64_t place, sim::RunRecord* record) {
    if (lapEnded)
        sim::clearMarks(&record->refusedInLap);
    for (; from < place; from++) {
        const int32_t entry = entryAt(loop, from);
        if (!playsInLoop(loop, entry))
            sim::addMark(&record->refusedInLap, entry);
    }
}

} // namespace

namespace sim {

int32_t forwardLoop(RuleMirror* mirror, DealtRounds* dealt, int64_t stationSeconds, PlayOrder* order,
                    RunRecord* record) {
    if (record->keepsRefusals || record->full || record->lapsSinceRecorded <= 0 ||
        record->lastRecordedEntry < 0)
        return 0;
    Loop loop = {};
    loop.record = record;
    loop.dealt = dealt;
    loop.entries = static_cast<int64_t>(record->playlist->size());
    loop.title = record->titleIds[static_cast<size_t>(record->lastRecordedEntry)];
    for (int32_t entry = 0; entry < static_cast<int32_t>(loop.entries); entry++)
        if (playsInLoop(loop, entry))
            loop.titleEntries.push_back(entry);
    const int64_t start = roundOf(*dealt, *order) * loop.entries + static_cast<int64_t>(order->step);
    int64_t misjudgedPerRound = 0;
    if (!goesOnAfterNextPlay(loop, dealt, start, stationSeconds) ||
        !markMisjudged(&loop, *mirror, &misjudgedPerRound))
        return 0;
    const int64_t misjudgedBeforeStart = misjudgedBefore(loop, start + 1, misjudgedPerRound);
    int64_t lapEnd = firstLapEnd(loop, start), lastLapEnd = -1;
    if (lapEnd < 0)
        return 0; // a lap that has ended is counted, so this cannot be
    int64_t place = start;
    int32_t plays = 0;
    for (; goesOnAfterNextPlay(loop, dealt, place, stationSeconds); plays++) {
        const int64_t play = nextPlay(loop, place);
        int32_t laps = 0;
        for (; lapEnd < play; lapEnd = nextLapEnd(loop, lapEnd), laps++)
            lastLapEnd = lapEnd;
        // The refusals between, as recordRefusal counts them, then the play as recordPlay records it.
        const auto refusals = static_cast<int32_t>(play - place - 1);
        record->skipped += refusals;
        record->skipsInARow += refusals;
        record->longestSkipRun = std::max(record->longestSkipRun, record->skipsInARow);
        record->lapsSinceRecorded += laps;
        record->loopLaps += laps;
        recordPlay(record, mirror, entryAt(loop, play), true);
        place = play;
    }
    if (plays == 0)
        return 0;
    record->misjudged +=
        static_cast<int32_t>(misjudgedBefore(loop, place, misjudgedPerRound) - misjudgedBeforeStart);
    keepLapUnderWay(loop, lastLapEnd >= 0 ? lastLapEnd + 1 : start + 1, lastLapEnd >= 0, place, record);
    placeOrder(*dealt, place / loop.entries, static_cast<size_t>(place % loop.entries), order);
    return plays;
}

} // namespace sim
