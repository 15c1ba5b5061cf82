// A grid of both limits on the page: a map per goal, a cell per setting coloured by its figure,
// the goal's boundary drawn thick and the marked setting ringed.
#include "report/sweep_page.h"

#include <algorithm>
#include <cmath>

#include "report/html_page.h"
#include "report/report.h"

namespace sim {
namespace {

constexpr int kMapWidth = 1000, kMapLeft = 64, kMapCellHeightMost = 30, kMapPlotHeightMost = 300;

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
std::string gridMap(const SweepContext& context, const std::vector<SweepRow>& rows, const ChartMark& mark,
                    const std::string& title, Figure figure, Text figureText, Meets meets) {
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
    for (const SweepRow& row : rows)
        most = std::max(most, figure(row));
    most = most > 0 ? most : 1.0;
    auto shareOf = [&](double value) { return std::sqrt(std::max(0.0, value) / most); };
    std::string out =
        printed("<svg class=\"map\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" role=\"img\" "
                "aria-label=\"",
                width, height, width, height) +
        htmlEscaped(title) + "\">\n";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"13\" font-weight=\"600\">", kMapLeft, top - 10) +
           htmlEscaped(title) + "</text>\n";
    // Rows are in artist-then-title order: the cell of artist column a and title line t.
    auto rowAt = [&](int a, int t) -> const SweepRow& { return rows[static_cast<size_t>(a * lines + t)]; };
    // Five characters ("27.98") fit a cell of 28 pixels at 9 pixels a character's height.
    const bool writeFigures = cellWidth >= 28 && cellHeight >= 14;
    const int figureSize = cellWidth >= 34 ? 10 : 9;
    for (int a = 0; a < columns; a++)
        for (int t = 0; t < lines; t++) {
            const SweepRow& row = rowAt(a, t);
            const double value = figure(row);
            const int x = kMapLeft + a * cellWidth, y = top + t * cellHeight;
            const std::string text = figureText(row);
            out += printed("<rect class=\"cell\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\">",
                           x, y, cellWidth, cellHeight, shade(shareOf(value)).c_str()) +
                   "<title>" + htmlEscaped(pairText(row.setting) + ": " + text) + "</title></rect>\n";
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
                       limitText(titles[static_cast<size_t>(t)]).c_str());
    const int acrossEvery = std::max(1, 26 / cellWidth + (26 % cellWidth != 0 ? 1 : 0));
    for (int a = 0; a < columns; a += acrossEvery)
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                       kMapLeft + a * cellWidth + cellWidth / 2, top + plotHeight + 14,
                       limitText(artists[static_cast<size_t>(a)]).c_str());
    out +=
        printed("<text x=\"%d\" y=\"%d\" font-size=\"12\">", kMapLeft, top + plotHeight + 34) +
        "SameArtistCheckLimit across, SameTitleCheckLimit down; thick line: where the goal is met</text>\n";
    if (mark.row >= 0)
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", kMapLeft,
                       top + plotHeight + 52, kMarkColour) +
               "ringed: " + htmlEscaped(mark.label) + "</text>\n";
    return out + "</svg>\n";
}

} // namespace

std::string sweepMaps(const SweepContext& context, const std::vector<SweepRow>& rows, const ChartMark& mark) {
    const SweepGoal& goal = context.plan.goal;
    std::string out = gridMap(
        context, rows, mark, "median skip rate, %", [](const SweepRow& row) { return row.skipTenths / 10.0; },
        [](const SweepRow& row) { return tenthsText(row.skipTenths); },
        [](const SweepRow& row) { return row.meetsSkipGoal; });
    out += gridMap(
        context, rows, mark,
        "early returns of an artist a day (within " + std::to_string(goal.artistGapMinutes) +
            " minutes), worst seed",
        [](const SweepRow& row) { return row.worstArtistPerDay / 100.0; },
        [](const SweepRow& row) { return hundredthsText(row.worstArtistPerDay); },
        [](const SweepRow& row) { return row.meetsArtistGoal; });
    // The third goal has its map too, so that a setting that misses only the title goal is seen
    // outside a boundary, as the answer counts it.
    if (goal.titleGapHours > 0)
        out += gridMap(
            context, rows, mark,
            "early returns of a title a day (within " + countOf(goal.titleGapHours, "hour", "hours") +
                "), worst seed",
            [](const SweepRow& row) { return row.worstTitlePerDay / 100.0; },
            [](const SweepRow& row) { return hundredthsText(row.worstTitlePerDay); },
            [](const SweepRow& row) { return row.meetsTitleGoal; });
    return out;
}

} // namespace sim
