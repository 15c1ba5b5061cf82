// What went to air as CSV, one row a day, for a spreadsheet: the day's counts, its time on air,
// the limits in force at its end, and what the log could not tell.
#include "aired/aired_report.h"
#include "report/event_log.h"

namespace sim {

std::string renderAiredCsv(const AiredReport& report) {
    const AiredFigures& figures = report.figures;
    std::string out = "day,played,skipped,skip_rate_percent,artist_early,title_early,other_spelling,"
                      "longest_skip_run,seconds_on_air,lines_unknown,artist_limit,title_limit,filter\r\n";
    size_t period = 0;
    for (const AiredDay& day : figures.days) {
        const AiredCounts& counts = day.counts;
        const int64_t started = static_cast<int64_t>(counts.played) + counts.skipped;
        // The limits in force at the day's end: the last period that began before it ended.
        while (period + 1 < figures.periods.size() &&
               localDay(figures.periods[period + 1].period.from) <= day.day)
            period++;
        std::string limits = ",,";
        if (!figures.periods.empty() && figures.periods[period].period.known) {
            const RuleLimits& inForce = figures.periods[period].period.limits;
            limits = std::to_string(inForce.artistLimit) + "," + std::to_string(inForce.titleLimit) + "," +
                     (inForce.monitoring ? "on" : "off");
        }
        out += csvField(dayText(day.day)) + "," + std::to_string(counts.played) + "," +
               std::to_string(counts.skipped) + "," +
               (started > 0 ? tenthsText(rateTenths(static_cast<double>(counts.skipped) / started)) : "") +
               "," + std::to_string(counts.earlyArtist) + "," + std::to_string(counts.earlyTitle) + "," +
               std::to_string(counts.unpreventable) + "," + std::to_string(counts.longestSkipRun) + "," +
               std::to_string(counts.airMs / 1000) + "," + std::to_string(counts.unknownLines) + "," +
               limits + "\r\n";
    }
    return out;
}

} // namespace sim
