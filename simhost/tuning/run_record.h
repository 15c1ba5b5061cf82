// What happened on air during a run, event by event, with the station time of each, and what the
// host could tell about each decision of the plug-in at the moment it was made. The report, the
// CSV log and the console lines are all drawn from this record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"

namespace sim {

enum EventKind : int32_t { kPlayed = 0, kSkipped = 1 };

struct TrackEvent {
    int64_t at;    // station seconds when the track started, or was refused
    int32_t entry; // 0-based playlist entry
    int32_t kind;  // an EventKind
    // Played tracks:
    int32_t seconds;           // how long it played
    bool again;                // the same title as the track played just before
    bool unseen;               // the plug-in never read its title while it played, so recorded nothing
    std::string otherSpelling; // a title recorded within the artist window by the same artist spelt
                               // differently: a repeat the rule let through; "" when none
    // Refused tracks:
    SkipReason reason;
    bool misjudged; // refused by the artist rule though its own artist was not within the window
};

struct RunRecord {
    const std::vector<PlaylistEntry>* playlist;
    std::vector<TrackEvent> events;
    int64_t stationSeconds; // the station clock now: the end of the last played track
    int32_t played;
    int32_t skipped;
    int32_t skipsInARow;                    // since the last played track
    std::vector<bool> refusedSinceLastPlay; // per entry
    int32_t entriesRefusedSinceLastPlay;
    int32_t wholePlaylistRefusals; // times every entry was refused in a row
};

// An empty record for `playlist`, which must outlive it.
void startRecord(RunRecord* record, const std::vector<PlaylistEntry>* playlist);

// Records that the plug-in refused `entry`, explained against `mirror`. Returns true when with
// this refusal every entry of the playlist has been refused since the last played track; the
// count of such laps goes up and the next lap is counted afresh.
bool recordSkip(RunRecord* record, const RuleMirror& mirror, int32_t entry);

// Records that `entry` played to its end, and what the plug-in recorded of it: `seen` tells
// whether it read the title while the track played. Advances the station clock.
const TrackEvent& recordPlay(RunRecord* record, RuleMirror* mirror, int32_t entry, bool seen);

// The title of an event's entry.
const std::string& titleOf(const RunRecord& record, const TrackEvent& event);

} // namespace sim
