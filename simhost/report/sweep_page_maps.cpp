// A grid of both limits on the page: a map per goal, a cell per setting coloured by its figure and
// written in it where it fits, a colour scale with its values, the goal's boundary drawn thick, the
// marked setting ringed and the station's own limits in a dashed square, both named beside the map.
#include "report/sweep_page.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "report/html_page.h"
#include "report/report.h"

namespace sim {
namespace {

constexpr int kMapWidth = 1100, kMapLeft = 64, kMapRight = 130, kMapTop = 40, kMapCellHeightMost = 30,
              kMapPlotHeightMost = 300;
constexpr int kScaleWidth = 300, kScaleSteps = 50, kScaleHeight = 10;

// A colour from pale to dark blue for `share` (0..1) of the map's range.
std::string shade(double share) {
    share = std::min(1.0, std::max(0.0, share));
    const int r = static_cast<int>(std::lround(244 + (31 - 244) * share));
    const int g = static_cast<int>(std::lround(248 + (78 - 248) * share));
    const int b = static_cast<int>(std::lround(251 + (121 - 251) * share));
    return printed("#%02x%02x%02x", r, g, b);
}

// What one map shows: its title, each setting's figure as a number and as text, whether a setting
// meets the map's goal, the goal in words and as a figure, and the decimals its figures carry.
template <typename Figure, typename Text, typename Meets>
struct MapOf {
    std::string title;
    Figure figure;
    Text figureText;
    Meets meets;
    std::string goalText;
    double goal;
    int decimals;
};

template <typename Figure, typename Text, typename Meets>
MapOf<Figure, Text, Meets> mapOf(std::string title, Figure figure, Text figureText, Meets meets,
                                 std::string goalText, double goal, int decimals) {
    return {std::move(title), figure, figureText, meets, std::move(goalText), goal, decimals};
}

// `value` with at most `decimals` decimals, trailing zeros dropped: 0.50 -> "0.5", 20.0 -> "20".
std::string scaleNumber(double value, int decimals) {
    std::string text = printed("%.*f", decimals, value);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return text;
}

// The values the colour scale names: 0, the goal, the most, and round numbers between, each where
// its label has room (the scale follows the square root of the figure, as the cells do).
std::vector<double> scaleTicks(double most, double goal) {
    auto placeOf = [&](double value) { return std::sqrt(value / most) * kScaleWidth; };
    auto roomFor = [&](const std::vector<double>& ticks, double value) {
        return std::all_of(ticks.begin(), ticks.end(),
                           [&](double tick) { return std::fabs(placeOf(tick) - placeOf(value)) >= 36; });
    };
    std::vector<double> ticks = {0.0};
    if (goal > 0 && goal < most && roomFor(ticks, goal))
        ticks.push_back(goal);
    if (roomFor(ticks, most))
        ticks.push_back(most);
    for (double scale = 0.01; scale < most; scale *= 10)
        for (double step : {1.0, 2.0, 5.0}) {
            const double value = step * scale;
            if (value >= most)
                break;
            if (roomFor(ticks, value))
                ticks.push_back(value);
        }
    std::sort(ticks.begin(), ticks.end());
    return ticks;
}

// The colour scale under a map: a bar from 0 to `most` in the cells' colours, its values under it,
// the goal's value marked across it.
std::string colourScale(int top, double most, double goal, int decimals, const std::string& unit) {
    std::string out;
    const double step = static_cast<double>(kScaleWidth) / kScaleSteps;
    for (int i = 0; i < kScaleSteps; i++)
        out += printed("<rect class=\"scale\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\"/>",
                       kMapLeft + static_cast<int>(std::lround(i * step)), top,
                       static_cast<int>(std::lround((i + 1) * step) - std::lround(i * step)), kScaleHeight,
                       shade((i + 0.5) / kScaleSteps).c_str());
    out += printed("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" stroke=\"#7a8896\"/>\n",
                   kMapLeft, top, kScaleWidth, kScaleHeight);
    for (double tick : scaleTicks(most, goal)) {
        const int x = kMapLeft + static_cast<int>(std::lround(std::sqrt(tick / most) * kScaleWidth));
        const bool isGoal = tick == goal;
        out += printed("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"%d\"/>"
                       "<text class=\"scale\" x=\"%d\" y=\"%d\" font-size=\"10\" text-anchor=\"middle\" "
                       "fill=\"%s\">%s</text>\n",
                       x, isGoal ? top - 3 : top + kScaleHeight, x, top + kScaleHeight + 3,
                       isGoal ? kGoalColour : "#4a5868", isGoal ? 3 : 1, x, top + kScaleHeight + 14,
                       isGoal ? kGoalColour : "#1d2733", scaleNumber(tick, decimals).c_str());
    }
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\">", kMapLeft + kScaleWidth + 12,
                   top + kScaleHeight) +
           htmlEscaped("colour: " + unit + " (the goal's value marked)") + "</text>\n";
    return out;
}

// One map of the grid: a cell per setting, artist limit across and title limit down, coloured by
// the map's figure and written in it wherever it fits (always in its tooltip); the edges between a
// setting that meets the map's goal and one that does not drawn thick, as the goal's boundary; the
// marked setting ringed and the station's own in a dashed square, each named at the right of its
// line of cells and pointed at above its column; under the map the colour scale and a key.
template <typename Map>
std::string gridMap(const SweepContext& context, const std::vector<SweepRow>& rows, const ChartMark& mark,
                    const Map& map, const std::string& unit) {
    const std::vector<int32_t>& artists = context.plan.artistLimits;
    const std::vector<int32_t>& titles = context.plan.titleLimits;
    const int columns = static_cast<int>(artists.size()), lines = static_cast<int>(titles.size());
    const int cellWidth = std::max(4, (kMapWidth - kMapLeft - kMapRight) / columns);
    const int cellHeight = std::max(6, std::min(kMapCellHeightMost, kMapPlotHeightMost / lines));
    const int top = kMapTop, plotHeight = cellHeight * lines, right = kMapLeft + cellWidth * columns;
    const int width = right + kMapRight, bottom = top + plotHeight, height = bottom + 116;
    // The shade follows the square root of the figure, so that a few extreme settings (a starving
    // title limit) do not leave every other cell the same pale colour.
    double most = 0;
    for (const SweepRow& row : rows)
        most = std::max(most, map.figure(row));
    most = most > 0 ? most : 1.0;
    auto shareOf = [&](double value) { return std::sqrt(std::max(0.0, value) / most); };
    std::string out =
        printed("<svg class=\"map\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\" role=\"img\" "
                "aria-label=\"",
                width, height, width, height) +
        htmlEscaped(map.title) + "\">\n";
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"13\" font-weight=\"600\">", kMapLeft, top - 16) +
           htmlEscaped(map.title) + "</text>\n";
    // Rows are in artist-then-title order: the cell of artist column a and title line t.
    auto rowAt = [&](int a, int t) -> const SweepRow& { return rows[static_cast<size_t>(a * lines + t)]; };
    // A figure is written where its characters (about 0.6 of the font size each) fit the cell's
    // width and the font its height; in a narrow cell in a smaller font.
    const int figureSize = cellWidth >= 34 ? 10 : cellWidth >= 28 ? 9 : 8;
    auto fits = [&](const std::string& text) {
        return static_cast<double>(text.size()) * 0.6 * figureSize <= cellWidth - 2 &&
               cellHeight >= figureSize + 3;
    };
    for (int a = 0; a < columns; a++)
        for (int t = 0; t < lines; t++) {
            const SweepRow& row = rowAt(a, t);
            const double value = map.figure(row);
            const int x = kMapLeft + a * cellWidth, y = top + t * cellHeight;
            const std::string text = map.figureText(row);
            out += printed("<rect class=\"cell\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\">",
                           x, y, cellWidth, cellHeight, shade(shareOf(value)).c_str()) +
                   "<title>" + htmlEscaped(pairText(row.setting) + ": " + text) + "</title></rect>\n";
            // A figure too wide for its cell is written whole ("319" for 319.30), or not at all: it
            // never runs into the next cell. The tooltip always has it exactly.
            std::string shown = text;
            if (!fits(shown))
                shown = shown.substr(0, shown.find('.'));
            if (fits(shown))
                out += printed(
                    "<text class=\"figure\" x=\"%d\" y=\"%d\" font-size=\"%d\" text-anchor=\"middle\" "
                    "fill=\"%s\">%s</text>\n",
                    x + cellWidth / 2, y + cellHeight / 2 + figureSize * 2 / 5, figureSize,
                    shareOf(value) > 0.6 ? "#ffffff" : "#1d2733", shown.c_str());
        }
    // The goal's boundary: every edge between a cell inside and one outside (or the map's edge).
    std::string path;
    for (int a = 0; a < columns; a++)
        for (int t = 0; t < lines; t++) {
            if (!map.meets(rowAt(a, t)))
                continue;
            const int x = kMapLeft + a * cellWidth, y = top + t * cellHeight;
            if (a == 0 || !map.meets(rowAt(a - 1, t)))
                path += printed("M%d %dv%d", x, y, cellHeight);
            if (a + 1 == columns || !map.meets(rowAt(a + 1, t)))
                path += printed("M%d %dv%d", x + cellWidth, y, cellHeight);
            if (t == 0 || !map.meets(rowAt(a, t - 1)))
                path += printed("M%d %dh%d", x, y, cellWidth);
            if (t + 1 == lines || !map.meets(rowAt(a, t + 1)))
                path += printed("M%d %dh%d", x, y + cellHeight, cellWidth);
        }
    if (!path.empty())
        out += "<path class=\"goal\" d=\"" + path + "\" fill=\"none\" stroke=\"" + kGoalColour +
               "\" stroke-width=\"3\"/>\n"; // a long path: not through printed()'s buffer
    // The marked cells, and their names at the right of their lines (one text when they share one).
    std::string markName, nowName;
    if (mark.nowRow >= 0) {
        const int a = mark.nowRow / lines, t = mark.nowRow % lines;
        out += printed("<rect class=\"now\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                       "stroke=\"%s\" stroke-width=\"2\" stroke-dasharray=\"4 2\"/>\n"
                       "<path d=\"M%d %dh10l-5 7z\" fill=\"none\" stroke=\"%s\" stroke-width=\"1.5\"/>\n",
                       kMapLeft + a * cellWidth + 1, top + t * cellHeight + 1, cellWidth - 2, cellHeight - 2,
                       kNowColour, kMapLeft + a * cellWidth + cellWidth / 2 - 5, top - 10, kNowColour);
        nowName = "now";
    }
    if (mark.row >= 0) {
        const int a = mark.row / lines, t = mark.row % lines;
        out += printed("<rect class=\"mark\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                       "stroke=\"%s\" stroke-width=\"3\"/>\n<path d=\"M%d %dh10l-5 7z\" fill=\"%s\"/>\n",
                       kMapLeft + a * cellWidth + 3, top + t * cellHeight + 3, cellWidth - 6, cellHeight - 6,
                       kMarkColour, kMapLeft + a * cellWidth + cellWidth / 2 - 5, top - 10, kMarkColour);
        markName = mark.label.compare(0, 11, "recommended") == 0 ? "recommended"
                   : mark.label.compare(0, 7, "nearest") == 0    ? "nearest"
                                                                 : "replayed";
    }
    const int markLine = mark.row >= 0 ? mark.row % lines : -1,
              nowLine = mark.nowRow >= 0 ? mark.nowRow % lines : -1;
    if (markLine >= 0)
        out += printed("<text class=\"mark\" x=\"%d\" y=\"%d\" font-size=\"11\" fill=\"%s\">&#8592; ",
                       right + 6, top + markLine * cellHeight + cellHeight / 2 + 4, kMarkColour) +
               htmlEscaped(markLine == nowLine ? markName + ", now" : markName) + "</text>\n";
    if (nowLine >= 0 && nowLine != markLine)
        out +=
            printed("<text class=\"now\" x=\"%d\" y=\"%d\" font-size=\"11\" fill=\"%s\">&#8592; now</text>\n",
                    right + 6, top + nowLine * cellHeight + cellHeight / 2 + 4, kNowColour);
    // Tick labels: every title limit down the left, the artist limits across, thinned to fit.
    const int labelEvery = std::max(1, (lines * 12 + plotHeight - 1) / plotHeight);
    for (int t = 0; t < lines; t += labelEvery)
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"end\">%s</text>\n",
                       kMapLeft - 6, top + t * cellHeight + cellHeight / 2 + 4,
                       limitText(titles[static_cast<size_t>(t)]).c_str());
    const int acrossEvery = std::max(1, 26 / cellWidth + (26 % cellWidth != 0 ? 1 : 0));
    for (int a = 0; a < columns; a += acrossEvery)
        out += printed("<text x=\"%d\" y=\"%d\" font-size=\"11\" text-anchor=\"middle\">%s</text>\n",
                       kMapLeft + a * cellWidth + cellWidth / 2, bottom + 14,
                       limitText(artists[static_cast<size_t>(a)]).c_str());
    out += printed("<text x=\"%d\" y=\"%d\" font-size=\"12\">", kMapLeft, bottom + 32) +
           "SameArtistCheckLimit across, SameTitleCheckLimit down</text>\n";
    out += colourScale(bottom + 44, most, map.goal, map.decimals, unit);
    // The key: the goal's boundary on a line of its own, then the marked setting and the station's.
    int x = kMapLeft, keyLine = bottom + 86;
    auto keyText = [&](const char* css, const char* colour, const std::string& text) {
        out += printed("<text class=\"%s\" x=\"%d\" y=\"%d\" font-size=\"12\" fill=\"%s\">", css, x + 22,
                       keyLine, colour) +
               htmlEscaped(text) + "</text>\n";
        x += 22 + static_cast<int>(std::lround(0.6 * 12 * static_cast<double>(text.size()))) + 18;
    };
    out += printed("<path d=\"M%d %dh16\" stroke=\"%s\" stroke-width=\"3\"/>\n", x, keyLine - 4, kGoalColour);
    keyText("key", "#1d2733", "the goal is met inside the thick line: " + map.goalText);
    x = kMapLeft;
    keyLine += 20;
    if (mark.row >= 0) {
        out += printed("<rect x=\"%d\" y=\"%d\" width=\"14\" height=\"12\" fill=\"none\" stroke=\"%s\" "
                       "stroke-width=\"3\"/>\n",
                       x + 1, keyLine - 10, kMarkColour);
        keyText("mark", kMarkColour, "ringed: " + mark.label);
    }
    if (mark.nowRow >= 0) {
        out += printed("<rect x=\"%d\" y=\"%d\" width=\"14\" height=\"12\" fill=\"none\" stroke=\"%s\" "
                       "stroke-width=\"2\" stroke-dasharray=\"4 2\"/>\n",
                       x + 1, keyLine - 10, kNowColour);
        keyText("now", kNowColour, "dashed: " + mark.nowLabel);
    }
    return out + "</svg>\n";
}

} // namespace

std::string sweepMaps(const SweepContext& context, const std::vector<SweepRow>& rows, const ChartMark& mark) {
    const SweepGoal& goal = context.plan.goal;
    const std::string allowance = allowanceText(goal.perDayHundredths) + " on every seed";
    std::string out =
        gridMap(context, rows, mark,
                mapOf(
                    "median skip rate, %", [](const SweepRow& row) { return row.skipTenths / 10.0; },
                    [](const SweepRow& row) { return tenthsText(row.skipTenths); },
                    [](const SweepRow& row) { return row.meetsSkipGoal; },
                    "at most " + tenthsText(goal.maxSkipTenths) + " %", goal.maxSkipTenths / 10.0, 1),
                "median skip rate, %");
    out += gridMap(context, rows, mark,
                   mapOf(
                       "early returns of an artist a day (within " + std::to_string(goal.artistGapMinutes) +
                           " minutes), worst seed",
                       [](const SweepRow& row) { return row.worstArtistPerDay / 100.0; },
                       [](const SweepRow& row) { return hundredthsText(row.worstArtistPerDay); },
                       [](const SweepRow& row) { return row.meetsArtistGoal; }, allowance,
                       goal.perDayHundredths / 100.0, 2),
                   "early returns a day");
    // The third goal has its map too, so that a setting that misses only the title goal is seen
    // outside a boundary, as the answer counts it.
    if (goal.titleGapHours > 0)
        out += gridMap(context, rows, mark,
                       mapOf(
                           "early returns of a title a day (within " +
                               countOf(goal.titleGapHours, "hour", "hours") + "), worst seed",
                           [](const SweepRow& row) { return row.worstTitlePerDay / 100.0; },
                           [](const SweepRow& row) { return hundredthsText(row.worstTitlePerDay); },
                           [](const SweepRow& row) { return row.meetsTitleGoal; }, allowance,
                           goal.perDayHundredths / 100.0, 2),
                       "early returns a day");
    return out;
}

} // namespace sim
