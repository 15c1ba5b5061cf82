// What each skip buys, on the page: every setting a dot, its skip rate against its early returns
// of an artist a day, the frontier between the two joined, the goals dashed.
#include "report/sweep_page.h"

#include <algorithm>
#include <cmath>

#include "report/html_page.h"
#include "report/sweep_starving.h"

namespace sim {
namespace {

constexpr int kTradeWidth = 720, kTradeHeight = 440, kTradeTop = 20, kTradeBottom = 76;

} // namespace

std::vector<bool> drawnOnTradeOff(const SweepContext& context, const std::vector<SweepRow>& rows) {
    const std::vector<int32_t> frontier = tradeOffFrontier(rows, context.plan.goal);
    std::vector<bool> drawn(rows.size());
    for (size_t i = 0; i < rows.size(); i++)
        drawn[i] = !starvingSetting(context, rows[i]) ||
                   std::find(frontier.begin(), frontier.end(), static_cast<int32_t>(i)) != frontier.end();
    return drawn;
}

std::string tradeOffChart(const SweepContext& context, const std::vector<SweepRow>& rows,
                          const std::vector<bool>& drawn, const Recommendation& recommendation,
                          const ChartMark& mark) {
    const SweepGoal& goal = context.plan.goal;
    // The scale up reaches the frontier's most early returns (its fewest-skips end): settings with
    // more are worse both ways, and drawn on the top edge, hollow, their figures in their tooltips.
    const std::vector<int32_t> frontier = tradeOffFrontier(rows, goal);
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
    const int plotWidth = kTradeWidth - kChartLeft - kChartRight,
              plotHeight = kTradeHeight - kTradeTop - kTradeBottom;
    const int bottom = kTradeTop + plotHeight;
    auto xOf = [&](double x) { return kChartLeft + static_cast<int>(std::lround(x / xMax * plotWidth)); };
    auto yOf = [&](double y) {
        return bottom - static_cast<int>(std::lround(std::min(y, yMax) / yMax * plotHeight));
    };
    std::string out = printed("<svg class=\"tradeoff\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                              "role=\"img\" aria-label=\"Skip rate against early returns\">\n",
                              kTradeWidth, kTradeHeight, kTradeWidth, kTradeHeight);
    out += printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>"
                   "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                   kChartLeft, bottom, kTradeWidth - kChartRight, bottom, kChartLeft, kTradeTop, kChartLeft,
                   bottom);
    for (double tick : {0.0, xMax / 2, xMax})
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                       xOf(tick), bottom + 15, chartNumber(tick).c_str());
    for (double tick : {0.0, yMax / 2, yMax})
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n",
                       kChartLeft - 6, yOf(tick) + 4, chartNumber(tick).c_str());
    out += printed("<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                   "stroke-dasharray=\"6 4\"/>"
                   "<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                   "stroke-dasharray=\"6 4\"/>\n",
                   xOf(goal.maxSkipTenths / 10.0), kTradeTop, xOf(goal.maxSkipTenths / 10.0), bottom,
                   kGoalColour, kChartLeft, yOf(goal.perDayHundredths / 100.0), kTradeWidth - kChartRight,
                   yOf(goal.perDayHundredths / 100.0), kGoalColour);
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        if (drawn[i])
            out += printed("<circle class=\"setting\" cx=\"%d\" cy=\"%d\" r=\"3\" fill=\"%s\" "
                           "stroke=\"%s\" opacity=\"0.6\">",
                           xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0),
                           row.worstArtistPerDay / 100.0 > yMax ? "none" : kDotColour, kDotColour) +
                   "<title>" + htmlEscaped(settingFiguresText(row)) + "</title></circle>\n";
    }
    std::string line;
    for (int32_t index : frontier) {
        const SweepRow& row = rows[static_cast<size_t>(index)];
        line += (line.empty() ? "" : " ") + std::to_string(xOf(row.skipTenths / 10.0)) + "," +
                std::to_string(yOf(row.worstArtistPerDay / 100.0));
    }
    if (!line.empty())
        out += "<polyline class=\"frontier\" points=\"" + line + "\" fill=\"none\" stroke=\"" + kLineColour +
               "\" stroke-width=\"2\"/>\n";
    for (int32_t index : recommendation.choices) {
        const SweepRow& row = rows[static_cast<size_t>(index)];
        out += printed("<circle class=\"choice\" cx=\"%d\" cy=\"%d\" r=\"5\" fill=\"%s\"/>\n",
                       xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0), kLineColour);
    }
    if (mark.row >= 0) {
        const SweepRow& row = rows[static_cast<size_t>(mark.row)];
        out += printed("<circle class=\"mark\" cx=\"%d\" cy=\"%d\" r=\"9\" fill=\"none\" stroke=\"%s\" "
                       "stroke-width=\"3\"/>\n",
                       xOf(row.skipTenths / 10.0), yOf(row.worstArtistPerDay / 100.0), kMarkColour);
    }
    // The station's own limits, drawn whether or not their dot is (held to the plot's edge).
    if (mark.nowRow >= 0) {
        const SweepRow& row = rows[static_cast<size_t>(mark.nowRow)];
        out += printed("<rect class=\"now\" x=\"%d\" y=\"%d\" width=\"14\" height=\"14\" fill=\"none\" "
                       "stroke=\"%s\" stroke-width=\"2\" stroke-dasharray=\"4 2\">",
                       xOf(std::min(row.skipTenths / 10.0, xMax)) - 7, yOf(row.worstArtistPerDay / 100.0) - 7,
                       kNowColour) +
               "<title>" + htmlEscaped(mark.nowLabel + ": " + settingFiguresText(row)) + "</title></rect>\n";
    }
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">",
                   kChartLeft + plotWidth / 2, bottom + 32) +
           "median skip rate, %</text>\n";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" transform=\"rotate(-90 %d %d)\" "
                   "text-anchor=\"middle\">",
                   16, kTradeTop + plotHeight / 2, 16, kTradeTop + plotHeight / 2) +
           "early returns of an artist a day, worst seed</text>\n";
    out += printed("<text class=\"key\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", kChartLeft,
                   kTradeHeight - 24, kGoalColour) +
           htmlEscaped("dashed lines: the goals (at most " + tenthsText(goal.maxSkipTenths) + " %, " +
                       allowanceText(goal.perDayHundredths) + ")") +
           "</text>\n";
    // The marks' key, each in its own colour: the ringed answer, then the station's square.
    int x = kChartLeft;
    if (mark.row >= 0) {
        const std::string text = "ringed: " + mark.label;
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", x,
                       kTradeHeight - 6, kMarkColour) +
               htmlEscaped(text) + "</text>\n";
        x += static_cast<int>(std::lround(0.6 * 12 * static_cast<double>(text.size()))) + 24;
    }
    if (mark.nowRow >= 0)
        out += printed("<text class=\"now\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", x,
                       kTradeHeight - 6, kNowColour) +
               htmlEscaped("dashed square: " + mark.nowLabel) + "</text>\n";
    return out + "</svg>\n";
}

} // namespace sim
