// songbeacon-tune's command line and what the tool adds to it before the player runs the sweep:
// the playlist first (or none, to be asked for), the tool's own options, ranges of the two limits
// suited to the playlist when none are given, and the report in the operator's folder. Also the
// words that end a run: what to type into the plug-in's dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/sweep_options.h"
#include "playlist/playlist.h"
#include "tuning/sweep.h"

namespace sim {

struct TuneCommand {
    bool help = false;
    bool noBrowser = false;          // --no-browser: the report is not opened
    std::string playlist;            // empty: the tool asks for one
    std::string iniPath;             // --ini FILE: these settings instead of the player's plugin.ini
    int32_t artistLimit = -1;        // --artist-limit N: set in the copy of plugin.ini; -1: not given
    int32_t titleLimit = -1;         // --title-limit N: likewise
    bool rangesGiven = false;        // --sweep-artist or --sweep-title: no ranges of the tool's own
    std::string reportPath;          // --report FILE: the page goes there instead
    int32_t seeds = 3;               // --seeds, as the player takes it
    int32_t artistGapMinutes = 60;   // --artist-gap, likewise
    int32_t titleGapHours = 0;       // --title-gap; 0: not given
    std::vector<std::string> player; // every other option, for the player as given
    // Set before parsing when the first argument is an air log: the options are then checked as
    // --aired takes them (a second file is the playlist), not as a sweep's.
    std::string airedLog;
    Options options; // the player's options as its parser read them
};

enum TuneParse : int32_t { kTuneParsed, kTuneHelpAsked, kTuneBadOptions };

// Reads the tool's arguments (after its name): an optional playlist first, then options. Every
// option the player takes is checked as the player checks it, and one a sweep refuses is refused
// now, before anything is asked or copied; `error` gets one line.
TuneParse parseTuneCommand(const std::vector<std::string>& arguments, TuneCommand* command,
                           std::string* error);

struct TuneRanges {
    LimitRange artist;
    LimitRange title;
    int32_t ruleArtists;        // different artists as the rule tells them (its first characters)
    int32_t titles;             // different titles
    int32_t tracksPerArtistGap; // tracks of average length in the artist goal's minutes
};

// Ranges for `playlist` when the operator gives none: each limit from 0 to about twice what the
// goals' gaps hold in tracks, but never above half the playlist's different artists (as the rule
// tells them) or titles, so that no setting starves the rotation; the title limit by a round step,
// at most ten of them; together at most kMostSweepRuns runs on the command's seeds.
TuneRanges defaultRanges(const std::vector<PlaylistEntry>& playlist, const TuneCommand& command);

// The ranges as the line that says them, with the options that give them.
std::string rangesText(const TuneRanges& ranges, int32_t entries);

// The player's command line: its name, the plug-in at `dllPath`, the playlist at `playlistPath`,
// the command's options, `ranges` when it gave none and --report `reportPath` when it named none.
std::vector<std::string> playerArguments(const TuneCommand& command, const std::string& dllPath,
                                         const std::string& playlistPath, const TuneRanges& ranges,
                                         const std::string& reportPath);

// The command that repeats the run, as typed at a command prompt: `program` and the arguments,
// each quoted when it holds a blank.
std::string typedCommandOf(const std::string& program, const std::vector<std::string>& arguments);

// What the sweep answered, as the advice needs it.
struct DialogAnswer {
    bool recommended;     // else the sweep offered choices
    SweepSetting setting; // the recommended setting
    bool keep;            // it is the setting plugin.ini holds, the filter on: nothing to type
    bool filterOff;       // plugin.ini switches the filter off, which the dialog does not show
};

// The last lines of a sweep that answered: what to type into the plug-in's dialog, for the
// recommended setting, or, when the sweep offered choices, how to pick one; that the limits need
// no change, when they are already the answer; and how to switch the filter on first, when it is
// off.
std::string dialogAdvice(const DialogAnswer& answer);

// The tool's usage text, ending with a line feed.
const char* tuneUsageText();

} // namespace sim
