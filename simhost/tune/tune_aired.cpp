// The tool's side of reading an air log.
#include "tune/tune_aired.h"

#include "aired/air_log.h"
#include "cli/aired_main.h"
#include "cli/ansi_code_page.h"
#include "cli/shared_read.h"

namespace {

// Ranges suited to the titles the history shows, as the tool suits them to a playlist.
void suitRanges(void* context, const std::vector<sim::PlaylistEntry>& playlist, sim::SweepOptions* sweep,
                std::string* line) {
    const sim::TuneRanges ranges =
        sim::defaultRanges(playlist, *static_cast<const sim::TuneCommand*>(context));
    sweep->artist = ranges.artist;
    sweep->title = ranges.title;
    *line = sim::rangesText(ranges, static_cast<int32_t>(playlist.size()));
}

} // namespace

namespace sim {

bool isAirLog(const std::string& path) {
    std::string start;
    return readSharing(path, &start, 64) && startsAsAirLog(start);
}

int tuneAired(const TuneCommand& command, const std::string& log, const std::string& playlist,
              const std::string& page, SweepAnswer* answer) {
    AiredRequest request = airedRequestOf(command.options, ansiCodePage(), readWholeSharing);
    request.logPath = log;
    request.playlistPath = playlist;
    request.reportPath = command.reportPath.empty() ? page : command.reportPath;
    request.suitRanges = suitRanges;
    request.suitContext = const_cast<TuneCommand*>(&command);
    AiredOutcome outcome = {};
    request.outcome = &outcome;
    const int status = airedMain(request);
    answer->recommended = outcome.recommended;
    answer->choices = outcome.choices;
    answer->setting = outcome.setting;
    return status;
}

} // namespace sim
