// The sweep's whole table as CSV, for a spreadsheet: every setting and every figure the page's
// table shows, as plain numbers (a limit of 0 as 0, a gap that did not occur as an empty field),
// beside the page, as the console shows only a few rows of it.
#include "report/event_log.h"
#include "report/sweep_report.h"

namespace sim {

std::string renderSweepCsv(const SweepContext& context, const std::vector<SweepRow>& rows,
                           const Recommendation& recommendation) {
    const bool titles = context.plan.goal.titleGapHours > 0;
    std::string out = "artist_limit,title_limit,skip_median_pct,skip_worst_pct,skips_in_a_row,"
                      "artist_early_per_day,artist_early_returns,unpreventable,title_early_per_day,"
                      "artist_gap_shortest_min,artist_gap_median_min,misjudged,goals_met,starved,part\r\n";
    auto minutes = [](double seconds) {
        return seconds < 0 ? std::string() : oneDecimalText(seconds / 60.0);
    };
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        std::string parts;
        for (const std::string& part :
             sweepRowParts(context, rows, recommendation, static_cast<int32_t>(i), false))
            parts += (parts.empty() ? "" : "; ") + part;
        const bool returned = row.shortestGapSeconds >= 0;
        const std::string fields[] = {
            std::to_string(row.setting.artistLimit),
            std::to_string(row.setting.titleLimit),
            tenthsText(row.skipTenths),
            tenthsText(row.worstSkipTenths),
            std::to_string(row.longestSkipRun),
            hundredthsText(row.worstArtistPerDay),
            std::to_string(row.earlyArtist),
            std::to_string(row.unpreventable),
            titles ? hundredthsText(row.worstTitlePerDay) : std::string(),
            minutes(returned ? static_cast<double>(row.shortestGapSeconds) : -1.0),
            minutes(returned ? row.medianGapSeconds : -1.0),
            std::to_string(row.misjudged),
            sweepGoalsMet(row, context.plan.goal),
            row.starved ? "yes" : "no",
            parts,
        };
        std::string line;
        for (const std::string& field : fields)
            line += (line.empty() ? "" : ",") + csvField(field);
        out += line + "\r\n";
    }
    return out;
}

} // namespace sim
