// The simulated host's command line: every option is checked, and a bad one is named in a
// one-line error, so that nothing an operator types is taken silently as something else.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/aired_options.h"
#include "cli/sweep_options.h"

namespace sim {

// Exit statuses of songbeacon-host; docs/tuning.md lists the same.
constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;            // a bad option or value, or a playlist that cannot be read
constexpr int kExitCannotLoad = 2;       // the plug-in cannot be loaded (or the player window made)
constexpr int kExitRefusedToStart = 3;   // startUp returned non-zero
constexpr int kExitFastStalled = 4;      // --fast: the plug-in stopped dealing with tracks
constexpr int kExitShutDownHung = 5;     // shutDown did not return within 30 seconds
constexpr int kExitPageNeverWritten = 6; // the page is switched on but was never written
constexpr int kExitReplayDisagrees = 7;  // a sweep: the plug-in decided otherwise than the mirror
constexpr int kExitRecordFull = 8;       // the run recorded as many tracks started as one run keeps
constexpr int kExitOutOfMemory = 9;      // the heap refused what the run needed

struct Options {
    std::string pluginPath;
    std::string playlistPath;
    int32_t paceMs = 2000;      // how long each admitted track plays, in real time
    int32_t version = 0x5666;   // what the player answers to the version query
    bool repeat = false;        // go round the playlist
    int32_t tracks = 0;         // stop after this many played tracks; 0: no such limit
    int64_t stationSeconds = 0; // --hours: stop once this much station time has passed; 0: no limit
    bool shuffle = false;
    bool seedGiven = false;
    uint64_t seed = 0;
    bool fast = false;                  // move on as soon as the plug-in has dealt with a track
    int32_t fastTimeoutSeconds = 30;    // --fast: how long the plug-in may take over one track
    bool configure = false;             // open the plug-in's configuration before playing
    bool quiet = false;                 // no line per track
    std::string reportPath;             // --report: the HTML report
    std::string logPath;                // --log: the CSV log
    std::string lastPagePath;           // --last-page: a copy of the page before shut-down
    std::vector<int32_t> pauseAt;       // 1-based entries paused halfway
    std::vector<int32_t> stopAt;        // 1-based entries stopped halfway
    SweepOptions sweep;                 // --sweep-artist, --sweep-title and the sweep's goal
    AiredOptions aired;                 // --aired FILE and what goes with it
    std::vector<std::string> arguments; // the command line as given, after the program's name
    std::string typedCommand; // the whole command as the operator typed it, when a script passes it on
};

enum ParseResult : int32_t { kParsed, kHelpAsked, kBadOptions };

// Reads the command line into `options`. On kBadOptions, `error` holds one line naming the
// option or value at fault.
ParseResult parseOptions(int argc, const char* const* argv, Options* options, std::string* error);

// Checks what needs the playlist: entry numbers of --pause and --stop within 1..entries.
bool checkAgainstPlaylist(const Options& options, int32_t entries, std::string* error);

// True when the run goes round the playlist rather than once through it.
bool goesRound(const Options& options);

// The usage text, ending with a line feed.
const char* usageText();

} // namespace sim
