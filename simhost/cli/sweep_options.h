// The sweep's part of the command line: which limits to try, on how many seeds, for how long,
// against which goal, and the command that repeats a sweep exactly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/sweep.h"

namespace sim {

struct Options;

// Limits outside this range are refused: the plug-in remembers the last 1000 tracks.
constexpr int32_t kMostSweptLimit = 1000;
constexpr int32_t kMostSweepSeeds = 100;
constexpr int64_t kMostSweepRuns = 10000; // settings times seeds
constexpr int32_t kMostTitleGapHours = 7 * 24;
constexpr int32_t kMostEarlyReturnsPerDay = 1000;

struct LimitRange {
    bool given;
    int32_t from;
    int32_t to;
    int32_t step;
};

struct SweepOptions {
    LimitRange artist = {false, 0, 0, 1}; // --sweep-artist FROM..TO
    LimitRange title = {false, 0, 0, 1};  // --sweep-title FROM..TO[:STEP]
    int32_t seeds = 3;                    // --seeds N
    int32_t artistGapMinutes = 60;        // --artist-gap MINUTES
    int32_t titleGapHours = 0;            // --title-gap HOURS; 0: not given
    int32_t perDayHundredths = 100;       // --early-returns-per-day N, in hundredths
    int32_t maxSkipTenths = 100;          // --max-skip-rate PERCENT, in tenths of a percent
    std::vector<std::string> goalOptions; // the goal and seed options given, to refuse them alone
};

enum SweepValue : int32_t { kNotASweepOption, kSweepValueTaken, kBadSweepValue };

// Takes the value of option `name` when it is one of the sweep's; kBadSweepValue with `error` set
// (one line naming option and value) when the value is not what it takes.
SweepValue takeSweepValue(const std::string& name, const char* value, SweepOptions* sweep,
                          std::string* error);

// True when the command line asks for a sweep.
bool sweepAsked(const Options& options);

// After the whole command line is read: refuses the sweep's options without a sweep, and the
// options a sweep cannot honour with one; a sweep always plays shuffled. False with `error` set.
bool finishSweepOptions(Options* options, std::string* error);

// The seeds of the sweep: the run's seed, then each next number (wrapping past the largest).
std::vector<uint64_t> sweepSeeds(const Options& options);

// The sweep to play over `playlist`: the ranges expanded, a limit that is not swept as plugin.ini
// holds it (`read`), the length --hours gave or the default; the title goal unjudged when a run is
// shorter than a rotation, the artist goal when nearly every title lacks "Artist - Title".
SweepPlan sweepPlanOf(const Options& options, const std::vector<PlaylistEntry>& playlist, RuleLimits read);

// The command line that repeats the sweep exactly, ready to paste: the command as the operator
// typed it (a script's own, when it passed it on; else songbeacon-host with every argument as
// given, --report included), with --shuffle SEED after it when the seed was drawn.
std::string repeatCommand(const Options& options);

} // namespace sim
