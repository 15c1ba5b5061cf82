// The figures of the tuning report, computed from a run's record: how much was skipped, how far
// apart each artist came back, and what the plug-in's artist rule got wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/run_record.h"

namespace sim {

struct CountedText {
    std::string text;
    int32_t count;
};

struct CountedPair {
    std::string first; // the two artists, as the playlist spelt them where the pair was first met
    std::string second;
    int32_t count;
};

// Tracks between two plays of the same artist, from `low` to `high` inclusive (high -1: and more).
struct GapBucket {
    int32_t low;
    int32_t high;
    int32_t count;
    bool withinWindow; // every gap in it means a return within the artist window
};

// One play of an artist who had played before in the run.
struct ArtistReturn {
    int32_t event;    // index in the record's events of the later play
    int32_t previous; // ... and of the play before it by the same artist
    int32_t tracks;   // played tracks between the two: 0 when back to back
    int64_t seconds;  // station time from the start of the earlier play to the start of this one
};

struct RunStats {
    int32_t played;
    int32_t skipped;
    double skipRate; // skipped / (played + skipped), 0 when nothing started
    int32_t longestSkipRun;
    int64_t stationSeconds;
    int32_t wholePlaylistRefusals;
    int32_t unseen; // played tracks whose title the plug-in never read
    int32_t unknownReasons;

    int32_t playedTwiceInARow;           // plays of the title played just before
    std::vector<CountedText> backToBack; // those titles, most often first

    int32_t withoutArtist; // played tracks with no "Artist - " to judge separation by
    int32_t artistReturns; // plays of an artist played before: the gaps measured
    int32_t smallestGap;   // tracks between two plays of the same artist; -1 when none measured
    double medianGap;
    std::vector<GapBucket> gapHistogram;

    int32_t misjudgedRefusals;               // refused for an artist that was not in the window
    std::vector<CountedPair> misjudgedPairs; // refused artist and the artist the rule took it for
    int32_t spellingRepeats;                 // same artist in the window under another spelling
    std::vector<CountedPair> spellingPairs;

    std::vector<CountedText> mostRefused; // the ten titles refused most often, most first
};

// Every return of an artist in `record`, in the order they were played. Artists are compared by
// the playlist's own names (artistKey); titles without " - " name no artist and never return.
std::vector<ArtistReturn> artistReturns(const RunRecord& record);

// The figures of `record`; `artistLimit` (the artist window) splits the histogram where returns
// within the window end.
RunStats computeStats(const RunRecord& record, int32_t artistLimit);

} // namespace sim
