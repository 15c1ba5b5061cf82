// The table of every setting on the page: every column of the sweep's table, the goals column
// moved next to the limits, the answer's row and the station's own marked.
#include "report/sweep_page.h"

#include "report/html_page.h"

namespace sim {

std::string sweepTableHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                           const Recommendation& recommendation, const ChartMark& mark) {
    const SweepTable cells = sweepTable(context, rows, recommendation);
    const size_t goals = cells.names.size() - 1; // the last column of the text table
    std::vector<size_t> order = {0, 1, goals};
    for (size_t c = 2; c < goals; c++)
        order.push_back(c);
    auto cellClass = [&](size_t c) {
        return c == goals         ? std::string(" class=\"goals\"")
               : cells.numbers[c] ? std::string(" class=\"n\"")
                                  : "";
    };
    // Group headings: "limits" over the first two, "goals" over its own, then each group as in the
    // text table over its columns.
    std::string out = "<div class=\"scroll\"><table>\n<tr><th colspan=\"2\">" + htmlEscaped(cells.groups[0]) +
                      "</th><th class=\"goals\">" + htmlEscaped(cells.groups[goals]) + "</th>";
    for (size_t c = 2; c < goals;) {
        size_t span = 1;
        while (c + span < goals && cells.groups[c + span].empty())
            span++;
        out += "<th colspan=\"" + std::to_string(span) + "\">" + htmlEscaped(cells.groups[c]) + "</th>";
        c += span;
    }
    out += "</tr>\n<tr>";
    for (size_t c : order)
        out += "<th" + cellClass(c) + ">" + htmlEscaped(cells.names[c]) + "</th>";
    out += "</tr>\n";
    for (size_t r = 0; r < cells.cells.size(); r++) {
        out += static_cast<int32_t>(r) == mark.row      ? "<tr class=\"mark\">"
               : static_cast<int32_t>(r) == mark.nowRow ? "<tr class=\"now\">"
                                                        : "<tr>";
        for (size_t c : order)
            out += "<td" + cellClass(c) + ">" + htmlEscaped(cells.cells[r][c]) + "</td>";
        out += "</tr>\n";
    }
    return out + "</table></div>\n";
}

} // namespace sim
