// The tool's command line and its defaults. What the player takes is left to the player's own
// parser, run once here on a stand-in command line so that a bad option is named before the
// operator is asked for anything.
#include "tune/tune_plan.h"

#include <algorithm>
#include <set>

#include "cli/options.h"
#include "tuning/rotation.h"
#include "tuning/rule_mirror.h"

namespace {

constexpr int32_t kTitleSteps[] = {1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500};
constexpr size_t kTitleStepCount = sizeof kTitleSteps / sizeof kTitleSteps[0];
constexpr int32_t kMostTitleValues = 11; // ten steps and the limit 0

// A limit of the tool's own: a whole number from 0 to kMostSweptLimit, all of `text`.
bool limitValue(const std::string& text, int32_t* limit) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *limit = std::stoi(text);
    return *limit <= sim::kMostSweptLimit;
}

bool namesARange(const std::vector<std::string>& options) {
    return std::find(options.begin(), options.end(), "--sweep-artist") != options.end() ||
           std::find(options.begin(), options.end(), "--sweep-title") != options.end();
}

// The number of limits a title range tries: 0, STEP, 2 STEP ... and TO.
int32_t valueCount(const sim::LimitRange& range) {
    return (range.to - range.from + range.step - 1) / range.step + 1;
}

// A title range from 0 to about `top`, by the smallest round step that keeps it to
// kMostTitleValues limits, starting the search at step `fromStep`; TO a whole number of steps.
sim::LimitRange titleRange(int32_t top, size_t fromStep) {
    size_t i = fromStep;
    while (i + 1 < kTitleStepCount && top / kTitleSteps[i] >= kMostTitleValues)
        i++;
    const int32_t step = kTitleSteps[i];
    return {true, 0, top >= step ? top / step * step : top, step};
}

std::string rangeText(const sim::LimitRange& range) {
    std::string text = std::to_string(range.from) + ".." + std::to_string(range.to);
    return range.step > 1 ? text + ":" + std::to_string(range.step) : text;
}

} // namespace

namespace sim {

TuneParse parseTuneCommand(const std::vector<std::string>& arguments, TuneCommand* command,
                           std::string* error) {
    size_t i = 0;
    if (!arguments.empty() && !arguments[0].empty() && arguments[0][0] != '-')
        command->playlist = arguments[i++];
    for (; i < arguments.size(); i++) {
        const std::string& argument = arguments[i];
        const bool valueFollows = i + 1 < arguments.size();
        if (argument == "--help" || argument == "-h") {
            command->help = true;
            return kTuneHelpAsked;
        } else if (argument == "--no-browser") {
            command->noBrowser = true;
        } else if (argument == "--ini") {
            if (!valueFollows || arguments[i + 1].empty()) {
                *error = "--ini needs a settings file";
                return kTuneBadOptions;
            }
            command->iniPath = arguments[++i];
        } else if (argument == "--artist-limit" || argument == "--title-limit") {
            int32_t* limit = argument == "--artist-limit" ? &command->artistLimit : &command->titleLimit;
            if (!valueFollows || !limitValue(arguments[i + 1], limit)) {
                *error = argument + " needs a whole number from 0 to 1000, not '" +
                         (valueFollows ? arguments[i + 1] : std::string()) + "'";
                return kTuneBadOptions;
            }
            i++;
        } else {
            command->player.push_back(argument);
        }
    }
    // The player's parser on a stand-in command line: a sweep (the tool always sweeps), or --aired
    // reading an air log.
    command->rangesGiven = namesARange(command->player);
    std::vector<std::string> trial = {"songbeacon-tune", "gen_SBeacon.dll", "playlist.m3u"};
    if (!command->airedLog.empty())
        trial = {"songbeacon-tune", "--aired", command->airedLog};
    trial.insert(trial.end(), command->player.begin(), command->player.end());
    if (!command->rangesGiven && command->airedLog.empty())
        trial.insert(trial.end(), {"--sweep-artist", "0"});
    std::vector<const char*> argv;
    for (const std::string& word : trial)
        argv.push_back(word.c_str());
    Options options;
    if (parseOptions(static_cast<int>(argv.size()), argv.data(), &options, error) == kBadOptions) {
        if (error->rfind("unexpected argument", 0) == 0)
            *error = error->substr(0, error->find(':')) + ": give one playlist, first, then options";
        return kTuneBadOptions;
    }
    command->options = options;
    command->reportPath = options.reportPath;
    command->seeds = options.sweep.seeds;
    command->artistGapMinutes = options.sweep.artistGapMinutes;
    command->titleGapHours = options.sweep.titleGapHours;
    return kTuneParsed;
}

TuneRanges defaultRanges(const std::vector<PlaylistEntry>& playlist, const TuneCommand& command) {
    TuneRanges ranges = {};
    std::set<std::string> keys;
    for (const PlaylistEntry& entry : playlist)
        keys.insert(ruleKeyOf(entry.title));
    ranges.ruleArtists = static_cast<int32_t>(keys.size());
    ranges.titles = distinctTitles(playlist);
    const int64_t average =
        std::max<int64_t>(1, rotationSeconds(playlist) / std::max<int64_t>(1, playlist.size()));
    const int64_t titleGapHours = command.titleGapHours > 0 ? command.titleGapHours : kDefaultTitleGapHours;
    ranges.tracksPerArtistGap =
        static_cast<int32_t>(std::max<int64_t>(1, command.artistGapMinutes * 60 / average));
    const int64_t tracksPerTitleGap = std::max<int64_t>(1, titleGapHours * 3600 / average);
    int32_t artistTop =
        static_cast<int32_t>(std::min<int64_t>(2 * ranges.tracksPerArtistGap, kMostSweptLimit));
    artistTop = std::min(artistTop, ranges.ruleArtists / 2);
    const auto titleTop = static_cast<int32_t>(
        std::min<int64_t>({2 * tracksPerTitleGap, static_cast<int64_t>(ranges.titles / 2),
                           static_cast<int64_t>(kMostSweptLimit)}));
    size_t step = 0;
    ranges.title = titleRange(titleTop, step);
    // Within the most runs a sweep plays: a coarser title step first, then a shorter artist range.
    while (static_cast<int64_t>(artistTop + 1) * valueCount(ranges.title) * command.seeds > kMostSweepRuns) {
        if (valueCount(ranges.title) > 2 && ranges.title.step < kTitleSteps[kTitleStepCount - 1]) {
            while (kTitleSteps[step] <= ranges.title.step)
                step++;
            ranges.title = titleRange(titleTop, step);
        } else {
            artistTop /= 2;
        }
    }
    ranges.artist = {true, 0, artistTop, 1};
    return ranges;
}

std::string rangesText(const TuneRanges& ranges, int32_t entries) {
    return "ranges: --sweep-artist " + rangeText(ranges.artist) + " --sweep-title " +
           rangeText(ranges.title) + ", for " + std::to_string(entries) + " entries, " +
           std::to_string(ranges.ruleArtists) + " artists as the plug-in's rule tells them apart, " +
           std::to_string(ranges.titles) + " titles, about " + std::to_string(ranges.tracksPerArtistGap) +
           " tracks in the artist goal's minutes (give --sweep-artist or --sweep-title to choose your own)";
}

std::vector<std::string> playerArguments(const TuneCommand& command, const std::string& dllPath,
                                         const std::string& playlistPath, const TuneRanges& ranges,
                                         const std::string& reportPath) {
    std::vector<std::string> arguments = {"songbeacon-tune", dllPath, playlistPath};
    arguments.insert(arguments.end(), command.player.begin(), command.player.end());
    if (!command.rangesGiven)
        arguments.insert(arguments.end(), {"--sweep-artist", rangeText(ranges.artist), "--sweep-title",
                                           rangeText(ranges.title)});
    if (command.reportPath.empty())
        arguments.insert(arguments.end(), {"--report", reportPath});
    return arguments;
}

std::string typedCommandOf(const std::string& program, const std::vector<std::string>& arguments) {
    std::string command;
    for (size_t i = 0; i <= arguments.size(); i++) {
        const std::string& word = i == 0 ? program : arguments[i - 1];
        const bool quoted = word.empty() || word.find_first_of(" \t&|<>^()") != std::string::npos;
        command += (i == 0 ? "" : " ") + (quoted ? "\"" + word + "\"" : word);
    }
    return command;
}

std::string dialogAdvice(const DialogAnswer& answer) {
    if (answer.keep)
        return "Your limits are already the recommended ones: leave the plug-in's settings as they are.\n";
    // The dialog neither shows nor changes the filter's switch: only plugin.ini does.
    const std::string filter =
        answer.filterOff ? "First switch the filter on: in the player's plugin.ini (Plugins folder), set "
                           "EnablePlaylistMonitoring=1 under [Songbeacon] and restart the player; the "
                           "dialog does not show it.\n"
                         : "";
    const std::string where = "In the plug-in's configuration dialog (the player's plug-in preferences), ";
    if (!answer.recommended)
        return filter + "No setting meets every goal: pick one of the choice: lines above. " + where +
               "type its SameArtistCheckLimit into \"Same Artist Check limit\" and its SameTitleCheckLimit "
               "into \"Same Title Check limit\", and press OK.\n";
    return filter + where + "type\n    " + std::to_string(answer.setting.artistLimit) +
           " into \"Same Artist Check limit\"\n    " + std::to_string(answer.setting.titleLimit) +
           " into \"Same Title Check limit\"\nand press OK: the plug-in uses them from the next track.\n";
}

const char* tuneUsageText() {
    return "usage: songbeacon-tune [playlist.m3u|.m3u8|.txt] [options]\n"
           "       songbeacon-tune air.log [playlist] [options]   (what went to air: the air log read)\n"
           "Chooses SameArtistCheckLimit and SameTitleCheckLimit for a playlist. It copies the installed\n"
           "plug-in and its plugin.ini into a folder of its own in %LOCALAPPDATA%\\Songbeacon\\Tuning, "
           "removed\n"
           "when it ends (the player's folder is only read), plays the playlist there at every pair of\n"
           "limits in two ranges, on the same shuffled orders, and recommends the pair that meets the goals\n"
           "with the fewest skips. Without a playlist it asks for one. It runs at below-normal priority and\n"
           "leaves a processor to the player.\n"
           "  --sweep-artist FROM..TO     the artist limits to try (default: suited to the playlist, shown)\n"
           "  --sweep-title FROM..TO[:STEP]  the title limits to try, likewise; with only one of the two,\n"
           "                    the other limit is plugin.ini's\n"
           "  --seeds N         shuffled orders per setting (default 3)\n"
           "  --shuffle SEED    the first order's seed (default: a new one, shown with the command that\n"
           "                    repeats the sweep)\n"
           "  --hours H         each run's length (default 72 h, or three rotations of the playlist, at\n"
           "                    most 60 days or one rotation and a quarter)\n"
           "  --artist-gap MIN  the artist goal: an artist back sooner than MIN minutes is early (60)\n"
           "  --title-gap H     the title goal: the same title back sooner than H hours is early (3)\n"
           "  --early-returns-per-day N  at most N early returns a day on every seed, each goal (1)\n"
           "  --max-skip-rate P the skip goal: a median skip rate of at most P % (10)\n"
           "  --ini FILE        use these settings instead of the player's plugin.ini\n"
           "  --artist-limit N, --title-limit N  set that limit in the copy of plugin.ini first\n"
           "  --report FILE     write the sweep's page there, its table as CSV beside it\n"
           "                    (default: in the Tuning folder, named after the playlist and time;\n"
           "                    the latest 20 are kept, listed in index.html)\n"
           "  --no-browser      do not open the page in the browser\n"
           "  --from DATE, --to DATE, --csv FILE  with an air log: only those days (2026-12-08), and\n"
           "                    one CSV row a day\n"
           "Letters beyond ASCII go to a console as they are, and to a file or a pipe as UTF-8.\n"
           "exit status: 0 done (a recommended: line, or choice: lines when no setting meets every goal),\n"
           "             1 a bad option, playlist or file, 2 the plug-in cannot be loaded, 3 it refused to\n"
           "             start, 4 it stopped dealing with tracks, 5 its shut-down hung, 7 it decided a "
           "track\n"
           "             otherwise than the sweep's mirror of its rule, 8 a run filled its record, 9 out of\n"
           "             memory\n";
}

} // namespace sim
