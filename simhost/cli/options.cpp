// Command-line parsing. Numbers are taken only when the whole value is a number in range.
#include "cli/options.h"

#include <cstdlib>
#include <cstring>

#include "tuning/run_record.h"

namespace {

// `text` as a decimal whole number within low..high, or false.
bool wholeNumber(const char* text, int64_t low, int64_t high, int64_t* value) {
    if (*text == '\0')
        return false;
    int64_t result = 0;
    for (const char* c = text; *c != '\0'; c++) {
        if (*c < '0' || *c > '9')
            return false;
        result = result * 10 + (*c - '0');
        if (result > high)
            return false;
    }
    if (result < low)
        return false;
    *value = result;
    return true;
}

// `text` as a decimal number that fits in 64 unsigned bits, or false.
bool unsignedNumber(const char* text, uint64_t* value) {
    if (*text == '\0' || std::strlen(text) > 20)
        return false;
    uint64_t result = 0;
    for (const char* c = text; *c != '\0'; c++) {
        if (*c < '0' || *c > '9')
            return false;
        const auto digit = static_cast<uint64_t>(*c - '0');
        if (result > (UINT64_MAX - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

// Hours as "24", "1.5" or ".25", above 0 and at most a year; as whole seconds.
bool hoursValue(const char* text, int64_t* seconds) {
    int64_t whole = 0, fraction = 0, scale = 1;
    int digits = 0;
    const char* c = text;
    for (; *c >= '0' && *c <= '9'; c++, digits++)
        if ((whole = whole * 10 + (*c - '0')) > 8760)
            return false;
    if (*c == '.')
        for (c++; *c >= '0' && *c <= '9'; c++, digits++)
            if (scale < 1000000) {
                fraction = fraction * 10 + (*c - '0');
                scale *= 10;
            }
    if (*c != '\0' || digits == 0)
        return false;
    *seconds = whole * 3600 + fraction * 3600 / scale;
    return *seconds > 0 && *seconds <= 8760 * 3600;
}

// `text` as at most eight hexadecimal digits, with or without 0x, or false.
bool hexVersion(const char* text, int32_t* version) {
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text += 2;
    if (*text == '\0' || std::strlen(text) > 8)
        return false;
    uint32_t value = 0;
    for (const char* c = text; *c != '\0'; c++) {
        const char d = *c;
        const int digit = d >= '0' && d <= '9'   ? d - '0'
                          : d >= 'a' && d <= 'f' ? d - 'a' + 10
                          : d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    *version = static_cast<int32_t>(value);
    return true;
}

// True when `text` can be a shuffle seed: the word after --shuffle is its seed only then.
bool isSeed(const char* text) {
    uint64_t ignored = 0;
    return unsignedNumber(text, &ignored);
}

// Takes the value of option `name` into the options; false with `error` set when it is bad.
bool takeValue(const std::string& name, const char* value, sim::Options* options, std::string* error) {
    int64_t number = 0;
    auto bad = [&](const char* expected) {
        *error = name + ": \"" + value + "\" is not " + expected;
        return false;
    };
    if (name == "--pace") {
        if (!wholeNumber(value, 0, 3600000, &number))
            return bad("a number of milliseconds from 0 to 3600000");
        options->paceMs = static_cast<int32_t>(number);
    } else if (name == "--tracks") {
        if (!wholeNumber(value, 1, sim::kMostEventsKept, &number))
            return bad(("a number of tracks from 1 to " + std::to_string(sim::kMostEventsKept)).c_str());
        options->tracks = static_cast<int32_t>(number);
    } else if (name == "--hours") {
        if (!hoursValue(value, &options->stationSeconds))
            return bad("a number of hours above 0 and up to 8760, such as 24 or 1.5");
    } else if (name == "--pause" || name == "--stop") {
        if (!wholeNumber(value, 1, 100000000, &number))
            return bad("an entry number (1 for the first entry)");
        (name == "--pause" ? options->pauseAt : options->stopAt).push_back(static_cast<int32_t>(number));
    } else if (name == "--version") {
        if (!hexVersion(value, &options->version))
            return bad("a hexadecimal version number such as 5666");
    } else if (name == "--fast-timeout") {
        if (!wholeNumber(value, 1, 86400, &number))
            return bad("a number of seconds from 1 to 86400");
        options->fastTimeoutSeconds = static_cast<int32_t>(number);
    } else if (name == "--report" || name == "--log" || name == "--last-page") {
        if (*value == '\0')
            return bad("a file name");
        (name == "--report" ? options->reportPath
         : name == "--log"  ? options->logPath
                            : options->lastPagePath) = value;
    } else if (const sim::SweepValue taken = sim::takeSweepValue(name, value, &options->sweep, error);
               taken != sim::kNotASweepOption) {
        return taken == sim::kSweepValueTaken;
    } else if (const sim::AiredValue taken = sim::takeAiredValue(name, value, &options->aired, error);
               taken != sim::kNotAnAiredOption) {
        return taken == sim::kAiredValueTaken;
    } else {
        *error = "unknown option " + name + " (--help lists the options)";
        return false;
    }
    return true;
}

} // namespace

namespace sim {

ParseResult parseOptions(int argc, const char* const* argv, Options* options, std::string* error) {
    int positional = 0;
    options->arguments.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--help" || arg == "-h") {
            return kHelpAsked;
        } else if (arg == "--repeat") {
            options->repeat = true;
        } else if (arg == "--configure") {
            options->configure = true;
        } else if (arg == "--fast") {
            options->fast = true;
        } else if (arg == "--quiet") {
            options->quiet = true;
        } else if (arg == "--shuffle") {
            options->shuffle = true;
            if (next != nullptr && isSeed(next)) {
                unsignedNumber(next, &options->seed);
                options->seedGiven = true;
                i++;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            if (next == nullptr) {
                *error = arg + " needs a value";
                return kBadOptions;
            }
            if (!takeValue(arg, next, options, error))
                return kBadOptions;
            i++;
        } else if (positional == 0) {
            options->pluginPath = arg;
            positional++;
        } else if (positional == 1) {
            options->playlistPath = arg;
            positional++;
        } else {
            *error = "unexpected argument \"" + arg + "\": give the plug-in and the playlist, then options";
            return kBadOptions;
        }
    }
    if (airedAsked(*options) || !options->aired.options.empty())
        return finishAiredOptions(options, positional, error) ? kParsed : kBadOptions;
    if (positional < 2) {
        *error =
            positional == 0 ? "give the plug-in DLL and a playlist" : "give a playlist after the plug-in DLL";
        return kBadOptions;
    }
    if (options->fast && (!options->pauseAt.empty() || !options->stopAt.empty())) {
        *error = "--pause and --stop need real time: leave out --fast";
        return kBadOptions;
    }
    if (!finishSweepOptions(options, error))
        return kBadOptions;
    return kParsed;
}

bool checkAgainstPlaylist(const Options& options, int32_t entries, std::string* error) {
    for (const std::vector<int32_t>* list : {&options.pauseAt, &options.stopAt})
        for (int32_t entry : *list)
            if (entry > entries) {
                *error = std::string(list == &options.pauseAt ? "--pause " : "--stop ") +
                         std::to_string(entry) + ": the playlist has only " + std::to_string(entries) +
                         " entries";
                return false;
            }
    return true;
}

bool goesRound(const Options& options) {
    return options.repeat || options.tracks > 0 || options.stationSeconds > 0;
}

const char* usageText() {
    return "usage: songbeacon-host <plugin.dll> <playlist.m3u|.m3u8|.txt> [options]\n"
           "  --pace MS         play each admitted track for MS milliseconds of real time (default 2000)\n"
           "  --fast            no real waiting: move on as soon as the plug-in has dealt with a track\n"
           "  --hours H         go round the playlist until H hours of station time have passed (tracks\n"
           "                    last as their #EXTINF says, else 210 seconds)\n"
           "  --tracks N        go round the playlist until N tracks have played\n"
           "  --repeat          go round the playlist, for ever unless --hours or --tracks ends it\n"
           "                    (default: once through)\n"
           "  --shuffle [SEED]  play in random order, a new order each round; a SEED repeats a run exactly\n"
           "  --report FILE     also write the report as an HTML page\n"
           "  --log FILE        write one CSV row per track started (station time, entry, title, played\n"
           "                    or skipped, the rule's reason)\n"
           "  --last-page FILE  copy the status page to FILE just before the plug-in's shut-down\n"
           "  --quiet           no line per track, only the report\n"
           "  --pause K         pause entry K halfway through, for one pace, then resume\n"
           "  --stop K          stop the player halfway through entry K, for one pace, then play it again\n"
           "  --configure       open the plug-in's configuration dialog before playing\n"
           "  --version HEX     the player version to report (default 5666)\n"
           "  --fast-timeout S  with --fast, give up when the plug-in takes over S seconds on one track\n"
           "                    (default 30)\n"
           "a sweep: which limits to choose (always shuffled and fast, going round the playlist)\n"
           "  --sweep-artist FROM..TO     play the same orders with every SameArtistCheckLimit from FROM to "
           "TO\n"
           "  --sweep-title FROM..TO[:STEP]  likewise SameTitleCheckLimit, by STEP (default 1); with\n"
           "                    --sweep-artist, every pair; without it, the title limit plugin.ini holds\n"
           "  --seeds N         shuffled orders per setting (default 3): the run's seed (--shuffle SEED), "
           "then\n"
           "                    SEED+1 and on\n"
           "  --artist-gap MIN  the artist goal: an artist back sooner than MIN minutes after its last\n"
           "                    start is early (default 60)\n"
           "  --title-gap H     the title goal: the same title back sooner than H hours is early (default 3\n"
           "                    when the title limit is swept; otherwise titles are judged only with it)\n"
           "  --early-returns-per-day N  at most N early returns a day on every seed, for each goal\n"
           "                    (default 1; decimals allowed; 0 means none)\n"
           "  --max-skip-rate P the goal: a median skip rate of at most P % (default 10)\n"
           "                    --hours sets each run's length (default: 72 h, or three rotations if "
           "longer,\n"
           "                    but at most 60 days, or one rotation and a quarter if that is longer);\n"
           "                    --report writes the sweep's page, and its whole table as CSV beside it;\n"
           "                    plugin.ini's own limits are swept too; the recommended setting is then\n"
           "                    replayed through a copy of the plug-in in a folder of its own, as far as\n"
           "                    each seed's run shows every kind of decision it makes\n"
           "what went to air: songbeacon-host --aired LOG [playlist] [options]\n"
           "  --aired LOG       what the plug-in's air log (AirLog= in plugin.ini) shows went to air,\n"
           "                    against the sweep's goals (the options above), with the tool's\n"
           "                    prediction beside it; a playlist gives the titles and lengths (else\n"
           "                    the log's own); --sweep-artist and --sweep-title give the limits a\n"
           "                    recommendation tries; --shuffle SEED the first seed (default 1);\n"
           "                    --report writes the page\n"
           "  --from DATE, --to DATE  only the days from or to DATE (2026-12-08)\n"
           "  --csv FILE        write one CSV row a day\n"
           "exit status: 0 done, 1 bad option or playlist, 2 plug-in cannot be loaded, 3 plug-in refused\n"
           "             to start, 4 with --fast the plug-in stopped dealing with tracks, 5 the plug-in's\n"
           "             shut-down did not return within 30 seconds, 6 the page is switched on but was\n"
           "             never written, 7 a sweep's replay: the plug-in decided a track otherwise than the\n"
           "             mirror of its rule, 8 the run started 10000000 tracks, the most one run records,\n"
           "             9 out of memory\n";
}

} // namespace sim
