// The sweep: the same seeded orders played once for every setting of the two limits, against the
// mirror of the plug-in's rule instead of the plug-in itself, so that dozens of settings over days
// of station time take seconds. Each setting gets one row of figures (sweep_figures.h).
#pragma once

#include <cstdint>
#include <vector>

#include "playlist/play_order.h"
#include "playlist/playlist.h"
#include "tuning/dealt_rounds.h"
#include "tuning/rule_mirror.h"
#include "tuning/run_record.h"
#include "tuning/sweep_figures.h"

namespace sim {

// The runaway protection of every run, fast, paced or swept: after this many laps in a row in
// which the plug-in refused every entry of the playlist without playing one, the run stops.
constexpr int32_t kMostRefusedLapsInARow = 3;

// A sweep's runs are at least this long, and by default this many rotations of the playlist...
constexpr int64_t kLeastSweepSeconds = 72 * 3600;
constexpr int32_t kLeastSweepRotations = 3;
// ... unless those take longer than this: the figures a day have settled by then (measured on
// generated playlists of 2,000 to 20,000 entries; docs/performance.md). A longer playlist's runs
// last this long, or one rotation and a quarter when that is longer, so that the playlist still
// comes round and a title limit shows what it does in the next round's first tracks.
constexpr int64_t kSettledSweepSeconds = 60 * 24 * 3600;

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

// Station seconds of one pass through the playlist with every entry played.
int64_t rotationSeconds(const std::vector<PlaylistEntry>& playlist);

// The length a run's figures need, for a playlist whose rotation takes `rotationSeconds`:
// kLeastSweepRotations rotations, or when those take longer than kSettledSweepSeconds, that long
// or one rotation and a quarter, whichever is longer.
int64_t neededSweepSeconds(int64_t rotationSeconds);

// The sweep's default length: neededSweepSeconds, and at least kLeastSweepSeconds.
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
