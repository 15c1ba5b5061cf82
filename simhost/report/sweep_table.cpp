// The sweep's table: one row of cells per setting, with the goals it meets and its part in the
// answer, as the page shows it; and the console's short table, a few rows and columns aligned
// within 80 columns, with a note on how to read them.
#include <algorithm>

#include "report/report.h"
#include "report/sweep_report.h"

namespace {

// Station seconds as minutes to a tenth, or "-" when there is no such gap (-1).
std::string minutesText(double seconds) {
    return seconds < 0 ? std::string("-") : sim::oneDecimalText(seconds / 60.0);
}

// `parts` after an arrow, or "" when there are none.
std::string partsText(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "<- " : ", ") + part;
    return text;
}

// What the goals column says of a row: the goals it meets, and its part in the answer.
std::string goalsCell(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                      const sim::Recommendation& recommendation, int32_t index) {
    const sim::SweepRow& row = rows[static_cast<size_t>(index)];
    std::string cell = sim::sweepGoalsMet(row, context.plan.goal);
    if (row.starved)
        cell += " (starved)";
    const std::string parts = partsText(sim::sweepRowParts(context, rows, recommendation, index, false));
    return parts.empty() ? cell : cell + "  " + parts;
}

// The rows the console's short table shows, in the sweep's order: the answer or the choices, the
// safer choice, the settings that switch on a rule the answer leaves off, the station's limits,
// and, beside a recommendation, a few settings spread along the frontier between skips and early
// returns.
std::vector<int32_t> shortTableRows(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                                    const sim::Recommendation& recommendation) {
    std::vector<int32_t> shown = recommendation.choices;
    for (int32_t index :
         {recommendation.recommended, recommendation.nearest, recommendation.replayed, recommendation.safer,
          recommendation.artistRuleOn, recommendation.titleRuleOn, sim::stationRow(rows, context.station)})
        shown.push_back(index);
    if (recommendation.choices.empty()) {
        const std::vector<int32_t> frontier = sim::tradeOffFrontier(rows, context.plan.goal);
        const size_t spread = std::min(frontier.size(), sim::kShortTableFrontier);
        for (size_t i = 0; i < spread; i++)
            shown.push_back(frontier[spread < 2 ? 0 : i * (frontier.size() - 1) / (spread - 1)]);
    }
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    shown.erase(shown.begin(), std::upper_bound(shown.begin(), shown.end(), -1));
    return shown;
}

// `table` aligned in columns, each group's name over its columns, lines without trailing blanks.
std::string alignedText(const sim::SweepTable& table) {
    const size_t columns = table.names.size();
    std::vector<size_t> widths(columns);
    for (size_t c = 0; c < columns; c++) {
        widths[c] = table.names[c].size();
        for (const std::vector<std::string>& cells : table.cells)
            widths[c] = std::max(widths[c], cells[c].size());
    }
    // A group's name runs over its columns, which share out what it needs beyond them.
    std::vector<size_t> groupEnds(columns); // the last column of the group each column begins
    for (size_t c = 0; c < columns; c++) {
        size_t last = c, span = widths[c];
        while (last + 1 < columns && table.groups[last + 1].empty())
            span += 2 + widths[++last];
        groupEnds[c] = last;
        for (size_t extra = table.groups[c].size() > span ? table.groups[c].size() - span : 0, k = last;
             extra > 0; extra--, k = k == c ? last : k - 1)
            widths[k]++;
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
    return out + "\n";
}

} // namespace

namespace sim {

std::string sweepGoalsMet(const SweepRow& row, const SweepGoal& goal) {
    if (meetsEveryGoal(row))
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

// Each part once, in this order: the answer (or the choice), the safer choice nearby, the station's
// limits now.
std::vector<std::string> sweepRowParts(const SweepContext& context, const std::vector<SweepRow>& rows,
                                       const Recommendation& recommendation, int32_t index, bool brief) {
    std::vector<std::string> parts;
    const bool choice = std::find(recommendation.choices.begin(), recommendation.choices.end(), index) !=
                        recommendation.choices.end();
    if (index == recommendation.recommended)
        parts.push_back("recommended");
    else if (index == recommendation.nearest)
        parts.push_back(brief ? "nearest" : "choice, nearest the goals");
    else if (index == recommendation.replayed)
        parts.push_back(brief ? "unconfirmed"
                              : "replayed, not confirmed"); // confirmed is one of the two above
    else if (choice)
        parts.push_back("choice");
    if (index == recommendation.safer)
        parts.push_back(brief ? "safer" : "safer nearby");
    if (index == stationRow(rows, context.station))
        parts.push_back("now");
    return parts;
}

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
        cells.push_back(goalsCell(context, rows, recommendation, static_cast<int32_t>(i)));
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
    const SweepGoal& goal = context.plan.goal;
    const bool titles = goal.titleGapHours > 0;
    SweepTable table;
    table.groups = {"limits", "", "skips", titles ? "back early, a day" : "back early"};
    table.names = {"artist", "title", "%", titles ? "artist" : "a day"};
    if (titles) {
        table.groups.push_back("");
        table.names.push_back("title");
    }
    table.groups.insert(table.groups.end(), {"goals", ""});
    table.names.insert(table.names.end(), {"met", ""});
    table.numbers.assign(table.names.size(), true);
    table.numbers[table.names.size() - 2] = table.numbers[table.names.size() - 1] = false;
    const std::vector<int32_t> shown = shortTableRows(context, rows, recommendation);
    for (int32_t index : shown) {
        const SweepRow& row = rows[static_cast<size_t>(index)];
        std::vector<std::string> cells = {limitText(row.setting.artistLimit),
                                          limitText(row.setting.titleLimit), tenthsText(row.skipTenths),
                                          hundredthsText(row.worstArtistPerDay)};
        if (titles)
            cells.push_back(hundredthsText(row.worstTitlePerDay));
        std::vector<std::string> parts = sim::sweepRowParts(context, rows, recommendation, index, true);
        if (row.starved)
            parts.push_back("starved");
        cells.push_back(sim::sweepGoalsMet(row, goal));
        cells.push_back(partsText(parts));
        table.cells.push_back(cells);
    }
    const std::string note =
        "limits: off is a limit of 0, which switches that rule off. skips: the median over the seeds. back "
        "early, a day on the worst seed: an artist sooner than " +
        std::to_string(goal.artistGapMinutes) + " minutes after its start" +
        (titles ? ", the same title sooner than " + countOf(goal.titleGapHours, "hour", "hours")
                : std::string()) +
        ". These " + std::to_string(shown.size()) + " of the " +
        countOf(static_cast<int64_t>(rows.size()), "setting", "settings") +
        " are the answer, your limits now, the choices and a few along the frontier; every setting and every "
        "column: on the page and in the CSV beside it (--report).";
    std::string out = alignedText(table);
    // The note in lines of at most 80 columns, as the table.
    std::string line = " ";
    for (size_t start = 0; start < note.size();) {
        size_t end = note.find(' ', start);
        end = end == std::string::npos ? note.size() : end;
        if (line.size() + 1 + (end - start) > kConsoleColumns - 2) {
            out += line + "\n";
            line = " ";
        }
        line += " " + note.substr(start, end - start);
        start = end + 1;
    }
    out += line + "\n";
    return out;
}

} // namespace sim
