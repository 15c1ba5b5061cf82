// The parts of the sweep's HTML page, each in a file of its own (sweep_page_*.cpp), and what its
// pictures share (sweep_page.cpp): the setting they mark, their colours and margins, and the numbers
// on their axes. The page itself, which puts the parts together, is sweep_report_html.cpp. Every
// label sits outside the plots or in its own cell, so that none crosses another; every text is
// escaped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "report/sweep_report.h"

namespace sim {

// The margins of the curves and of the trade-off chart: left of the plot (its labels), and right.
inline constexpr int kChartLeft = 64, kChartRight = 24;
inline constexpr char kLineColour[] = "#2f6f9f", kSpreadColour[] = "#8fb3d1", kGoalColour[] = "#8a3b00",
                      kMarkColour[] = "#d9822b", kDotColour[] = "#7a8896", kNowColour[] = "#7b2d8e";

// The settings the pictures mark, and in what words: the answer (ringed) and the station's limits
// now (in a dashed square).
struct ChartMark {
    int32_t row; // -1: none
    std::string label;
    int32_t nowRow = -1;
    std::string nowLabel;
};

// `pattern` (one of the page's literal patterns) filled in with numbers and short texts; the result
// is at most 511 bytes, so nothing of unbounded length goes through here.
template <typename... Values>
std::string printed(const char* pattern, Values... values) {
    char text[512];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// The smallest of 1, 2, 5, 10, 20, 50, ... at least `value`.
double niceCeiling(double value);

// The end of an axis that reaches `value`: a whole number of steps of 1, 2, 5, 10, 20, ..., about
// five of them, so that little of the axis is empty.
double axisEnd(double value);

// A number as the charts write it: whole when it is, else to a tenth.
std::string chartNumber(double value);

// "9 / 50", a limit of 0 written "off".
std::string pairText(SweepSetting setting);

// A grid of both limits, a map per goal (sweep_page_maps.cpp): the skip rate and the early returns
// of an artist (and of a title, when titles are judged) a day over every pair of limits, each with
// the goal's boundary, the marked setting ringed.
std::string sweepMaps(const SweepContext& context, const std::vector<SweepRow>& rows, const ChartMark& mark);

// A sweep of one limit (sweep_page_curves.cpp): the skip rate above, the early returns of an artist
// a day below, both against the limit, the marked setting as a line across both and named under
// the chart.
std::string sweepCurves(const SweepContext& context, const std::vector<SweepRow>& rows,
                        const ChartMark& mark);

// Which settings the trade-off chart draws (sweep_page_tradeoff.cpp): all but those that starve the
// rotation (they would pile up in one corner, and are named under the chart instead); those on the
// frontier stay, as its line passes through them.
std::vector<bool> drawnOnTradeOff(const SweepContext& context, const std::vector<SweepRow>& rows);

// The settings `drawn` as dots, skip rate across (to 100 % at most) and early returns of an artist a
// day up, each scale reaching a little past what it shows; the frontier joined, the goals as dashed
// lines, the choices filled and the marked setting ringed.
std::string tradeOffChart(const SweepContext& context, const std::vector<SweepRow>& rows,
                          const std::vector<bool>& drawn, const Recommendation& recommendation,
                          const ChartMark& mark);

// The table of every setting in a box of its own that scrolls sideways, the goals column right
// after the limits so that it is never out of view; the marked setting's row marked
// (sweep_page_table.cpp).
std::string sweepTableHtml(const SweepContext& context, const std::vector<SweepRow>& rows,
                           const Recommendation& recommendation, const ChartMark& mark);

} // namespace sim
