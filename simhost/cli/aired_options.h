// The command line's part for reading what went to air: --aired FILE, the days to report (--from,
// --to) and the CSV (--csv). With --aired the player plays nothing: the plug-in is not needed, a
// playlist may follow for its titles and lengths, and the sweep's options give the goals and the
// limits the recommendation from history sweeps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct Options;

struct AiredOptions {
    std::string logPath;              // --aired FILE
    int64_t fromDay = INT64_MIN;      // --from DATE, as days since 1970-01-01
    int64_t toDay = INT64_MAX;        // --to DATE
    std::string csvPath;              // --csv FILE
    std::vector<std::string> options; // those given, to refuse them without --aired
};

enum AiredValue : int32_t { kNotAnAiredOption, kAiredValueTaken, kBadAiredValue };

// Takes the value of option `name` when it is one of these; kBadAiredValue with `error` one line
// when the value is not what it takes.
AiredValue takeAiredValue(const std::string& name, const char* value, AiredOptions* aired,
                          std::string* error);

// True when the command line asks to read an air log.
bool airedAsked(const Options& options);

// After the whole command line is read: refuses these options without --aired; with it, takes the
// one word left (`positionals` of them) as the playlist and refuses more, and refuses the options
// that play. False with `error` set.
bool finishAiredOptions(Options* options, int positionals, std::string* error);

} // namespace sim
