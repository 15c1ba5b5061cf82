// A sweep's figures: what one setting did on one seed's order, and the row of the table it makes
// over every seed, judged against the operator's goals, in the operator's terms: skips, and how
// often in a day of station time the same artist or title comes back too soon. They read a run's
// record, however the run was played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/run_record.h"

namespace sim {

// The title goal when titles are swept and the operator named none: the same whole title no
// sooner than three hours after its previous start, a common floor for a song's separation on air.
constexpr int32_t kDefaultTitleGapHours = 3;

// The most pairs of spellings one row keeps for the list of returns no limit prevents.
constexpr size_t kMostSpellingPairsKept = 20;

// What the operator asks of a setting. Early returns are counted per 24 hours of station time, so
// that the length of the runs does not move the answer.
struct SweepGoal {
    int32_t artistGapMinutes; // an artist back sooner than this after its previous start is early
    int32_t titleGapHours;    // likewise the same whole title; 0 when titles are not judged
    int32_t perDayHundredths; // at most this many early returns a day on every seed (each goal)
    int32_t maxSkipTenths;    // the median skip rate over the seeds at most this, in tenths of %
    // The title gap asked for, when titles are not judged because each run is shorter than one
    // rotation of the playlist (no title can come back in one shuffled round); 0 otherwise.
    int32_t unjudgedTitleGapHours = 0;
    // Nearly every title lacks the "Artist - Title" form (nearlyAllLackArtistForm), so the figures
    // know the artist of too few plays: the artist goal is not judged (every setting meets it) and
    // the answer rests on the other goals. The figures are still counted and shown.
    bool artistUnjudged = false;
};

struct SweepSetting {
    int32_t artistLimit; // SameArtistCheckLimit
    int32_t titleLimit;  // SameTitleCheckLimit
};

// How each playlist entry spells its artist, worked out once for every run, so that the returns
// no limit prevents can be named as the playlist spells them. (Which artist an entry names, and
// which characters the plug-in's rule compares, the run's record already holds per entry.)
struct SweepPlaylist {
    std::vector<int32_t> spelling;      // per entry: an id of the artist as spelt; -1 when none
    std::vector<std::string> spellings; // by spelling id
};

// Two spellings of one artist that the rule takes for two, and how many early returns they made;
// or two entries of one title, and how often one played right after the other.
struct SpellingPair {
    int32_t first; // spelling ids (or entries), the smaller first
    int32_t second;
    int32_t count;
};

// One setting played on one seed's order: figures only, so that a sweep's memory does not grow
// with the length of its runs.
struct SeedFigures {
    uint64_t seed;
    int32_t played;
    int32_t skipped;
    double skipRate; // skipped / tracks started; 0 when nothing started
    int32_t longestSkipRun;
    int64_t stationSeconds;
    bool starved;               // stopped: every entry refused kMostRefusedLapsInARow laps in a row
    int32_t misjudged;          // kOtherArtist refusals: the rule's mistakes
    int32_t artistReturns;      // plays of an artist who had played before (sim::artistReturns)
    int32_t earlyArtist;        // of those, sooner than the artist gap, that an artist limit can prevent
    int32_t unpreventable;      // sooner than the gap, that no limit prevents: listedTwice, and those
                                // whose rule characters no play of the artist within the gap shares
    int32_t listedTwice;        // of those: another entry of the title just played, right after it
    int32_t earlyTitle;         // plays of the same whole title sooner than the title gap (when judged)
    int32_t artistPerDay;       // earlyArtist per 24 hours of station time, in hundredths, rounded
    int32_t spellingsPerDay;    // the unpreventable returns but listedTwice (other spellings) likewise
    int32_t titlePerDay;        // earlyTitle likewise
    int64_t shortestGapSeconds; // between two starts of one artist; -1 when none returned
    double medianGapSeconds;    // 0 when none returned
    std::vector<SpellingPair>
        spellingPairs; // the unpreventable returns by pair, at most kMostSpellingPairsKept
    // The listedTwice returns by pair of entries, likewise.
    std::vector<SpellingPair> listedTwicePairs;
};

// One setting over all seeds.
struct SweepRow {
    SweepSetting setting;
    std::vector<SeedFigures> seeds;
    double medianSkipRate, lowestSkipRate, highestSkipRate;
    int32_t skipTenths;      // the median skip rate as shown and judged: tenths of a percent, half up
    int32_t worstSkipTenths; // the highest seed's, likewise
    double skipsPerHour;     // all skips over all station hours of the seeds
    int32_t longestSkipRun;  // the longest on any seed
    int32_t artistReturns;   // over all seeds, as the next three
    int32_t earlyArtist;
    int32_t unpreventable;
    int32_t listedTwice;
    int32_t earlyTitle;
    int32_t worstArtistPerDay;  // the highest artistPerDay of a seed: what the artist goal judges
    int32_t worstTitlePerDay;   // likewise titlePerDay
    int32_t spellingsPerDay;    // of the seed with the worst artistPerDay (the first such seed)
    int64_t shortestGapSeconds; // -1 when no artist returned
    double medianGapSeconds;    // the median of the seeds' medians (seeds with returns)
    int32_t misjudged;          // over all seeds
    bool starved;               // on some seed
    bool meetsArtistGoal;       // always, when the artist goal is not judged
    bool meetsTitleGoal;        // always, when titles are not judged
    bool meetsSkipGoal;         // a starved setting never does: the station would fall silent
    std::vector<SpellingPair> spellingPairs; // over all seeds, most first, at most kMostSpellingPairsKept
    // The listedTwice returns by pair of entries, likewise.
    std::vector<SpellingPair> listedTwicePairs;
};

// A rate of `count` per 24 hours of `seconds`, in hundredths rounded half up; 0 when no time passed.
int32_t perDayHundredths(int64_t count, int64_t seconds);

// A rate (0..1) in tenths of a percent rounded half up: what the table shows and the goal judges.
int32_t rateTenths(double rate);

// The entries of `playlist` as the sweep compares them.
SweepPlaylist sweepPlaylist(const std::vector<PlaylistEntry>& playlist);

// What seedFigures found of one played track, as bits: the figures of a log are counted by day,
// by hour and by period from these.
enum ReturnMark : uint8_t {
    kEarlyArtistMark = 1,   // an early return of its artist that a limit can prevent (earlyArtist)
    kUnpreventableMark = 2, // one that no limit prevents (unpreventable)
    kListedTwiceMark = 4,   // ... being another entry of the title just played (listedTwice)
    kEarlyTitleMark = 8,    // an early return of its title (earlyTitle)
};

// The figures of one seed's run over `entries` (sweepPlaylist of the record's playlist);
// `starved` when it ended by the runaway protection. With `marks`, each event's ReturnMarks go
// there, one per event of the record.
SeedFigures seedFigures(const RunRecord& record, const SweepPlaylist& entries, uint64_t seed, bool starved,
                        const SweepGoal& goal, std::vector<uint8_t>* marks = nullptr);

// One setting's row from its seeds' figures (at least one), judged against `goal`.
SweepRow sweepRow(SweepSetting setting, std::vector<SeedFigures> seeds, const SweepGoal& goal);

// True when `row` meets the artist, title and skip goals alike.
inline bool meetsEveryGoal(const SweepRow& row) {
    return row.meetsArtistGoal && row.meetsTitleGoal && row.meetsSkipGoal;
}

} // namespace sim
