// The figures of the tuning report, computed from a run's record: how much was skipped, how often
// the playlist came round, why a title played twice in a row, how far apart each artist came back
// (in tracks and in station time), and what the plug-in's artist rule got wrong.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tuning/rotation.h"
#include "tuning/run_record.h"

namespace sim {

// The median of `values`, which it sorts; 0 when there are none. For the report's and the sweep's
// gaps and rates alike.
template <typename Number>
double medianOf(std::vector<Number>* values) {
    if (values->empty())
        return 0.0;
    std::sort(values->begin(), values->end());
    const size_t middle = values->size() / 2;
    if (values->size() % 2 == 1)
        return static_cast<double>((*values)[middle]);
    return (static_cast<double>((*values)[middle - 1]) + static_cast<double>((*values)[middle])) / 2.0;
}

// medianOf without the sort: `values` is only reordered as far as the middle needs, which a long
// run's thousands of gaps make worth it. The same median.
template <typename Number>
double unsortedMedianOf(std::vector<Number>* values) {
    if (values->empty())
        return 0.0;
    const auto middle = values->begin() + static_cast<std::ptrdiff_t>(values->size() / 2);
    std::nth_element(values->begin(), middle, values->end());
    if (values->size() % 2 == 1)
        return static_cast<double>(*middle);
    // The other middle value is the largest of those before it.
    return (static_cast<double>(*std::max_element(values->begin(), middle)) + static_cast<double>(*middle)) /
           2.0;
}

struct CountedText {
    std::string text;
    int32_t count;
};

struct CountedPair {
    std::string first; // the two artists (or titles), as the playlist spelt them where first met
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

// A title that played again once every entry with another title was refused (since the plug-in
// recorded it): the plug-in can play nothing else any more.
struct LoopingTitle {
    std::string title;
    int32_t replays;      // times it played again so
    int32_t laps;         // laps of refusals of every other entry before those replays
    int32_t otherEntries; // the entries with another title, each refused in every lap
};

// An artist who came back within the artist window.
struct ReturnsWithinWindow {
    std::string artist; // as spelt at its first return within the window
    int32_t returns;
    int32_t fewestTracks;  // the closest return, in tracks between
    int64_t fewestSeconds; // ... and in station time, start to start
};

struct RunStats {
    int32_t played;
    int32_t skipped;
    double skipRate; // skipped / (played + skipped), 0 when nothing started
    int32_t longestSkipRun;
    int32_t longestSkipRunEntries; // how many different entries that run refused
    int64_t stationSeconds;
    int32_t wholePlaylistRefusals;
    int32_t unseen; // played tracks whose title the plug-in never read
    int32_t unknownReasons;
    bool recordFull; // the run ended because the record holds all it may

    int32_t entries;        // in the playlist
    double passes;          // tracks started / entries: how far the play order went round
    int32_t distinctTitles; // in the playlist
    std::vector<ListedTwice> listedTwice;

    int32_t playedTwiceInARow;           // plays of the title played just before
    std::vector<CountedText> backToBack; // those titles, most often first
    int32_t loopLaps;                    // laps of refusals of every entry but one title's (RunRecord)
    std::vector<LoopingTitle> looping;   // kAgainLooping plays by title, most replays first
    int32_t againDuplicates;             // kAgainDuplicate plays
    std::vector<CountedText> duplicateBackToBack;
    int32_t againCameRound; // kAgainCameRound plays
    std::vector<CountedText> cameRoundBackToBack;

    int32_t withoutArtist; // played tracks with no "Artist - " to judge separation by
    int32_t artistReturns; // plays of an artist played before: the gaps measured
    int32_t smallestGap;   // tracks between two plays of the same artist; -1 when none measured
    double medianGap;
    int64_t shortestGapSeconds; // station time between the starts of two plays of one artist
    double medianGapSeconds;
    std::vector<GapBucket> gapHistogram;
    std::vector<ReturnsWithinWindow> withinWindow; // by artist, most returns first (at most ten)

    int32_t misjudgedRefusals;               // refused for another artist, not in the window
    std::vector<CountedPair> misjudgedPairs; // refused artist and the artist the rule took it for
    int32_t probablySameRefusals;            // refused for probably the same artist under another name
    std::vector<CountedPair> probablySamePairs;
    int32_t noArtistRefusals;               // titles naming no artist, refused by the artist rule
    std::vector<CountedPair> noArtistPairs; // the refused title and the title it matched
    int32_t spellingRepeats;                // same artist in the window under another spelling
    std::vector<CountedPair> spellingPairs;

    std::vector<CountedText> mostRefused; // the ten titles refused most often, most first
};

// Every return of an artist in `record`, in the order they were played. Artists are compared by
// the playlist's own names (artistKey); titles without " - " name no artist and never return.
std::vector<ArtistReturn> artistReturns(const RunRecord& record);

// The figures of `record`. `artistLimit` is the window the plug-in judged by (see artistWindow):
// it splits the histogram where returns within the window end; 0 when the artist rule is off.
RunStats computeStats(const RunRecord& record, int32_t artistLimit);

// Of computeStats, the separation (artist_separation.cpp): the played tracks that name no artist,
// the gaps between successive plays of each artist, in tracks and in station time (smallest,
// median, the histogram split where `artistLimit` ends the window), and the artists who came back
// within the window.
void measureSeparation(const RunRecord& record, int32_t artistLimit, RunStats* stats);

} // namespace sim
