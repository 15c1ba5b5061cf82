// The sweep: the same seeded orders played once for every setting of the two limits, against the
// mirror of the plug-in's rule instead of the plug-in itself, so that dozens of settings over days
// of station time take seconds. Each setting gets one row of figures in the operator's terms:
// skips, and how far apart in station time the same artist comes back.
#pragma once

#include <cstdint>
#include <vector>

#include "playlist/play_order.h"
#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"

namespace sim {

// The runaway protection of every run, fast, paced or swept: after this many laps in a row in
// which the plug-in refused every entry of the playlist without playing one, the run stops.
constexpr int32_t kMostRefusedLapsInARow = 3;

// A sweep is at least this long, and at least this many rotations of the playlist.
constexpr int64_t kLeastSweepSeconds = 72 * 3600;
constexpr int32_t kLeastSweepRotations = 3;

// The artist goal holds for a setting when on every seed at least this share of the returns of an
// artist come at least the goal's minutes after that artist's previous play.
constexpr int32_t kArtistGoalPercentOfReturns = 95;

// What the operator asks of a setting.
struct SweepGoal {
    int32_t artistGapMinutes; // the same artist no sooner than this, start to start
    double maxSkipPercent;    // the median skip rate over the seeds at most this (to a tenth)
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
};

// One setting played on one seed's order.
struct SeedFigures {
    uint64_t seed;
    int32_t played;
    int32_t skipped;
    double skipRate; // skipped / tracks started; 0 when nothing started
    int32_t longestSkipRun;
    int64_t stationSeconds;
    bool starved;      // stopped: every entry refused kMostRefusedLapsInARow laps in a row
    int32_t misjudged; // kOtherArtist refusals: the rule's mistakes
    // Returns of an artist (sim::artistReturns): the gaps in station seconds and in tracks between,
    // each sorted ascending, and how many came sooner than the goal's minutes.
    std::vector<int64_t> gapSeconds;
    std::vector<int32_t> gapTracks;
    int32_t returnsWithinGoal;
    double shareApart;      // returns at least the goal apart / returns; 1 when there are none
    int64_t gapReachedBy95; // the gap at least 95 % of returns reach, in seconds; -1 when none
};

// One setting over all seeds.
struct SweepRow {
    SweepSetting setting;
    std::vector<SeedFigures> seeds;
    double medianSkipRate, lowestSkipRate, highestSkipRate;
    double skipsPerHour;    // all skips over all station hours of the seeds
    int32_t longestSkipRun; // the longest on any seed
    int32_t returns;        // over all seeds
    int32_t returnsWithinGoal;
    double worstShareApart; // the lowest shareApart of a seed
    // Over the returns of all seeds together; -1 (shortest) and 0 (median) when there are none.
    int64_t shortestGapSeconds;
    double medianGapSeconds;
    int32_t shortestGapTracks;
    double medianGapTracks;
    int32_t misjudged; // over all seeds
    bool starved;      // on some seed
    bool meetsArtistGoal;
    bool meetsSkipGoal; // a starved setting never does: the station would fall silent
};

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

// The figures of one seed's run; `starved` when it ended by the runaway protection.
SeedFigures seedFigures(const RunRecord& record, uint64_t seed, bool starved, const SweepGoal& goal);

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
