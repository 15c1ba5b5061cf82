// The sweep of one limit on the page: two panels of curves against the limit, the skip rate and
// the early returns of an artist a day, each with the spread over the seeds and the goal's line.
#include "report/sweep_page.h"

#include <algorithm>
#include <cmath>

#include "report/html_page.h"

namespace sim {
namespace {

constexpr int kCurveWidth = 720;
constexpr int kPanelHeight = 190, kPanelGap = 64, kTop = 30;

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
    const int plotWidth = kCurveWidth - kChartLeft - kChartRight, bottom = top + kPanelHeight;
    const int32_t xLow = xs.front(), xHigh = xs.back();
    auto xOf = [&](int32_t x) {
        return xHigh == xLow ? kChartLeft + plotWidth / 2
                             : kChartLeft + (x - xLow) * plotWidth / (xHigh - xLow);
    };
    auto yOf = [&](double y) { return bottom - static_cast<int>(std::lround(y / yMax * kPanelHeight)); };
    *out +=
        printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>"
                "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"#7a8896\"/>\n",
                kChartLeft, bottom, kCurveWidth - kChartRight, bottom, kChartLeft, top, kChartLeft, bottom);
    *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"13\" font-weight=\"600\">", kChartLeft, top - 8) +
            htmlEscaped(title) + "</text>\n";
    for (double tick : {0.0, yMax / 2, yMax})
        *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n",
                        kChartLeft - 6, yOf(tick) + 4, chartNumber(tick).c_str());
    *out += printed("<line class=\"goal\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                    "stroke-dasharray=\"6 4\"/>\n",
                    kChartLeft, yOf(goal), kCurveWidth - kChartRight, yOf(goal), kGoalColour);
    // Above the goal's line at its right end: the scale reaches a tenth past the goal, so this stays
    // below the panel's title.
    *out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\" fill=\"%s\">",
                    kCurveWidth - kChartRight, yOf(goal) - 4, kGoalColour) +
            htmlEscaped(goalLabel) + "</text>\n";
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
                            xOf(xs[i]), bottom + 15, limitText(xs[i]).c_str());
}

} // namespace

std::string sweepCurves(const SweepContext& context, const std::vector<SweepRow>& rows,
                        const ChartMark& mark) {
    const bool alongTitle = context.plan.artistLimits.size() == 1 && context.plan.titleLimits.size() > 1;
    const SweepGoal& goal = context.plan.goal;
    std::vector<int32_t> xs;
    std::vector<Spread> skips, returns;
    for (const SweepRow& row : rows) {
        xs.push_back(alongTitle ? row.setting.titleLimit : row.setting.artistLimit);
        skips.push_back(
            {row.skipTenths / 10.0, rateTenths(row.lowestSkipRate) / 10.0, row.worstSkipTenths / 10.0});
        int32_t best = row.worstArtistPerDay;
        for (const SeedFigures& seed : row.seeds)
            best = std::min(best, seed.artistPerDay);
        returns.push_back({row.worstArtistPerDay / 100.0, best / 100.0, row.worstArtistPerDay / 100.0});
    }
    const int height = kTop + 2 * kPanelHeight + kPanelGap + 64;
    std::string out = printed("<svg class=\"curves\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" "
                              "role=\"img\" aria-label=\"Skip rate and early returns against the limit\">\n",
                              kCurveWidth, height, kCurveWidth, height);
    appendPanel(&out, xs, skips, goal.maxSkipTenths / 10.0,
                "goal: at most " + tenthsText(goal.maxSkipTenths) + " %",
                "skip rate, %: median over the seeds, bar to the lowest and highest", kTop);
    appendPanel(&out, xs, returns, goal.perDayHundredths / 100.0,
                "goal: " + allowanceText(goal.perDayHundredths),
                "artist back within " + std::to_string(goal.artistGapMinutes) +
                    " min, a day: the worst seed, bar to the best",
                kTop + kPanelHeight + kPanelGap);
    const int plotWidth = kCurveWidth - kChartLeft - kChartRight;
    auto xOfLimit = [&](int32_t limit) {
        return xs.back() == xs.front()
                   ? kChartLeft + plotWidth / 2
                   : kChartLeft + (limit - xs.front()) * plotWidth / (xs.back() - xs.front());
    };
    if (mark.row >= 0) {
        const SweepSetting& setting = rows[static_cast<size_t>(mark.row)].setting;
        const int px = xOfLimit(alongTitle ? setting.titleLimit : setting.artistLimit);
        out += printed("<line class=\"mark\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                       "stroke-width=\"2\" opacity=\"0.8\"/>\n",
                       px, kTop, px, kTop + 2 * kPanelHeight + kPanelGap, kMarkColour);
    }
    const std::string axis = alongTitle ? "SameTitleCheckLimit (SameArtistCheckLimit " +
                                              limitText(context.plan.artistLimits.front()) + ")"
                                        : "SameArtistCheckLimit (SameTitleCheckLimit " +
                                              limitText(context.plan.titleLimits.front()) + ")";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\" text-anchor=\"middle\">",
                   kChartLeft + plotWidth / 2, height - 26) +
           htmlEscaped(axis) + "</text>\n";
    if (mark.nowRow >= 0 && mark.nowRow != mark.row) {
        const SweepSetting& setting = rows[static_cast<size_t>(mark.nowRow)].setting;
        const int px = xOfLimit(alongTitle ? setting.titleLimit : setting.artistLimit);
        out += printed("<line class=\"now\" x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                       "stroke-width=\"2\" stroke-dasharray=\"5 3\"/>\n",
                       px, kTop, px, kTop + 2 * kPanelHeight + kPanelGap, kNowColour);
    }
    // Under the axis: the marked setting's line, then the station's, in their colours.
    int x = kChartLeft;
    if (mark.row >= 0) {
        const std::string text = "| " + mark.label + (mark.nowRow == mark.row ? " (now)" : "");
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", x, height - 6,
                       kMarkColour) +
               htmlEscaped(text) + "</text>\n";
        x += static_cast<int>(std::lround(0.6 * 12 * static_cast<double>(text.size()))) + 24;
    }
    if (mark.nowRow >= 0 && mark.nowRow != mark.row)
        out += printed("<text class=\"now\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", x, height - 6,
                       kNowColour) +
               "dashed: " + htmlEscaped(mark.nowLabel) + "</text>\n";
    return out + "</svg>\n";
}
} // namespace sim
