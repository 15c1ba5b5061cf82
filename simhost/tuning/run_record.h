// What happened on air during a run, event by event, with the station time of each, and what the
// host could tell about each decision of the plug-in at the moment it was made. The report, the
// CSV log and the console lines are all drawn from this record.
// An event names playlist entries instead of holding copies of titles, so that it takes 24 bytes,
// and a run keeps at most kMostEventsKept of them: days of station time with nearly every track
// refused still fit the 32-bit host, and a run that would need more ends with a clear error.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"

namespace sim {

// The most tracks started (played or refused) one run records: 240 MB of events.
constexpr int32_t kMostEventsKept = 10000000;

enum EventKind : uint8_t { kPlayed = 0, kSkipped = 1 };

// Why a played track has the same title as the track played just before it.
enum AgainKind : uint8_t {
    kNotAgain = 0,
    kAgainLooping = 1,   // every entry with another title was refused since: one title looping
    kAgainDuplicate = 2, // it is another entry with the same title
    kAgainCameRound = 3, // the same entry came round again with only refusals between
};

// What the playlist's own artists make of a refusal by the artist rule.
enum ArtistVerdict : uint8_t {
    kRightArtist = 0,   // that artist had played within the window (or another rule refused it)
    kOtherArtist = 1,   // the rule's mistake: another artist's title begins alike
    kProbablySame = 2,  // another name of probably the same artist (probablySameArtist)
    kNoArtistNamed = 3, // the refused title names no artist: a jingle or a station ID
};

struct TrackEvent {
    int64_t at;    // station seconds when the track started, or was refused
    int32_t entry; // 0-based playlist entry
    // Skipped: the entry whose recorded title the rule matched. Played: an entry by the same artist
    // spelt differently, recorded within the artist window (a repeat the rule let through). -1: none.
    int32_t other;
    // Skipped: how far back the matched title was recorded (1: the track just before; 0: the empty
    // title, which matches past the newest). Played again in a loop: the laps of refusals before it.
    uint16_t span;
    uint8_t kind;    // an EventKind
    uint8_t rule;    // skipped: a SkipRule
    uint8_t again;   // played: an AgainKind
    uint8_t verdict; // skipped: an ArtistVerdict
    bool unseen;     // played: the plug-in never read its title while it played, so recorded nothing
};

// A set of playlist entries that empties at the cost of what it holds rather than of the playlist:
// a record empties its laps at every play, and a long playlist would pay for all its entries each
// time.
struct EntryMarks {
    std::vector<uint8_t> marked; // per entry: 1 when in the set
    std::vector<int32_t> held;   // the entries in the set, in the order they came
};

// An empty set over `entries` entries.
void startMarks(EntryMarks* marks, size_t entries);

// Puts `entry` in the set; false when it was there already.
bool addMark(EntryMarks* marks, int32_t entry);

// True when `entry` is in the set.
inline bool isMarked(const EntryMarks& marks, int32_t entry) {
    return marks.marked[static_cast<size_t>(entry)] != 0;
}

// How many entries the set holds.
inline int32_t markCount(const EntryMarks& marks) {
    return static_cast<int32_t>(marks.held.size());
}

// Empties the set.
void clearMarks(EntryMarks* marks);

struct RunRecord {
    const std::vector<PlaylistEntry>* playlist = nullptr;
    std::deque<TrackEvent> events; // grows block by block: never copied to grow
    // False: refused tracks are counted (skipped, longestSkipRun, misjudged) but not kept as
    // events, for a sweep that keeps only each run's figures. True after startRecord.
    bool keepsRefusals;
    int32_t mostEvents;     // kMostEventsKept, unless a test asks for fewer
    bool full;              // mostEvents tracks started: nothing more is recorded
    int64_t stationSeconds; // the station clock now: the end of the last played track
    int32_t played;
    int32_t skipped;
    int32_t skipsInARow;    // since the last played track
    int32_t longestSkipRun; // the most skips in a row
    int32_t misjudged;      // refusals the playlist's own artists call the rule's mistake (kOtherArtist)

    // What each entry's title says, worked out once per playlist (kept when a record is started
    // again on the same playlist), so that no track works it out again.
    std::vector<int32_t> titleIds;         // per entry: the first entry with the same title
    std::vector<int32_t> entriesWithTitle; // per title id: how many entries carry that title
    std::vector<std::string> artists;      // per entry: artistOf its title ("" for none)
    std::vector<int32_t> artistKeyIds;     // per entry: the first entry whose artist has the same
                                           // artistKey; -1 when it names no artist
    std::vector<int32_t> ruleKeyIds;       // per entry: the first entry with the same ruleKeyOf
    int32_t lastPlayedEntry;               // -1 before the first played track
    int32_t lastRecordedEntry;             // of the title the plug-in recorded last; -1: none yet

    // Laps of refusals since the last played track, of every entry.
    EntryMarks refusedSinceLastPlay;
    int32_t wholePlaylistRefusals; // times every entry was refused in a row

    // Laps of refusals, since the plug-in last recorded a title, of every entry with another title
    // than that one. The plug-in decides by what it recorded, so after one such lap it refuses
    // every other entry for good: only that title plays, again and again, until the run ends.
    EntryMarks refusedInLap;
    int32_t lapsSinceRecorded;
    int32_t lapsBeforeLastPlay; // lapsSinceRecorded when the last track played
    int32_t loopLaps;           // all such laps of the run
};

// An empty record for `playlist`, which must outlive it and not change while records of it are
// kept. A record started again on the same playlist keeps what it worked out of its entries.
void startRecord(RunRecord* record, const std::vector<PlaylistEntry>* playlist);

// Records that the plug-in refused `entry`, explained against `mirror`. Returns true when with
// this refusal every entry of the playlist has been refused since the last played track; the
// count of such laps goes up and the next lap is counted afresh. Records nothing once full.
bool recordSkip(RunRecord* record, const RuleMirror& mirror, int32_t entry);

// recordSkip, when the mirror's reasoning for the refusal (findMirroredRefusal) is known already:
// the title is not scanned again.
bool recordRefusal(RunRecord* record, const RuleMirror& mirror, int32_t entry, history::Refusal refusal);

// The event recordRefusal records for that refusal now.
TrackEvent refusalEvent(const RunRecord& record, const RuleMirror& mirror, int32_t entry,
                        history::Refusal refusal);

// Records that `entry` played to its end, and what the plug-in recorded of it: `seen` tells
// whether it read the title while the track played. Advances the station clock. Once the record
// is full it records nothing and returns the last event.
const TrackEvent& recordPlay(RunRecord* record, RuleMirror* mirror, int32_t entry, bool seen);

// The title of an event's entry.
const std::string& titleOf(const RunRecord& record, const TrackEvent& event);

// The title of an event's `other` entry: what a refusal matched, or the other spelling a play
// repeated; "" when there is none.
const std::string& otherTitleOf(const RunRecord& record, const TrackEvent& event);

// The reason for a refusal, as the mirror gave it when the plug-in refused the track.
SkipReason reasonOf(const RunRecord& record, const TrackEvent& event);

} // namespace sim
