// The sweep: the same seeded orders played once for every setting of the two limits, against the
// mirror of the plug-in's rule instead of the plug-in itself, so that dozens of settings over days
// of station time take seconds. Each setting gets one row of figures in the operator's terms:
// skips, and how often in a day of station time the same artist or title comes back too soon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/play_order.h"
#include "playlist/playlist.h"
#include "tuning/dealt_rounds.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

// The runaway protection of every run, fast, paced or swept: after this many laps in a row in
// which the plug-in refused every entry of the playlist without playing one, the run stops.
constexpr int32_t kMostRefusedLapsInARow = 3;

// A sweep is at least this long, and at least this many rotations of the playlist.
constexpr int64_t kLeastSweepSeconds = 72 * 3600;
constexpr int32_t kLeastSweepRotations = 3;

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
};

struct SweepSetting {
    int32_t artistLimit; // SameArtistCheckLimit
    int32_t titleLimit;  // SameTitleCheckLimit
};

struct SweepPlan {
    std::vector<int32_t> artistLimits; // ascending; one value, plugin.ini's, when not swept
    std::vector<int32_t> titleLimits;  // likewise
    bool artistSwept;
    bool titleSwept;
    std::vector<uint64_t> seeds; // one shuffled order each, the same for every setting
    int64_t stationSeconds;      // length of every run
    SweepGoal goal;
    int32_t mostEvents = kMostEventsKept; // what one run records at most; fewer only in tests
    // When set, called after each run with how many of the sweep's runs are done, for a progress line.
    void (*onRunDone)(void* context, int64_t done, int64_t total) = nullptr;
    void* runDoneContext = nullptr;
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
    bool meetsArtistGoal;
    bool meetsTitleGoal;                     // always, when titles are not judged
    bool meetsSkipGoal;                      // a starved setting never does: the station would fall silent
    std::vector<SpellingPair> spellingPairs; // over all seeds, most first, at most kMostSpellingPairsKept
    // The listedTwice returns by pair of entries, likewise.
    std::vector<SpellingPair> listedTwicePairs;
};

// A rate of `count` per 24 hours of `seconds`, in hundredths rounded half up; 0 when no time passed.
int32_t perDayHundredths(int64_t count, int64_t seconds);

// A rate (0..1) in tenths of a percent rounded half up: what the table shows and the goal judges.
int32_t rateTenths(double rate);

// Station seconds of one pass through the playlist with every entry played.
int64_t rotationSeconds(const std::vector<PlaylistEntry>& playlist);

// The sweep's default length: kLeastSweepSeconds, or kLeastSweepRotations rotations if longer.
int64_t defaultSweepSeconds(const std::vector<PlaylistEntry>& playlist);

// The order a sweep plays for `seed`: shuffled rounds over the playlist, as --shuffle SEED plays.
PlayOrder sweepOrder(int32_t entries, uint64_t seed);

enum SimulatedEnd : int32_t { kPlayedItsLength, kEveryEntryRefused, kSimulationOutOfMemory, kRecordFilled };

// Plays `order` from where it stands, going round, as the plug-in and the fast player would: the
// player plays the order's current entry; the plug-in judges a title only when it differs from
// the newest it recorded, by its own rule with `limits`; a refused entry is skipped (and the
// order moves on at once), an admitted one is recorded and plays for its length. Stops after
// the play that reaches `stationSeconds` (above 0), by the runaway protection, or once the record
// holds `mostEvents` (kRecordFilled), as the real run stops. `record` gets every event, as the
// real run records them; `playlist` (not empty) must outlive it.
SimulatedEnd simulateRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits, PlayOrder order,
                         int64_t stationSeconds, RunRecord* record, int32_t mostEvents = kMostEventsKept);

// simulateRun as a sweep plays it: on the order `dealt` began with, its rounds read from `dealt`
// (kept for the other settings on that order), and into a record that keeps no refused track, only
// counts them; once the run loops, its laps are worked out without playing each refused track
// (forwardLoop). The same figures, the same played tracks, the same end.
SimulatedEnd simulateSweepRun(const std::vector<PlaylistEntry>& playlist, RuleLimits limits,
                              DealtRounds* dealt, int64_t stationSeconds, RunRecord* record,
                              int32_t mostEvents = kMostEventsKept);

// The entries of `playlist` as the sweep compares them.
SweepPlaylist sweepPlaylist(const std::vector<PlaylistEntry>& playlist);

// The figures of one seed's run over `entries` (sweepPlaylist of the record's playlist);
// `starved` when it ended by the runaway protection.
SeedFigures seedFigures(const RunRecord& record, const SweepPlaylist& entries, uint64_t seed, bool starved,
                        const SweepGoal& goal);

// One setting's row from its seeds' figures (at least one), judged against `goal`.
SweepRow sweepRow(SweepSetting setting, std::vector<SeedFigures> seeds, const SweepGoal& goal);

// Every setting of `plan` on every seed, ordered by artist limit, then title limit:
// kPlayedItsLength. kRecordFilled: a run filled its record and the sweep stopped there; the last
// row is that setting, over its seeds up to that one, figured on what the run recorded.
// kSimulationOutOfMemory: memory ran out.
SimulatedEnd runSweep(const std::vector<PlaylistEntry>& playlist, const SweepPlan& plan,
                      std::vector<SweepRow>* rows);

// Where two records of the same order part: the index of the first event that differs in its
// entry or in played against skipped, or the shorter length when one is the start of the other;
// -1 when they agree event for event.
int64_t firstDifference(const RunRecord& a, const RunRecord& b);

} // namespace sim
