// The sweep's table: one row of cells per setting, with the goals it meets and its part in the
// answer, as both renderings show it; aligned in columns for the console, with a note on how to
// read them.
#include <algorithm>

#include "report/sweep_report.h"

namespace {

// Station seconds as minutes to a tenth, or "-" when there is no such gap (-1).
std::string minutesText(double seconds) {
    return seconds < 0 ? std::string("-") : sim::oneDecimalText(seconds / 60.0);
}

// The goals a row meets, in a word or two.
std::string metText(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    if (row.meetsArtistGoal && row.meetsTitleGoal && row.meetsSkipGoal)
        return "all";
    std::string met;
    if (row.meetsArtistGoal && !goal.artistUnjudged)
        met = "artist";
    if (row.meetsTitleGoal && goal.titleGapHours > 0)
        met += met.empty() ? "title" : "+title";
    if (row.meetsSkipGoal)
        met += met.empty() ? "skips" : "+skips";
    return met.empty() ? "-" : met;
}

// What the goals column says of a row: the goals it meets, and its part in the answer.
std::string goalsCell(const sim::SweepRow& row, int32_t index, const sim::SweepGoal& goal,
                      const sim::Recommendation& recommendation) {
    std::string cell = metText(row, goal);
    if (row.starved)
        cell += " (starved)";
    const bool choice = std::find(recommendation.choices.begin(), recommendation.choices.end(), index) !=
                        recommendation.choices.end();
    if (index == recommendation.recommended)
        cell += "  <- recommended";
    else if (index == recommendation.nearest)
        cell += "  <- choice, nearest the goals";
    else if (index == recommendation.replayed)
        cell += "  <- replayed, not confirmed"; // what is confirmed is recommended or nearest
    else if (choice)
        cell += "  <- choice";
    return cell;
}

} // namespace

namespace sim {

SweepTable sweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                      const Recommendation& recommendation) {
    const SweepGoal& goal = context.plan.goal;
    const bool titles = goal.titleGapHours > 0;
    SweepTable table;
    auto column = [&](const std::string& group, const std::string& name, bool number) {
        table.groups.push_back(group);
        table.names.push_back(name);
        table.numbers.push_back(number);
    };
    column("limits", "artist", true);
    column("", "title", true);
    column("skips, %", "median", true);
    column("", "worst", true);
    column("", "in a row", true);
    column("artist back < " + std::to_string(goal.artistGapMinutes) + " min", "a day", true);
    column("", "returns", true);
    column("", "unpreventable", true);
    if (titles)
        column("title < " + std::to_string(goal.titleGapHours) + " h", "a day", true);
    column("artist gap, min", "shortest", true);
    column("", "median", true);
    column("rule", "misjudged", true);
    column("goals", "met", false);
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        std::vector<std::string> cells = {
            limitText(row.setting.artistLimit), limitText(row.setting.titleLimit),
            tenthsText(row.skipTenths),         tenthsText(row.worstSkipTenths),
            std::to_string(row.longestSkipRun), hundredthsText(row.worstArtistPerDay),
            std::to_string(row.earlyArtist),    std::to_string(row.unpreventable),
        };
        if (titles)
            cells.push_back(hundredthsText(row.worstTitlePerDay));
        cells.push_back(minutesText(static_cast<double>(row.shortestGapSeconds)));
        cells.push_back(row.shortestGapSeconds >= 0 ? minutesText(row.medianGapSeconds) : "-");
        cells.push_back(std::to_string(row.misjudged));
        cells.push_back(goalsCell(row, static_cast<int32_t>(i), goal, recommendation));
        table.cells.push_back(cells);
    }
    return table;
}

std::vector<std::string> sweepTableNotes(const SweepContext& context) {
    const SweepGoal& goal = context.plan.goal;
    const std::string minutes = std::to_string(goal.artistGapMinutes);
    std::vector<std::string> notes = {
        "limits: off is a limit of 0, which switches that rule off.",
        "skips: the share of tracks started that the plug-in refused, the median over the seeds and the",
        "worst seed (as judged: to a tenth, half up); in a row: the longest run of skips on any seed.",
        "artist back < " + minutes + " min: returns of an artist sooner than " + minutes +
            " minutes after its previous start;",
        "a day: per 24 hours of station time on the worst seed (the goal: " +
            allowanceText(goal.perDayHundredths) + "); returns: all",
        "seeds; unpreventable: returns no limit prevents, under a spelling whose first characters differ",
        "from every play of the artist within the gap, or a title listed twice played right after itself:",
        "listed below, and never held against a setting.",
    };
    if (goal.titleGapHours > 0)
        notes.push_back("title < " + std::to_string(goal.titleGapHours) +
                        " h a day: likewise the same whole title, on the worst seed.");
    notes.push_back(
        "artist gap: minutes from start to start, the shortest on any seed and the median of the");
    notes.push_back(
        "seeds' medians. misjudged: refusals of an artist not played within the window, mistaken");
    notes.push_back("by the rule's three-letter key. goals met: all, or which of artist, title and skips.");
    return notes;
}

std::string renderSweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                             const Recommendation& recommendation) {
    const SweepTable table = sweepTable(context, rows, recommendation);
    const size_t columns = table.names.size();
    std::vector<size_t> widths(columns);
    for (size_t c = 0; c < columns; c++) {
        widths[c] = table.names[c].size();
        for (const std::vector<std::string>& cells : table.cells)
            widths[c] = std::max(widths[c], cells[c].size());
    }
    // A group's name runs over its columns; the last of them widens when the name is longer.
    std::vector<size_t> groupEnds(columns); // the last column of the group each column begins
    for (size_t c = 0; c < columns; c++) {
        size_t last = c, span = widths[c];
        while (last + 1 < columns && table.groups[last + 1].empty())
            span += 2 + widths[++last];
        groupEnds[c] = last;
        if (table.groups[c].size() > span)
            widths[last] += table.groups[c].size() - span;
    }
    std::string out;
    for (size_t c = 0; c < columns; c = groupEnds[c] + 1) {
        size_t span = widths[c];
        for (size_t k = c + 1; k <= groupEnds[c]; k++)
            span += 2 + widths[k];
        out += table.groups[c] + std::string(span - table.groups[c].size() + 2, ' ');
    }
    auto appendLine = [&](const std::vector<std::string>& texts) {
        out.erase(out.find_last_not_of(' ') + 1);
        out += "\n";
        for (size_t c = 0; c < columns; c++) {
            const std::string padding(widths[c] - texts[c].size(), ' ');
            out += table.numbers[c] ? padding + texts[c] : texts[c] + padding;
            out += "  ";
        }
    };
    appendLine(table.names);
    for (const std::vector<std::string>& cells : table.cells)
        appendLine(cells);
    out.erase(out.find_last_not_of(' ') + 1);
    out += "\n";
    for (const std::string& note : sweepTableNotes(context))
        out += "  " + note + "\n";
    return out;
}

} // namespace sim
