// The options of --aired, checked as every option is.
#include "cli/aired_options.h"

#include "aired/air_time.h"
#include "cli/options.h"

namespace sim {

AiredValue takeAiredValue(const std::string& name, const char* value, AiredOptions* aired,
                          std::string* error) {
    if (name != "--aired" && name != "--from" && name != "--to" && name != "--csv")
        return kNotAnAiredOption;
    if (name == "--from" || name == "--to") {
        if (!parseDay(value, name == "--from" ? &aired->fromDay : &aired->toDay)) {
            *error = name + ": \"" + value + "\" is not a date such as 2026-12-08";
            return kBadAiredValue;
        }
    } else if (*value == '\0') {
        *error = name + ": \"\" is not a file name";
        return kBadAiredValue;
    } else {
        (name == "--aired" ? aired->logPath : aired->csvPath) = value;
    }
    if (name != "--aired")
        aired->options.push_back(name);
    return kAiredValueTaken;
}

bool airedAsked(const Options& options) {
    return !options.aired.logPath.empty();
}

bool finishAiredOptions(Options* options, int positionals, std::string* error) {
    AiredOptions& aired = options->aired;
    if (!airedAsked(*options)) {
        if (aired.options.empty())
            return true;
        *error = aired.options.front() + " belongs to --aired: give the air log with --aired FILE";
        return false;
    }
    if (positionals > 1) {
        *error =
            "--aired reads the log without the plug-in: give at most a playlist, for its titles and lengths";
        return false;
    }
    if (positionals == 1) {
        options->playlistPath = options->pluginPath;
        options->pluginPath.clear();
    }
    const struct {
        bool given;
        const char* text;
    } refused[] = {
        {aired.fromDay != INT64_MIN && aired.toDay != INT64_MAX && aired.fromDay > aired.toDay,
         "--from is after --to: no day is left to report"},
        {options->fast || options->repeat || options->tracks > 0,
         "--fast, --repeat and --tracks play a playlist; --aired reads what went to air"},
        {!options->pauseAt.empty() || !options->stopAt.empty(), "--pause and --stop play a playlist; --aired "
                                                                "reads what went to air"},
        {!options->logPath.empty(), "--log writes a run's tracks; with --aired, --csv writes one row a day"},
        {!options->lastPagePath.empty(), "--last-page: --aired plays nothing, so no page is written"},
        {options->configure, "--configure: --aired reads the log without the plug-in"},
    };
    for (const auto& option : refused)
        if (option.given) {
            *error = option.text;
            return false;
        }
    return true;
}

} // namespace sim
