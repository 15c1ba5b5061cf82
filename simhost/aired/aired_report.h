// What went to air as the operator reads it: on the console, as one HTML page (self-contained,
// no scripts, a timeline of skips by hour over the days and the prediction beside the air, every
// text escaped), and as CSV, one row a day, for a spreadsheet.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aired/aired_answer.h"
#include "aired/aired_figures.h"
#include "aired/aired_prediction.h"
#include "aired/played_order.h"

namespace sim {

struct AiredReport {
    std::vector<std::string> files;    // the log's files read, the previous one first
    std::string playlistName;          // the playlist file given, or "" (the log's own titles)
    std::vector<std::string> versions; // of the plug-in, as its start lines give them
    std::vector<std::string> notes;    // what the reading left out and what the history shows, a line each
    AiredScope scope;                  // as asked
    const AiredHistory* history;
    AiredFigures figures;
    PlayedOrder order;
    AiredPrediction prediction;
    AiredAnswer answer;
    std::string rangesLine; // how the limits swept were chosen, when the tool chose them
};

// What the history shows that the operator should know, a line each: holes, starts without a
// shut-down before them, titles the playlist file does not hold, places that changed title.
std::vector<std::string> historyNotes(const AiredHistory& history, const AiredScope& scope);

// The report as console text, ending with a line feed (aired_text.cpp).
std::string renderAiredText(const AiredReport& report);

// The report as one HTML document (aired_html.cpp).
std::string renderAiredHtml(const AiredReport& report);

// One CSV row a day, with a header row; CR LF line ends (aired_csv.cpp).
std::string renderAiredCsv(const AiredReport& report);

// Phrases the renderings share (aired_phrases.cpp).

// "songbeacon-air.log" or "songbeacon-air.log, after songbeacon-air-previous.log"
std::string filesText(const AiredReport& report);
// "2026-12-01 to 2026-12-08" (or one day)
std::string daysText(int64_t fromDay, int64_t toDay);
// The goals, as the sweep's heading says them.
std::string airedGoalText(const SweepGoal& goal);
// "11.7 % of the 2657 tracks started (at most 10.0 %: missed)"
std::string skipRateVerdict(const AiredFigures& figures);
// "13 times, 1.91 a day on air (at most 1: missed)"
std::string earlyArtistVerdict(const AiredFigures& figures);
std::string earlyTitleVerdict(const AiredFigures& figures);
// The limits of a period in words: "SameArtistCheckLimit=14 SameTitleCheckLimit=50" and the filter
// when it is off, or "not known (the log began after the plug-in started)".
std::string periodLimitsText(const AiredPeriod& period);
// How the period began: "the plug-in 0.24b started with them", "changed", "the log begins".
std::string periodBeganText(const AiredPeriod& period, const std::vector<std::string>& versions);
// The name of a compared figure, with its unit: "skip rate, %".
std::string figureName(int32_t figure, const SweepGoal& goal);
// A compared figure's value in its unit: "11.7", "1.91", "7".
std::string figureText(int32_t figure, int64_t value);
// The figures outside the seeds' spread, in a sentence; "" when none is.
std::string outsideText(const PeriodPrediction& period, const SweepGoal& goal);
// How often a figure of a station the model fits falls outside the seeds' spread by chance alone.
std::string chanceText(const AiredPrediction& prediction);
// What the log shows of the player's order, in a sentence.
std::string orderText(const PlayedOrder& order);
// Whether the tool's model fits, in a sentence that begins "the model".
std::string modelText(const PlayedOrder& order, const AiredHistory& history);
// What the recommendation from history was swept over, in a line.
std::string answerHeadingText(const AiredAnswer& answer);

} // namespace sim
