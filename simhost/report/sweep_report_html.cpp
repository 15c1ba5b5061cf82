// The sweep as one HTML page that opens anywhere, off-line: the recommendation, the replay, a chart
// of the skip rate and the artist gap against the limit (inline SVG), and the table. No script, no
// link; every text is escaped.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/html_page.h"
#include "report/sweep_report.h"

namespace {

constexpr int kWidth = 720, kLeft = 64, kRight = 24;
constexpr int kPanelHeight = 190, kPanelGap = 78, kTop = 34;
constexpr char kLineColour[] = "#2f6f9f", kSpreadColour[] = "#8fb3d1", kGoalColour[] = "#8a3b00",
               kMarkColour[] = "#d9822b";

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:980px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #c8d3de}"
    "table{border-collapse:collapse}td,th{padding:2px 8px 2px 0;text-align:left;vertical-align:bottom;"
    "white-space:nowrap}"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}tr.mark{background:#fbe7d3}"
    ".run{color:#4a5868;margin:0}.warn{color:#8a3b00}.note{color:#4a5868;font-size:13px}"
    ".big{font-size:20px;font-weight:600}.bad{color:#a01818;font-weight:600}";

// One point of the chart: a setting's place on the x axis and its row.
struct Point {
    int32_t x;
    const sim::SweepRow* row;
};

// The smallest of 1, 2, 5, 10, 20, 50, ... at least `value`.
double niceCeiling(double value) {
    for (double scale = 1.0;; scale *= 10.0)
        for (double step : {1.0, 2.0, 5.0})
            if (step * scale >= value)
                return step * scale;
}

// A number as the chart writes it: whole when it is, else to a tenth.
std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%.1f", value);
    return text;
}

// The settings the chart draws, along the limit that varies, and the setting it marks.
std::vector<Point> chartPoints(const sim::SweepPlan& plan, const std::vector<sim::SweepRow>& rows,
                               const sim::SweepRow* marked, bool* alongTitle) {
    *alongTitle = plan.artistLimits.size() == 1 && plan.titleLimits.size() > 1;
    const int32_t titleShown = marked != nullptr ? marked->setting.titleLimit : plan.titleLimits.front();
    std::vector<Point> points;
    for (const sim::SweepRow& row : rows)
        if (*alongTitle)
            points.push_back({row.setting.titleLimit, &row});
        else if (row.setting.titleLimit == titleShown)
            points.push_back({row.setting.artistLimit, &row});
    return points;
}

// The gap that 95 % of the returns reach on each seed of `row`, in minutes (seeds with returns).
std::vector<double> gapsReached(const sim::SweepRow& row) {
    std::vector<double> minutes;
    for (const sim::SeedFigures& seed : row.seeds)
        if (seed.gapReachedBy95 >= 0)
            minutes.push_back(static_cast<double>(seed.gapReachedBy95) / 60.0);
    return minutes;
}

// What one panel shows of a point: the line's value and the spread over the seeds.
struct Spread {
    double value, low, high;
    bool known;
};

// One panel: axes and ticks, the goal line, the spread over the seeds as whiskers, the line
// through the values and the marked setting. `top` is the panel's top edge.
void appendPanel(std::string* out, const std::vector<Point>& points, const std::vector<Spread>& spreads,
                 double goal, const std::string& goalLabel, const std::string& title, int top) {
    double most = goal;
    for (const Spread& spread : spreads)
        if (spread.known)
            most = std::max(most, spread.high);
    const double yMax = niceCeiling(most * 1.1 > 0 ? most * 1.1 : 1.0);
    const int plotWidth = kWidth - kLeft - kRight, bottom = top + kPanelHeight;
    const int32_t xLow = points.front().x, xHigh = points.back().x;
    auto xOf = [&](int32_t x) {
        return xHigh == xLow ? kLeft + plotWidth / 2 : kLeft + (x - xLow) * plotWidth / (xHigh - xLow);
    };
    auto yOf = [&](double y) { return bottom - static_cast<int>(std::lround(y / yMax * kPanelHeight)); };
    char piece[512];
    std::snprintf(piece, sizeof piece,
                  "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>"
                  "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                  kLeft, bottom, kWidth - kRight, bottom, kLeft, top, kLeft, bottom);
    *out += piece;
    *out += "<text x=\"" + std::to_string(kLeft) + "\" y=\"" + std::to_string(top - 10) +
            "\" font-size=\"13\" font-weight=\"600\">" + sim::htmlEscaped(title) + "</text>\n";
    for (double tick : {0.0, yMax / 2, yMax}) {
        std::snprintf(piece, sizeof piece,
                      "<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n", kLeft - 6,
                      yOf(tick) + 4, decimal(tick).c_str());
        *out += piece;
    }
    std::snprintf(piece, sizeof piece,
                  "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-dasharray=\"6 4\"/>"
                  "<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\" fill=\"%s\">",
                  kLeft, yOf(goal), kWidth - kRight, yOf(goal), kGoalColour, kWidth - kRight, yOf(goal) - 4,
                  kGoalColour);
    *out += piece + sim::htmlEscaped(goalLabel) + "</text>\n";

    std::string line;
    for (size_t i = 0; i < points.size(); i++) {
        const Spread& spread = spreads[i];
        if (!spread.known)
            continue;
        const int x = xOf(points[i].x);
        std::snprintf(piece, sizeof piece,
                      "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"5\"/>"
                      "<circle cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"%s\"/>\n",
                      x, yOf(spread.low), x, yOf(spread.high), kSpreadColour, x, yOf(spread.value),
                      kLineColour);
        *out += piece;
        line += (line.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(yOf(spread.value));
    }
    if (!line.empty())
        *out += "<polyline points=\"" + line + "\" fill=\"none\" stroke=\"" + kLineColour + "\"/>\n";
    const size_t labelStep = (points.size() + 15) / 16;
    for (size_t i = 0; i < points.size(); i++)
        if (i % labelStep == 0 || i + 1 == points.size()) {
            std::snprintf(piece, sizeof piece,
                          "<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%d</text>\n",
                          xOf(points[i].x), bottom + 15, static_cast<int>(points[i].x));
            *out += piece;
        }
}

// The chart: the skip rate above, the artist gap below, the marked setting across both.
std::string chart(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                  const sim::SweepRow* marked, const std::string& markLabel) {
    bool alongTitle = false;
    const std::vector<Point> points = chartPoints(context.plan, rows, marked, &alongTitle);
    if (points.empty())
        return std::string();
    const sim::SweepGoal& goal = context.plan.goal;
    std::vector<Spread> skips, gaps;
    for (const Point& point : points) {
        const sim::SweepRow& row = *point.row;
        skips.push_back(
            {row.medianSkipRate * 100, row.lowestSkipRate * 100, row.highestSkipRate * 100, true});
        std::vector<double> reached = gapsReached(row);
        std::sort(reached.begin(), reached.end());
        gaps.push_back(reached.empty() ? Spread{0, 0, 0, false}
                                       : Spread{reached.front(), reached.front(), reached.back(), true});
    }
    const int height = kTop + 2 * kPanelHeight + kPanelGap + 44;
    std::string out = "<svg width=\"" + std::to_string(kWidth) + "\" height=\"" + std::to_string(height) +
                      "\" viewBox=\"0 0 " + std::to_string(kWidth) + " " + std::to_string(height) +
                      "\" role=\"img\" aria-label=\"Skip rate and artist gap against the limit\">\n";
    appendPanel(&out, points, skips, goal.maxSkipPercent,
                "goal: at most " + decimal(goal.maxSkipPercent) + " %",
                "skip rate, %: median over the seeds, bar from the lowest to the highest", kTop);
    appendPanel(&out, points, gaps, goal.artistGapMinutes,
                "goal: " + std::to_string(goal.artistGapMinutes) + " minutes",
                "artist gap that 95 % of returns reach, minutes: the worst seed, bar to the best",
                kTop + kPanelHeight + kPanelGap);
    if (marked != nullptr) {
        const int32_t xLow = points.front().x, xHigh = points.back().x;
        const int32_t x = alongTitle ? marked->setting.titleLimit : marked->setting.artistLimit;
        const int plotWidth = kWidth - kLeft - kRight;
        const int px =
            xHigh == xLow ? kLeft + plotWidth / 2 : kLeft + (x - xLow) * plotWidth / (xHigh - xLow);
        char piece[256];
        std::snprintf(piece, sizeof piece,
                      "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"2\" "
                      "opacity=\"0.8\"/><text x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">",
                      px, kTop, px, kTop + 2 * kPanelHeight + kPanelGap, kMarkColour, px + 4,
                      kTop + kPanelHeight + 30, kMarkColour);
        out += piece + sim::htmlEscaped(markLabel) + "</text>\n";
    }
    const std::string axis = alongTitle ? "SameTitleCheckLimit (SameArtistCheckLimit " +
                                              std::to_string(context.plan.artistLimits.front()) + ")"
                                        : "SameArtistCheckLimit (SameTitleCheckLimit " +
                                              std::to_string(points.front().row->setting.titleLimit) + ")";
    out += "<text x=\"" + std::to_string(kLeft + (kWidth - kLeft - kRight) / 2) + "\" y=\"" +
           std::to_string(height - 6) + "\" font-size=\"12\" text-anchor=\"middle\">" +
           sim::htmlEscaped(axis) + "</text>\n</svg>\n";
    return out;
}

// The lines of `text` as paragraphs of class `css`, escaped; a line starting with "warning: " as a
// warning, an indented one (a reason, a command) plain.
std::string paragraphs(const std::string& text, const char* css) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.compare(0, 3, "== ") == 0)
            line.erase(0, 3);
        const bool warning = line.compare(0, 9, "warning: ") == 0;
        const bool indented = line.compare(0, 2, "  ") == 0;
        out += std::string("<p class=\"") +
               (warning    ? "warn"
                : indented ? ""
                           : css) +
               "\">" + sim::htmlEscaped(line) + "</p>\n";
        start = end + 1;
    }
    return out;
}

// The table of every setting, the recommended (or replayed) row marked.
std::string table(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                  const sim::Recommendation& recommendation) {
    const sim::SweepTable cells = sim::sweepTable(context, rows, recommendation);
    std::string out = "<table>\n<tr>";
    for (size_t c = 0; c < cells.groups.size();) { // each group's name over its columns
        size_t span = 1;
        while (c + span < cells.groups.size() && cells.groups[c + span].empty())
            span++;
        out += "<th colspan=\"" + std::to_string(span) + "\">" + sim::htmlEscaped(cells.groups[c]) + "</th>";
        c += span;
    }
    out += "</tr>\n<tr>";
    for (size_t c = 0; c < cells.names.size(); c++)
        out += std::string(cells.numbers[c] ? "<th class=\"n\">" : "<th>") +
               sim::htmlEscaped(cells.names[c]) + "</th>";
    out += "</tr>\n";
    for (size_t r = 0; r < cells.cells.size(); r++) {
        out += static_cast<int32_t>(r) == recommendation.replayed ? "<tr class=\"mark\">" : "<tr>";
        for (size_t c = 0; c < cells.names.size(); c++)
            out += std::string(cells.numbers[c] ? "<td class=\"n\">" : "<td>") +
                   sim::htmlEscaped(cells.cells[r][c]) + "</td>";
        out += "</tr>\n";
    }
    return out + "</table>\n";
}

} // namespace

namespace sim {

std::string renderSweepHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                            const Recommendation& found, const ReplayOutcome& replay) {
    const Recommendation recommendation = standingRecommendation(found, replay);
    const SweepRow* marked =
        recommendation.replayed >= 0 ? &rows[static_cast<size_t>(recommendation.replayed)] : nullptr;
    const std::string markLabel = marked == nullptr
                                      ? std::string()
                                      : (replay.ran && !replay.agreed ? "replayed, the plug-in disagreed: "
                                         : recommendation.recommended >= 0 ? "recommended: "
                                                                           : "closest by artist: ") +
                                            std::to_string(marked->setting.artistLimit) + " / " +
                                            std::to_string(marked->setting.titleLimit);

    std::string body = "<h1>Which limits: a sweep</h1>\n" + paragraphs(renderSweepHeading(context), "run");
    body += "<h2>The answer</h2>\n";
    if (replay.ran && !replay.agreed)
        body += paragraphs("error: " + replayText(replay), "bad");
    else
        body += paragraphs(recommendationText(context, rows, recommendation),
                           recommendation.recommended >= 0 ? "big" : "");
    if (replay.ran && replay.agreed)
        body += paragraphs(replayText(replay), "note");
    body += "<h2>Skip rate and artist gap against the limit</h2>\n" + chart(context, rows, marked, markLabel);
    body +=
        "<p class=\"note\">Each bar spans the seeds; the dashed lines are the goal. The artist goal holds "
        "where the lower chart's dot is on or above its line: then at least 95 % of returns on every seed "
        "come that many minutes apart.</p>\n";
    body += "<h2>Every setting</h2>\n" + table(context, rows, recommendation);
    std::string notes;
    for (const std::string& note : sweepTableNotes(context))
        notes += (notes.empty() ? "" : " ") + note;
    body += "<p class=\"note\">" + htmlEscaped(notes) + "</p>\n";

    return htmlDocument("Sweep: " + context.playlistName, kStyle, body);
}

} // namespace sim
