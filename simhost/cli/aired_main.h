// Reading what went to air, from the command line of either program. Both fill the same typed
// request, songbeacon-host from its options and songbeacon-tune from its own (with the ranges it
// suits to the playlist), rather than one composing words for the other to parse again: what the
// tool decides (where the page goes, which limits to sweep) reaches the course as values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aired/air_history.h"
#include "cli/sweep_options.h"
#include "playlist/playlist.h"
#include "playlist/text_encoding.h"

namespace sim {

struct Options;

// Seeds of the prediction when none are asked for: five spreads the seeds far enough to say
// where an aired figure falls.
constexpr int32_t kPredictionSeeds = 5;

// What the recommendation from history answered, for a program that says it again in its own words.
struct AiredOutcome {
    bool recommended;     // a setting meets every goal
    bool choices;         // none does: the choice: lines offer the trade-off
    SweepSetting setting; // the recommended setting
};

struct AiredRequest {
    std::string logPath;
    std::string playlistPath; // "" for the titles and lengths the log shows
    CodePage codePage;        // the player's, that titles are held in
    AiredScope scope;
    SweepOptions sweep;     // the goals, the seeds, and the limits the recommendation sweeps
    bool seedsGiven;        // --seeds: the prediction takes as many too (else kPredictionSeeds)
    uint64_t seed;          // the first seed of the prediction and the sweep
    int64_t sweepSeconds;   // each sweep run's length; 0: the sweep's default
    std::string reportPath; // the page; "" for none
    std::string csvPath;    // the days as CSV; "" for none
    // Reads a whole file that a running player may be writing; false when it cannot.
    bool (*readFile)(const std::string& path, std::string* bytes);
    // When no limits to sweep are given: sets ranges suited to `playlist` in `sweep` and says how in
    // `line`; null: no recommendation without them.
    void (*suitRanges)(void* context, const std::vector<PlaylistEntry>& playlist, SweepOptions* sweep,
                       std::string* line);
    void* suitContext;
    AiredOutcome* outcome; // may be null
};

// The request the options of songbeacon-host make, read with `readFile`.
AiredRequest airedRequestOf(const Options& options, const CodePage& codePage,
                            bool (*readFile)(const std::string& path, std::string* bytes));

// Reads the log (after its previous file, when there is one), and the playlist when one is given,
// prints the report and writes the page and the CSV when asked. Returns the exit status: 0, or 1
// with a one-line error for a file that cannot be read, is no air log, or is one of a newer
// format, a playlist that cannot be read, or a page or CSV that cannot be written.
int airedMain(const AiredRequest& request);

} // namespace sim
