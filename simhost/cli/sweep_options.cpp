// The sweep's options. Like every option, a value is taken only when all of it is what the option
// takes; ranges are written FROM..TO, the title's with an optional :STEP.
#include "cli/sweep_options.h"

#include "cli/options.h"
#include "playlist/playlist_form.h"

namespace {

constexpr int32_t kMostGapMinutes = 7 * 24 * 60;

// Reads decimal digits at `*cursor` (at least one, the number at most `high`) and moves past them.
bool digitsAt(const char** cursor, int64_t high, int64_t* value) {
    const char* c = *cursor;
    int64_t result = 0;
    for (; *c >= '0' && *c <= '9'; c++)
        if ((result = result * 10 + (*c - '0')) > high)
            return false;
    if (c == *cursor)
        return false;
    *cursor = c;
    *value = result;
    return true;
}

// "FROM..TO" (or one number N for N..N), with ":STEP" after it when `withStep`; every limit within
// 0..kMostSweptLimit, FROM at most TO, STEP from 1.
bool rangeValue(const char* text, bool withStep, sim::LimitRange* range) {
    int64_t from = 0, to = 0, step = 1;
    if (!digitsAt(&text, sim::kMostSweptLimit, &from))
        return false;
    to = from;
    if (text[0] == '.' && text[1] == '.') {
        text += 2;
        if (!digitsAt(&text, sim::kMostSweptLimit, &to))
            return false;
    }
    if (withStep && *text == ':') {
        text++;
        if (!digitsAt(&text, sim::kMostSweptLimit, &step) || step < 1)
            return false;
    }
    if (*text != '\0' || from > to)
        return false;
    *range = {true, static_cast<int32_t>(from), static_cast<int32_t>(to), static_cast<int32_t>(step)};
    return true;
}

// A whole number within low..high, all of `text`.
bool wholeValue(const char* text, int64_t low, int64_t high, int32_t* value) {
    int64_t number = 0;
    if (!digitsAt(&text, high, &number) || *text != '\0' || number < low)
        return false;
    *value = static_cast<int32_t>(number);
    return true;
}

// A percentage from 0 to 100 with at most one decimal ("10", "7.5"), in tenths.
bool percentValue(const char* text, int32_t* tenths) {
    int64_t whole = 0, tenth = 0;
    const char* c = text;
    const bool hasWhole = digitsAt(&c, 100, &whole);
    if (*c == '.') {
        c++;
        if (*c < '0' || *c > '9')
            return false;
        tenth = *c++ - '0';
    } else if (!hasWhole) {
        return false;
    }
    if (*c != '\0' || whole * 10 + tenth > 1000)
        return false;
    *tenths = static_cast<int32_t>(whole * 10 + tenth);
    return true;
}

// A number from 0 to kMostEarlyReturnsPerDay with at most two decimals ("1", "0.5", "2.25"), in
// hundredths.
bool perDayValue(const char* text, int32_t* hundredths) {
    int64_t whole = 0, fraction = 0;
    const char* c = text;
    const bool hasWhole = digitsAt(&c, sim::kMostEarlyReturnsPerDay, &whole);
    if (*c == '.') {
        c++;
        for (int digit = 0; digit < 2; digit++) {
            fraction *= 10;
            if (*c >= '0' && *c <= '9')
                fraction += *c++ - '0';
            else if (digit == 0)
                return false;
        }
    } else if (!hasWhole) {
        return false;
    }
    if (*c != '\0' || whole * 100 + fraction > sim::kMostEarlyReturnsPerDay * 100)
        return false;
    *hundredths = static_cast<int32_t>(whole * 100 + fraction);
    return true;
}

// The values of `range`, from FROM to TO by STEP (TO itself always included).
std::vector<int32_t> valuesOf(const sim::LimitRange& range) {
    std::vector<int32_t> values;
    for (int32_t value = range.from; value < range.to; value += range.step)
        values.push_back(value);
    values.push_back(range.to);
    return values;
}

// `argument` as one word of a command line: quoted when it holds a blank or a character a shell
// would take otherwise.
std::string commandWord(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"'\\$&;|<>()*?`!#~") == std::string::npos)
        return argument;
    std::string quoted = "'";
    for (char c : argument)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

namespace sim {

SweepValue takeSweepValue(const std::string& name, const char* value, SweepOptions* sweep,
                          std::string* error) {
    auto bad = [&](const char* expected) {
        *error = name + ": \"" + value + "\" is not " + expected;
        return kBadSweepValue;
    };
    if (name == "--sweep-artist") {
        if (!rangeValue(value, false, &sweep->artist))
            return bad("a range of artist limits FROM..TO within 0..1000, such as 0..30");
    } else if (name == "--sweep-title") {
        if (!rangeValue(value, true, &sweep->title))
            return bad("a range of title limits FROM..TO[:STEP] within 0..1000, such as 0..300:50");
    } else if (name == "--seeds") {
        if (!wholeValue(value, 1, kMostSweepSeeds, &sweep->seeds))
            return bad("a number of seeds from 1 to 100");
        sweep->goalOptions.push_back(name);
    } else if (name == "--artist-gap") {
        if (!wholeValue(value, 1, kMostGapMinutes, &sweep->artistGapMinutes))
            return bad("a number of minutes from 1 to 10080");
        sweep->goalOptions.push_back(name);
    } else if (name == "--title-gap") {
        if (!wholeValue(value, 1, kMostTitleGapHours, &sweep->titleGapHours))
            return bad("a number of hours from 1 to 168");
        sweep->goalOptions.push_back(name);
    } else if (name == "--early-returns-per-day") {
        if (!perDayValue(value, &sweep->perDayHundredths))
            return bad(
                "a number of returns a day from 0 to 1000, with at most two decimals, such as 1 or 0.5");
        sweep->goalOptions.push_back(name);
    } else if (name == "--max-skip-rate") {
        if (!percentValue(value, &sweep->maxSkipTenths))
            return bad("a percentage from 0 to 100, such as 10 or 7.5");
        sweep->goalOptions.push_back(name);
    } else {
        return kNotASweepOption;
    }
    return kSweepValueTaken;
}

bool sweepAsked(const Options& options) {
    return options.sweep.artist.given || options.sweep.title.given;
}

bool finishSweepOptions(Options* options, std::string* error) {
    const SweepOptions& sweep = options->sweep;
    if (!sweepAsked(*options)) {
        if (sweep.goalOptions.empty())
            return true;
        *error = sweep.goalOptions.front() + " belongs to a sweep: give --sweep-artist or --sweep-title too";
        return false;
    }
    // What a sweep cannot do: its length is station time, it plays fast and writes one report.
    const struct {
        bool given;
        const char* text;
    } refused[] = {
        {options->tracks > 0, "--tracks: a sweep's length is station time: give --hours instead"},
        {!options->pauseAt.empty() || !options->stopAt.empty(),
         "--pause and --stop need real time, and a sweep plays fast"},
        {!options->logPath.empty(),
         "--log: a sweep writes no per-track log (try one setting without a sweep)"},
        {!options->lastPagePath.empty(), "--last-page: a sweep's replays write no page"},
        {options->configure, "--configure: a sweep sets the limits itself, in plugin.ini"},
    };
    for (const auto& option : refused)
        if (option.given) {
            *error = option.text;
            return false;
        }
    const auto settings =
        static_cast<int64_t>(valuesOf(sweep.artist.given ? sweep.artist : LimitRange{}).size()) *
        static_cast<int64_t>(valuesOf(sweep.title.given ? sweep.title : LimitRange{}).size());
    if (settings * sweep.seeds > kMostSweepRuns) {
        *error = "the sweep would play " + std::to_string(settings * sweep.seeds) + " runs (" +
                 std::to_string(settings) + " settings on " + std::to_string(sweep.seeds) +
                 " seeds); at most " + std::to_string(kMostSweepRuns) +
                 ": narrow a range, step the title limit or use fewer seeds";
        return false;
    }
    options->shuffle = true;
    options->fast = true;
    return true;
}

std::vector<uint64_t> sweepSeeds(const Options& options) {
    std::vector<uint64_t> seeds;
    for (int32_t i = 0; i < options.sweep.seeds; i++)
        seeds.push_back(options.seed + static_cast<uint64_t>(i));
    return seeds;
}

SweepPlan sweepPlanOf(const Options& options, const std::vector<PlaylistEntry>& playlist, RuleLimits read) {
    const SweepOptions& sweep = options.sweep;
    SweepPlan plan;
    plan.artistSwept = sweep.artist.given;
    plan.artistLimits = plan.artistSwept ? valuesOf(sweep.artist) : std::vector<int32_t>{read.artistLimit};
    plan.titleSwept = sweep.title.given;
    plan.titleLimits = plan.titleSwept ? valuesOf(sweep.title) : std::vector<int32_t>{read.titleLimit};
    plan.seeds = sweepSeeds(options);
    plan.stationSeconds = options.stationSeconds > 0 ? options.stationSeconds : defaultSweepSeconds(playlist);
    // Titles are judged when the operator names a gap, or by default when their limit is swept.
    const int32_t titleGap = sweep.titleGapHours > 0 ? sweep.titleGapHours
                             : plan.titleSwept       ? kDefaultTitleGapHours
                                                     : 0;
    plan.goal = {sweep.artistGapMinutes, titleGap, sweep.perDayHundredths, sweep.maxSkipTenths};
    // In less than one rotation no title comes back (each shuffled round plays every entry once): a
    // figure of 0 would only say that, so the title goal is left unjudged.
    if (titleGap > 0 && plan.stationSeconds < rotationSeconds(playlist)) {
        plan.goal.titleGapHours = 0;
        plan.goal.unjudgedTitleGapHours = titleGap;
    }
    // Without "Artist - Title" the figures know too few artists to judge the artist goal by.
    plan.goal.artistUnjudged = nearlyAllLackArtistForm(playlistForm(playlist));
    return plan;
}

std::string repeatCommand(const Options& options) {
    std::string command = options.typedCommand;
    if (command.empty()) {
        command = "songbeacon-host";
        for (const std::string& argument : options.arguments)
            command += " " + commandWord(argument);
    }
    if (!options.seedGiven)
        command += " --shuffle " + std::to_string(options.seed);
    return command;
}

} // namespace sim
