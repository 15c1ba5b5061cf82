// What went to air, as the log's lines tell it: each track started, the time on air (the player
// playing: not paused, stopped or shut down), the limits in force over each period, and the places
// where the log cannot tell what happened (lines lost or unreadable, and any time two players
// wrote into it at once). The figures, the order and the prediction all read this.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aired/air_log.h"
#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"

namespace sim {

struct AiredTrack {
    AirTime time;
    int64_t airMs;   // time on air from the log's start to this one
    int32_t entry;   // into AiredHistory::playlist
    int32_t matched; // skipped: the earlier title it matched, an index into the log's titles
    int32_t back;    // skipped: how many played tracks back
    int32_t period;  // into AiredHistory::periods
    int32_t stretch; // tracks are held against each other only within one stretch: a hole ends it
    bool skipped;
    uint8_t rule; // skipped: kRuleArtist or kRuleTitle
};

// The limits in force from one change to the next.
struct AiredPeriod {
    AirTime from;
    AirTime to;
    RuleLimits limits;
    bool known;      // false before the log's first start or limits line
    uint8_t began;   // kAirStart (the plug-in started with them) or kAirLimits (changed while it ran)
    int32_t version; // of the plug-in that started them, an index into AirLog::versions; -1
};

enum AiredHoleKind : uint8_t {
    kHoleLost,       // lines the plug-in could not write
    kHoleUnreadable, // lines the reader could not read
    kHoleTwoPlayers, // lines two players wrote at once
    kHoleSilent,     // more than a day without a line while the player played: asleep, or a clock set
                     // forward
};

// A stretch of time the log cannot account for: from the line before it to the line after it.
struct AiredHole {
    AirTime from;
    AirTime to;
    uint8_t kind;  // an AiredHoleKind
    int32_t lines; // the lines lost, unreadable, or left out as two players'
};

// A stretch of time on air, in UTC milliseconds, with the offset of its local time.
struct OnAirSpan {
    int64_t fromMs;
    int64_t toMs;
    int32_t offsetMinutes;
};

// The days a report covers, local dates as days since 1970-01-01, both included.
struct AiredScope {
    int64_t fromDay = INT64_MIN;
    int64_t toDay = INT64_MAX;
};

// True when local day `day` is within `scope`.
bool inScope(const AiredScope& scope, int64_t day);

struct AiredHistory {
    std::vector<PlaylistEntry> playlist; // the entries the log shows (or the playlist file's, first)
    std::vector<int32_t> positions;      // per entry: its place in the player's playlist, 1 first
    int32_t listedEntries;               // the playlist file's entries; 0 without one
    int32_t unlistedTitles;              // titles the log shows that the playlist file does not hold
    int32_t retitledPositions;           // places that held more than one title while the log ran
    int32_t playlistSize;                // the player's playlist: the file's, else the highest place seen
    std::vector<AiredTrack> tracks;
    std::vector<AiredPeriod> periods;
    std::vector<AiredHole> holes;
    std::vector<OnAirSpan> onAir;
    std::vector<AirTime> restarts; // the plug-in started again without having shut down
    int32_t starts;
    int32_t stretches;
    bool empty; // no event line at all
    AirTime first;
    AirTime last;
};

// The history of `log`. With `playlist` (not null) its entries come first, in order, and a title
// the log shows is that entry when it stands at the same place (else the first entry with that
// title); titles it does not hold follow as entries of their own. Without it, each title the log
// shows at each place is an entry, in the order of their places. Entries without a length take
// the one the log shows: the median time on air from their start to the next, where nothing but a
// pause stood between.
AiredHistory airedHistory(const AirLog& log, const std::vector<PlaylistEntry>* playlist);

// The title of a track, and of the title a skip matched.
const std::string& trackTitle(const AiredHistory& history, const AiredTrack& track);

} // namespace sim
