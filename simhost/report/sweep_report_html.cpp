// The sweep as one HTML page that opens anywhere, off-line: the answer, the replay, pictures of the
// whole sweep (inline SVG) and the table. A grid of both limits is drawn as a map per goal, the skip
// rate and the early returns of an artist (and of a title, when titles are judged) a day over every
// pair of limits; a sweep of one limit as two curves against it. A trade-off chart shows every
// setting as a dot, skip rate against early returns, with the frontier joined; the settings that
// starve the rotation are named under it instead. Every label sits outside the plots or in its own
// cell, so that none crosses another. No script, no link; every text is escaped.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "report/html_page.h"
#include "report/report.h"
#include "report/sweep_report.h"
#include "report/sweep_starving.h"

namespace {

constexpr int kCurveWidth = 720, kLeft = 64, kRight = 24;
constexpr int kPanelHeight = 190, kPanelGap = 64, kTop = 30;
constexpr int kMapWidth = 1000, kMapLeft = 64, kMapCellHeightMost = 30, kMapPlotHeightMost = 300;
constexpr int kTradeWidth = 720, kTradeHeight = 420, kTradeTop = 20, kTradeBottom = 56;
constexpr char kLineColour[] = "#2f6f9f", kSpreadColour[] = "#8fb3d1", kGoalColour[] = "#8a3b00",
               kMarkColour[] = "#d9822b", kDotColour[] = "#7a8896";

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:1140px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #c8d3de}"
    "svg{display:block;max-width:100%;height:auto}"
    ".scroll{overflow-x:auto;max-width:100%;border:1px solid #e3e9ef}"
    "table{border-collapse:collapse;font-size:14px}td,th{padding:2px 8px 2px 4px;text-align:left;"
    "vertical-align:bottom;white-space:nowrap;background:#fff}"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}tr.mark td{background:#fbe7d3}"
    "td.goals,th.goals{border-right:1px solid #c8d3de}"
    ".run{color:#4a5868;margin:0}.warn{color:#8a3b00}.note{color:#4a5868;font-size:13px}"
    ".big{font-size:20px;font-weight:600}.bad{color:#a01818;font-weight:600}";

// `pattern` (one of this file's literal patterns) filled in with numbers and short texts; the result
// is at most 511 bytes, so nothing of unbounded length goes through here.
template <typename... Values>
std::string printed(const char* pattern, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// The smallest of 1, 2, 5, 10, 20, 50, ... at least `value`.
double niceCeiling(double value) {
    for (double scale = 1.0;; scale *= 10.0)
        for (double step : {1.0, 2.0, 5.0})
            if (step * scale >= value)
                return step * scale;
}

// The end of an axis that reaches `value`: a whole number of steps of 1, 2, 5, 10, 20, ..., about
// five of them, so that little of the axis is empty.
double axisEnd(double value) {
    const double step = niceCeiling(value / 5.0);
    return std::ceil(value / step) * step;
}

// A number as the charts write it: whole when it is, else to a tenth.
std::string decimal(double value) {
    return printed(value == std::floor(value) ? "%.0f" : "%.1f", value);
}

// "9 / 50", a limit of 0 written "off".
std::string pairText(sim::SweepSetting setting) {
    return sim::limitText(setting.artistLimit) + " / " + sim::limitText(setting.titleLimit);
}

// The setting the pictures mark, and in what words.
struct Mark {
    int32_t row; // -1: none
    std::string label;
};

// The marked setting (standing_answer.h decides which, and how it stands) in words.
Mark markOf(const sim::MarkedSetting& marked, const std::vector<sim::SweepRow>& rows) {
    if (marked.row < 0)
        return {-1, std::string()};
    const std::string setting = pairText(rows[static_cast<size_t>(marked.row)].setting);
    switch (marked.standing) {
    case sim::kRecommendedStands:
        return {marked.row, "recommended: " + setting};
    case sim::kNearestStands:
        return {marked.row, "nearest the goals: " + setting};
    case sim::kReplayDisagreed:
        return {marked.row, "replayed, the plug-in disagreed: " + setting};
    default:
        return {marked.row, "replayed, not confirmed: " + setting};
    }
}

// What one curve shows of a setting: the value and its spread over the seeds.
struct Spread {
    double value, low, high;
};

// One panel of curves: axes and ticks, the goal line (its label above it, right), the
// spread over the seeds as bars, the line through the values and a tick label per limit.
void appendPanel(std::string* out, const std::vector<int32_t>& xs, const std::vector<Spread>& spreads,
                 double goal, const std::string& goalLabel, const std::string& title, int top) {
    double most = std::max(goal, 0.1);
    for (const Spread& spread : spreads)
        most = std::max(most, spread.high);
    const double yMax = niceCeiling(most * 1.1);
    const int plotWidth = kCurveWidth - kLeft - kRight, bottom = top + kPanelHeight;
    const int32_t xLow = xs.front(), xHigh = xs.back();
    auto xOf = [&](int32_t x) {
        return xHigh == xLow ? kLeft + plotWidth / 2 : kLeft + (x - xLow) * plotWidth / (xHigh - xLow);
    };
    auto yOf = [&](double y) { return bottom - static_cast<int>(std::lround(y / yMax * kPanelHeight)); };
    *out += printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>"
                    "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                    kLeft, bottom, kCurveWidth - kRight, bottom, kLeft, top, kLeft, bottom);
    *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"13\" font-weight=\"600\">", kLeft, top - 8) +
            sim::htmlEscaped(title) + "</text>\n";
    for (double tick : {0.0, yMax / 2, yMax})
        *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n", kLeft - 6,
                        yOf(tick) + 4, decimal(tick).c_str());
    *out += printed("<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                    "stroke-dasharray=\"6 4\"/>\n",
                    kLeft, yOf(goal), kCurveWidth - kRight, yOf(goal), kGoalColour);
    // Above the goal's line at its right end: the scale reaches a tenth past the goal, so this stays
    // below the panel's title.
    *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\" fill=\"%s\">",
                    kCurveWidth - kRight, yOf(goal) - 4, kGoalColour) +
            sim::htmlEscaped(goalLabel) + "</text>\n";
    std::string line;
    for (size_t i = 0; i < xs.size(); i++) {
        const Spread& spread = spreads[i];
        const int x = xOf(xs[i]);
        *out += printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"5\"/>"
                        "<circle cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"%s\"/>\n",
                        x, yOf(spread.low), x, yOf(spread.high), kSpreadColour, x, yOf(spread.value),
                        kLineColour);
        line += (line.empty() ? "" : " ") + std::to_string(x) + "," + std::to_string(yOf(spread.value));
    }
    *out += "<polyline points=\"" + line + "\" fill=\"none\" stroke=\"" + kLineColour + "\"/>\n";
    const size_t labelStep = (xs.size() + 15) / 16;
    for (size_t i = 0; i < xs.size(); i++)
        if (i % labelStep == 0 || i + 1 == xs.size())
            *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                            xOf(xs[i]), bottom + 15, sim::limitText(xs[i]).c_str());
}

// A sweep of one limit: the skip rate above, the early returns of an artist a day below, both
// against the limit, the marked setting as a line across both and named under the chart.
std::string curves(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                   const Mark& mark) {
    const bool alongTitle = context.plan.artistLimits.size() == 1 && context.plan.titleLimits.size() > 1;
    const sim::SweepGoal& goal = context.plan.goal;
    std::vector<int32_t> xs;
    std::vector<Spread> skips, returns;
    for (const sim::SweepRow& row : rows) {
        xs.push_back(alongTitle ? row.setting.titleLimit : row.setting.artistLimit);
        skips.push_back(
            {row.skipTenths / 10.0, sim::rateTenths(row.lowestSkipRate) / 10.0, row.worstSkipTenths / 10.0});
        int32_t best = row.worstArtistPerDay;
        for (const sim::SeedFigures& seed : row.seeds)
            best = std::min(best, seed.artistPerDay);
        returns.push_back({row.worstArtistPerDay / 100.0, best / 100.0, row.worstArtistPerDay / 100.0});
    }
    const int height = kTop + 2 * kPanelHeight + kPanelGap + 64;
    std::string out = printed("<svg class=\"curves\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                              "role=\"img\" aria-label=\"Skip rate and early returns against the limit\">\n",
                              kCurveWidth, height, kCurveWidth, height);
    appendPanel(&out, xs, skips, goal.maxSkipTenths / 10.0,
                "goal: at most " + sim::tenthsText(goal.maxSkipTenths) + " %",
                "skip rate, %: median over the seeds, bar to the lowest and highest", kTop);
    appendPanel(&out, xs, returns, goal.perDayHundredths / 100.0,
                "goal: " + sim::allowanceText(goal.perDayHundredths),
                "artist back within " + std::to_string(goal.artistGapMinutes) +
                    " min, a day: the worst seed, bar to the best",
                kTop + kPanelHeight + kPanelGap);
    const int plotWidth = kCurveWidth - kLeft - kRight;
    if (mark.row >= 0) {
        const sim::SweepSetting& setting = rows[static_cast<size_t>(mark.row)].setting;
        const int32_t x = alongTitle ? setting.titleLimit : setting.artistLimit;
        const int px = xs.back() == xs.front()
                           ? kLeft + plotWidth / 2
                           : kLeft + (x - xs.front()) * plotWidth / (xs.back() - xs.front());
        out += printed("<line class=\"mark\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                       "stroke-width=\"2\" opacity=\"0.8\"/>\n",
                       px, kTop, px, kTop + 2 * kPanelHeight + kPanelGap, kMarkColour);
    }
    const std::string axis = alongTitle ? "SameTitleCheckLimit (SameArtistCheckLimit " +
                                              sim::limitText(context.plan.artistLimits.front()) + ")"
                                        : "SameArtistCheckLimit (SameTitleCheckLimit " +
                                              sim::limitText(context.plan.titleLimits.front()) + ")";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">", kLeft + plotWidth / 2,
                   height - 26) +
           sim::htmlEscaped(axis) + "</text>\n";
    if (mark.row >= 0)
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", kLeft,
                       height - 6, kMarkColour) +
               "| " + sim::htmlEscaped(mark.label) + "</text>\n";
    return out + "</svg>\n";
}

// A colour from pale to dark blue for `share` (0..1) of the map's range.
std::string shade(double share) {
    share = std::min(1.0, std::max(0.0, share));
    const int r = static_cast<int>(std::lround(244 + (31 - 244) * share));
    const int g = static_cast<int>(std::lround(248 + (78 - 248) * share));
    const int b = static_cast<int>(std::lround(251 + (121 - 251) * share));
    return printed("#%02x%02x%02x", r, g, b);
}

// One map of the grid: a cell per setting, artist limit across and title limit down, coloured by
// `figure` (and written in it when the cell is wide enough, always in its tooltip); the edges
// between a setting that meets `meets` and one that does not drawn thick, as the goal's boundary;
// the marked setting ringed.
template <typename Figure, typename Text, typename Meets>
std::string gridMap(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                    const Mark& mark, const std::string& title, Figure figure, Text figureText, Meets meets) {
    const std::vector<int32_t>& artists = context.plan.artistLimits;
    const std::vector<int32_t>& titles = context.plan.titleLimits;
    const int columns = static_cast<int>(artists.size()), lines = static_cast<int>(titles.size());
    const int cellWidth = std::max(4, (kMapWidth - kMapLeft - 16) / columns);
    const int cellHeight = std::max(6, std::min(kMapCellHeightMost, kMapPlotHeightMost / lines));
    const int top = 30, plotHeight = cellHeight * lines, width = kMapLeft + cellWidth * columns + 16;
    const int height = top + plotHeight + 62;
    // The shade follows the square root of the figure, so that a few extreme settings (a starving
    // title limit) do not leave every other cell the same pale colour.
    double most = 0;
    for (const sim::SweepRow& row : rows)
        most = std::max(most, figure(row));
    most = most > 0 ? most : 1.0;
    auto shareOf = [&](double value) { return std::sqrt(std::max(0.0, value) / most); };
    std::string out =
        printed("<svg class=\"map\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" role=\"img\" "
                "aria-label=\"",
                width, height, width, height) +
        sim::htmlEscaped(title) + "\">\n";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"13\" font-weight=\"600\">", kMapLeft, top - 10) +
           sim::htmlEscaped(title) + "</text>\n";
    // Rows are in artist-then-title order: the cell of artist column a and title line t.
    auto rowAt = [&](int a, int t) -> const sim::SweepRow& {
        return rows[static_cast<size_t>(a * lines + t)];
    };
    // Five characters ("27.98") fit a cell of 28 pixels at 9 pixels a character's height.
    const bool writeFigures = cellWidth >= 28 && cellHeight >= 14;
    const int figureSize = cellWidth >= 34 ? 10 : 9;
    for (int a = 0; a < columns; a++)
        for (int t = 0; t < lines; t++) {
            const sim::SweepRow& row = rowAt(a, t);
            const double value = figure(row);
            const int x = kMapLeft + a * cellWidth, y = top + t * cellHeight;
            const std::string text = figureText(row);
            out += printed("<rect class=\"cell\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\">",
                           x, y, cellWidth, cellHeight, shade(shareOf(value)).c_str()) +
                   "<title>" + sim::htmlEscaped(pairText(row.setting) + ": " + text) + "</title></rect>\n";
            // A figure too wide for its cell is written whole ("319" for 319.30), or not at all: it
            // never runs into the next cell. The tooltip always has it exactly.
            std::string shown = text;
            auto fits = [&](const std::string& t) {
                return static_cast<double>(t.size()) * 0.6 * figureSize <= cellWidth - 2;
            };
            if (!fits(shown))
                shown = shown.substr(0, shown.find('.'));
            if (writeFigures && fits(shown))
                out += printed(
                    "<text class=\"figure\" x=\"%d\" y=\"%d\" font-size=\"%d\" text-anchor=\"middle\" "
                    "fill=\"%s\">%s</text>\n",
                    x + cellWidth / 2, y + cellHeight / 2 + 4, figureSize,
                    shareOf(value) > 0.6 ? "#ffffff" : "#1d2733", shown.c_str());
        }
    // The goal's boundary: every edge between a cell inside and one outside (or the map's edge).
    std::string path;
    for (int a = 0; a < columns; a++)
        for (int t = 0; t < lines; t++) {
            if (!meets(rowAt(a, t)))
                continue;
            const int x = kMapLeft + a * cellWidth, y = top + t * cellHeight;
            if (a == 0 || !meets(rowAt(a - 1, t)))
                path += printed("M%d %dv%d", x, y, cellHeight);
            if (a + 1 == columns || !meets(rowAt(a + 1, t)))
                path += printed("M%d %dv%d", x + cellWidth, y, cellHeight);
            if (t == 0 || !meets(rowAt(a, t - 1)))
                path += printed("M%d %dh%d", x, y, cellWidth);
            if (t + 1 == lines || !meets(rowAt(a, t + 1)))
                path += printed("M%d %dh%d", x, y + cellHeight, cellWidth);
        }
    if (!path.empty())
        out += "<path class=\"goal\" d=\"" + path + "\" fill=\"none\" stroke=\"" + kGoalColour +
               "\" stroke-width=\"3\"/>\n"; // a long path: not through printed()'s buffer
    if (mark.row >= 0) {
        const int a = mark.row / lines, t = mark.row % lines;
        out += printed("<rect class=\"mark\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                       "stroke=\"%s\" stroke-width=\"3\"/>\n",
                       kMapLeft + a * cellWidth + 2, top + t * cellHeight + 2, cellWidth - 4, cellHeight - 4,
                       kMarkColour);
    }
    // Tick labels: every title limit down the left, the artist limits across, thinned to fit.
    const int labelEvery = std::max(1, (lines * 12 + plotHeight - 1) / plotHeight);
    for (int t = 0; t < lines; t += labelEvery)
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n",
                       kMapLeft - 6, top + t * cellHeight + cellHeight / 2 + 4,
                       sim::limitText(titles[static_cast<size_t>(t)]).c_str());
    const int acrossEvery = std::max(1, 26 / cellWidth + (26 % cellWidth != 0 ? 1 : 0));
    for (int a = 0; a < columns; a += acrossEvery)
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                       kMapLeft + a * cellWidth + cellWidth / 2, top + plotHeight + 14,
                       sim::limitText(artists[static_cast<size_t>(a)]).c_str());
    out +=
        printed("<text x=\"%d\" y=\"%d\" font-size=\"12\">", kMapLeft, top + plotHeight + 34) +
        "SameArtistCheckLimit across, SameTitleCheckLimit down; thick line: where the goal is met</text>\n";
    if (mark.row >= 0)
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", kMapLeft,
                       top + plotHeight + 52, kMarkColour) +
               "ringed: " + sim::htmlEscaped(mark.label) + "</text>\n";
    return out + "</svg>\n";
}

// Which settings the trade-off chart draws: all but those that starve the rotation (they would
// pile up in one corner, and are named under the chart instead); those on the frontier stay, as its
// line passes through them.
std::vector<bool> drawnOnTradeOff(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows) {
    const std::vector<int32_t> frontier = sim::tradeOffFrontier(rows, context.plan.goal);
    std::vector<bool> drawn(rows.size());
    for (size_t i = 0; i < rows.size(); i++)
        drawn[i] = !sim::starvingSetting(context, rows[i]) ||
                   std::find(frontier.begin(), frontier.end(), static_cast<int32_t>(i)) != frontier.end();
    return drawn;
}

// The settings `drawn` as dots, skip rate across (to 100 % at most) and early returns of an artist a
// day up, each scale reaching a little past what it shows; the frontier joined, the goals as dashed
// lines, the choices filled and the marked setting ringed.
std::string tradeOff(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                     const std::vector<bool>& drawn, const sim::Recommendation& recommendation,
                     const Mark& mark) {
    const sim::SweepGoal& goal = context.plan.goal;
    // The scale up reaches the frontier's most early returns (its fewest-skips end): settings with
    // more are worse both ways, and drawn on the top edge, hollow, their figures in their tooltips.
    const std::vector<int32_t> frontier = sim::tradeOffFrontier(rows, goal);
    double mostSkip = goal.maxSkipTenths / 10.0, mostReturns = goal.perDayHundredths / 100.0;
    for (size_t i = 0; i < rows.size(); i++) {
        if (!drawn[i])
            continue;
        mostSkip = std::max(mostSkip, rows[i].skipTenths / 10.0);
        if (frontier.empty())
            mostReturns = std::max(mostReturns, rows[i].worstArtistPerDay / 100.0);
    }
    for (int32_t index : frontier)
        mostReturns = std::max(mostReturns, rows[static_cast<size_t>(index)].worstArtistPerDay / 100.0);
    const double xMax = std::min(100.0, axisEnd(std::max(mostSkip * 1.05, 1.0))); // a rate: 100 % at most
    const double yMax = axisEnd(std::max(mostReturns * 1.05, 1.0));
    const int plotWidth = kTradeWidth - kLeft - kRight, plotHeight = kTradeHeight - kTradeTop - kTradeBottom;
    const int bottom = kTradeTop + plotHeight;
    auto xOf = [&](double x) { return kLeft + static_cast<int>(std::lround(x / xMax * plotWidth)); };
    auto yOf = [&](double y) {
        return bottom - static_cast<int>(std::lround(std::min(y, yMax) / yMax * plotHeight));
    };
    std::string out = printed("<svg class=\"tradeoff\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                              "role=\"img\" aria-label=\"Skip rate against early returns\">\n",
                              kTradeWidth, kTradeHeight, kTradeWidth, kTradeHeight);
    out += printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>"
                   "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                   kLeft, bottom, kTradeWidth - kRight, bottom, kLeft, kTradeTop, kLeft, bottom);
    for (double tick : {0.0, xMax / 2, xMax})
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                       xOf(tick), bottom + 15, decimal(tick).c_str());
    for (double tick : {0.0, yMax / 2, yMax})
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n", kLeft - 6,
                       yOf(tick) + 4, decimal(tick).c_str());
    out += printed("<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                   "stroke-dasharray=\"6 4\"/>"
                   "<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                   "stroke-dasharray=\"6 4\"/>\n",
                   xOf(goal.maxSkipTenths / 10.0), kTradeTop, xOf(goal.maxSkipTenths / 10.0), bottom,
                   kGoalColour, kLeft, yOf(goal.perDayHundredths / 100.0), kTradeWidth - kRight,
                   yOf(goal.perDayHundredths / 100.0), kGoalColour);
    for (size_t i = 0; i < rows.size(); i++) {
        const sim::SweepRow& row = rows[i];
        if (drawn[i])
            out += printed("<circle class=\"setting\" cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"%s\" "
                           "stroke=\"%s\" opacity=\"0.6\">",
                           xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0),
                           row.worstArtistPerDay / 100.0 > yMax ? "none" : kDotColour, kDotColour) +
                   "<title>" + sim::htmlEscaped(sim::settingFiguresText(row)) + "</title></circle>\n";
    }
    std::string line;
    for (int32_t index : frontier) {
        const sim::SweepRow& row = rows[static_cast<size_t>(index)];
        line += (line.empty() ? "" : " ") + std::to_string(xOf(row.skipTenths / 10.0)) + "," +
                std::to_string(yOf(row.worstArtistPerDay / 100.0));
    }
    if (!line.empty())
        out += "<polyline class=\"frontier\" points=\"" + line + "\" fill=\"none\" stroke=\"" + kLineColour +
               "\" stroke-width=\"2\"/>\n";
    for (int32_t index : recommendation.choices) {
        const sim::SweepRow& row = rows[static_cast<size_t>(index)];
        out += printed("<circle class=\"choice\" cx=\"%d\" cy=\"%d\" r=\"5\" fill=\"%s\"/>\n",
                       xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0), kLineColour);
    }
    if (mark.row >= 0) {
        const sim::SweepRow& row = rows[static_cast<size_t>(mark.row)];
        out += printed("<circle class=\"mark\" cx=\"%d\" cy=\"%d\" r=\"9\" fill=\"none\" stroke=\"%s\" "
                       "stroke-width=\"3\"/>\n",
                       xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0), kMarkColour);
    }
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">", kLeft + plotWidth / 2,
                   bottom + 32) +
           "median skip rate, %</text>\n";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" transform=\"rotate(-90 %d %d)\" "
                   "text-anchor=\"middle\">",
                   16, kTradeTop + plotHeight / 2, 16, kTradeTop + plotHeight / 2) +
           "early returns of an artist a day, worst seed</text>\n";
    out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", kLeft,
                   kTradeHeight - 4, kMarkColour) +
           sim::htmlEscaped((mark.row >= 0 ? "ringed: " + mark.label + "; " : std::string()) +
                            "dashed: the goals (at most " + sim::tenthsText(goal.maxSkipTenths) + " %, " +
                            sim::allowanceText(goal.perDayHundredths) + ")") +
           "</text>\n";
    return out + "</svg>\n";
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

// The table of every setting in a box of its own that scrolls sideways, the goals column right
// after the limits so that it is never out of view; the marked setting's row marked.
std::string table(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                  const sim::Recommendation& recommendation, const Mark& mark) {
    const sim::SweepTable cells = sim::sweepTable(context, rows, recommendation);
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
    std::string out = "<div class=\"scroll\"><table>\n<tr><th colspan=\"2\">" +
                      sim::htmlEscaped(cells.groups[0]) + "</th><th class=\"goals\">" +
                      sim::htmlEscaped(cells.groups[goals]) + "</th>";
    for (size_t c = 2; c < goals;) {
        size_t span = 1;
        while (c + span < goals && cells.groups[c + span].empty())
            span++;
        out += "<th colspan=\"" + std::to_string(span) + "\">" + sim::htmlEscaped(cells.groups[c]) + "</th>";
        c += span;
    }
    out += "</tr>\n<tr>";
    for (size_t c : order)
        out += "<th" + cellClass(c) + ">" + sim::htmlEscaped(cells.names[c]) + "</th>";
    out += "</tr>\n";
    for (size_t r = 0; r < cells.cells.size(); r++) {
        out += static_cast<int32_t>(r) == mark.row ? "<tr class=\"mark\">" : "<tr>";
        for (size_t c : order)
            out += "<td" + cellClass(c) + ">" + sim::htmlEscaped(cells.cells[r][c]) + "</td>";
        out += "</tr>\n";
    }
    return out + "</table></div>\n";
}

} // namespace

namespace sim {

std::string renderSweepHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                            const Recommendation& found, const ReplayOutcome& replay) {
    const Recommendation recommendation = standingRecommendation(found, replay);
    const Mark mark = markOf(markedSetting(recommendation, replay), rows);
    const SweepGoal& goal = context.plan.goal;

    std::string body = "<h1>Which limits: a sweep</h1>\n" + paragraphs(renderSweepHeading(context), "run");
    body += "<h2>The answer</h2>\n";
    if (replay.ran && !replay.agreed)
        body += paragraphs("error: " + replayText(replay), "bad");
    else
        body += paragraphs(recommendationText(context, rows, recommendation),
                           recommendation.recommended >= 0 ? "big" : "");
    if (replay.ran && replay.agreed)
        body += paragraphs(replayText(replay), "note");
    body += paragraphs(unpreventableText(context, rows, recommendation), "");
    const bool grid = context.plan.artistLimits.size() > 1 && context.plan.titleLimits.size() > 1;
    if (grid && !rows.empty()) {
        body += "<h2>Every pair of limits</h2>\n";
        body += gridMap(
            context, rows, mark, "median skip rate, %",
            [](const SweepRow& row) { return row.skipTenths / 10.0; },
            [](const SweepRow& row) { return tenthsText(row.skipTenths); },
            [](const SweepRow& row) { return row.meetsSkipGoal; });
        body += gridMap(
            context, rows, mark,
            "early returns of an artist a day (within " + std::to_string(goal.artistGapMinutes) +
                " minutes), worst seed",
            [](const SweepRow& row) { return row.worstArtistPerDay / 100.0; },
            [](const SweepRow& row) { return hundredthsText(row.worstArtistPerDay); },
            [](const SweepRow& row) { return row.meetsArtistGoal; });
        // The third goal has its map too, so that a setting that misses only the title goal is seen
        // outside a boundary, as the answer counts it.
        if (goal.titleGapHours > 0)
            body += gridMap(
                context, rows, mark,
                "early returns of a title a day (within " + countOf(goal.titleGapHours, "hour", "hours") +
                    "), worst seed",
                [](const SweepRow& row) { return row.worstTitlePerDay / 100.0; },
                [](const SweepRow& row) { return hundredthsText(row.worstTitlePerDay); },
                [](const SweepRow& row) { return row.meetsTitleGoal; });
    } else if (!rows.empty()) {
        body += "<h2>Skip rate and early returns against the limit</h2>\n" + curves(context, rows, mark);
    }
    const std::vector<bool> drawn = drawnOnTradeOff(context, rows);
    if (!rows.empty())
        body +=
            "<h2>What each skip buys</h2>\n" + tradeOff(context, rows, drawn, recommendation, mark) +
            "<p class=\"note\">Each dot is a setting; the line joins the frontier: for each level of early "
            "returns, the setting with the fewest skips. Left of the upright dashed line the skip goal is "
            "met; on or below the level one, the artist goal.</p>\n" +
            paragraphs(sim::starvingSettingsText(rows, drawn), "note");
    body += "<h2>Every setting</h2>\n" + table(context, rows, recommendation, mark);
    std::string notes;
    for (const std::string& note : sweepTableNotes(context))
        notes += (notes.empty() ? "" : " ") + note;
    body += "<p class=\"note\">" + htmlEscaped(notes) + "</p>\n";

    return htmlDocument("Sweep: " + context.playlistName, kStyle, body);
}

} // namespace sim
