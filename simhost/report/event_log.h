// The run's events as CSV, one row per track started, for a spreadsheet: station time, entry,
// title, played or skipped, and the rule's reason where the host can tell it.
#pragma once

#include <string>

#include "tuning/run_record.h"

namespace sim {

// The header row, ending in CR LF.
std::string eventLogHeader();

// One event as a CSV row (RFC 4180 quoting), ending in CR LF.
std::string eventLogRow(const RunRecord& record, const TrackEvent& event);

// `text` as one CSV field: quoted when it holds a comma, a quote or a line end, quotes doubled. A
// text starting with =, +, -, @, a tab or a carriage return gets a leading apostrophe, so that a
// spreadsheet shows a title like "=Hit" as text instead of running it as a formula.
std::string csvField(const std::string& text);

// A played track that repeats an artist within the window under another spelling, in words.
std::string letThroughText(const RunRecord& record, const TrackEvent& event);

// The reason for a refusal in words: "artist key "Que" as in "Queen - X", 1 track earlier".
std::string reasonText(const SkipReason& reason);

} // namespace sim
