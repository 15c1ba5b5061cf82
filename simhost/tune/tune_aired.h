// songbeacon-tune reading what went to air: an air log dropped on it, named on its command line or
// chosen in its Open dialog, recognised by its first line, with a playlist beside it when one is
// given too. The report and the page are the player's (--aired); the tool adds the ranges it suits
// to the titles, its own folder for the page, and the words for the plug-in's dialog.
#pragma once

#include <string>

#include "cli/sweep_main.h"
#include "tune/tune_plan.h"

namespace sim {

// True when the file at `path` begins as an air log.
bool isAirLog(const std::string& path);

// Reads `log`, with `playlist` when not empty, as `command` asks, the page going to `page` unless
// the command names another; `answer` gets the limits recommended from the history. Returns the
// exit status.
int tuneAired(const TuneCommand& command, const std::string& log, const std::string& playlist,
              const std::string& page, SweepAnswer* answer);

} // namespace sim
