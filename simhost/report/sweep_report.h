// The sweep as the operator reads it: a heading, one aligned row per setting, the returns no limit
// prevents, the replay through the plug-in, and the recommendation with its reason (or the choice
// when no setting meets every goal); and the same as one HTML page with pictures of the whole
// sweep (inline SVG, no scripts, all escaped).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tuning/recommendation.h"
#include "tuning/run_record.h"
#include "tuning/standing_answer.h"
#include "tuning/station_limits.h"
#include "tuning/sweep.h"

namespace sim {

// What the sweep was asked, for its heading.
struct SweepContext {
    std::string playlistName; // the file name, without its folder
    int32_t entries;
    int64_t rotationSeconds; // station time of one pass with every entry played
    SweepPlan plan;
    std::string repeatCommand;          // the command line that repeats the sweep
    std::vector<std::string> warnings;  // one line each
    std::vector<std::string> spellings; // the playlist's artists as spelt, by id (SweepPlaylist)
    std::vector<std::string> titles;    // the playlist's titles, by entry
    int32_t distinctTitles = 0;         // in the playlist; 0: not known (no setting counts as starving)
    // The station's limits now, evaluated among the settings (plan holds them).
    StationLimits station = {kStationNoIni, {0, 0}, {0, 0}, false, false};
};

// The lines before the table: playlist, length, settings, seeds and goal, warnings
// (sweep_heading.cpp).
std::string renderSweepHeading(const SweepContext& context);

// The settings spread along the frontier that the console's short table shows beside the answer,
// and the width it keeps within, a console window's.
constexpr size_t kShortTableFrontier = 5;
constexpr size_t kConsoleColumns = 80;

// The console's short table, within 80 columns, with a note on how to read it: the answer (or the
// choices), the safer choice, the station's limits and a few settings of the frontier, each with
// its skips, its early returns a day and the goals it meets (sweep_table.cpp). The whole table is
// the page's and the CSV's.
std::string renderSweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                             const Recommendation& recommendation);

// After the table: the early returns no artist limit prevents at the replayed setting, by pair of
// spellings and by title listed twice (its two entries), with the advice that fixes each kind; ""
// when there are none. (This, replayText and differenceText: sweep_replay_text.cpp.)
std::string unpreventableText(const SweepContext& context, const std::vector<SweepRow>& rows,
                              const Recommendation& recommendation);

// One line on the replay: the setting, the seeds and the tracks that agreed (or did not).
std::string replayText(const ReplayOutcome& replay);

// The first difference between the plug-in's record (`real`) and the mirror's, at event `index`
// (as firstDifference gives it), on the order of `seed`, in one line.
std::string differenceText(const RunRecord& real, const RunRecord& mirror, int64_t index, uint64_t seed);

// The line beginning "recommended:" and the reason on the next; or, when no setting meets every
// goal, which goal binds, one line beginning "choice:" for each choice and the rule that picked the
// nearest. Each line ends with a line feed. (sweep_answer_text.cpp)
std::string recommendationText(const SweepContext& context, const std::vector<SweepRow>& rows,
                               const Recommendation& recommendation);

// The whole table as CSV, a header row and one row per setting, each ending in CR LF
// (sweep_csv.cpp).
std::string renderSweepCsv(const SweepContext& context, const std::vector<SweepRow>& rows,
                           const Recommendation& recommendation);

// The whole sweep as one HTML document (sweep_report_html.cpp).
std::string renderSweepHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                            const Recommendation& recommendation, const ReplayOutcome& replay);

// Shared by the two renderings:

// The table as texts (sweep_table.cpp): per column its group (over several columns), its name and
// whether it is a number (right-aligned); one row of cells per setting.
struct SweepTable {
    std::vector<std::string> groups;
    std::vector<std::string> names;
    std::vector<bool> numbers;
    std::vector<std::vector<std::string>> cells;
};
SweepTable sweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                      const Recommendation& recommendation);

// The goals row `rows[index]` meets, in a word or two: "all", "artist+skips", "-" (sweep_table.cpp).
std::string sweepGoalsMet(const SweepRow& row, const SweepGoal& goal);

// A row's part in the answer, in words ("recommended", "safer nearby", "now"); `brief`: as the
// console's short table says them.
std::vector<std::string> sweepRowParts(const SweepContext& context, const std::vector<SweepRow>& rows,
                                       const Recommendation& recommendation, int32_t index, bool brief);

// How to read the table's columns, as lines of at most 100 characters.
std::vector<std::string> sweepTableNotes(const SweepContext& context);

// The settings and figures in words (sweep_phrases.cpp).

// Why the title goal is not judged when the runs are shorter than one rotation.
extern const char kTitlesUnjudged[];

// Why the artist goal is not judged when nearly every title lacks the "Artist - Title" form.
extern const char kArtistsUnjudged[];

// A number to one decimal place: 4.26 -> "4.3".
std::string oneDecimalText(double value);

// "SameArtistCheckLimit=14 SameTitleCheckLimit=150"
std::string settingText(SweepSetting setting);

// What a setting's limits of 0 mean, in words: " (the artist rule off)", " (both rules off)" or "".
std::string offText(SweepSetting setting);

// A limit as the table and the charts show it: "off" for 0, else the number.
std::string limitText(int32_t limit);

// A setting and its two figures as the trade-off chart shows them: "9 / off: 8.2 % skips, 1.33 a day".
std::string settingFiguresText(const SweepRow& row);

// A rate (0..1) as a percentage to a tenth, half up, as judged: "8.2".
std::string percentText(double rate);

// Tenths as a decimal: 955 -> "95.5".
std::string tenthsText(int64_t tenths);

// Hundredths as a decimal with two places: 133 -> "1.33".
std::string hundredthsText(int64_t hundredths);

// Hundredths as the shortest decimal: 100 -> "1", 50 -> "0.5", 125 -> "1.25".
std::string perDayText(int32_t hundredths);

// The allowance of early returns a day in words: "at most 1 time a day", "at most 0 times a day
// (none)".
std::string allowanceText(int32_t hundredths);

} // namespace sim
