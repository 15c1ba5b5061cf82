// What went to air as one HTML page that opens anywhere, off-line: the figures against the goals,
// a timeline of skips by hour over the days, the prediction beside the air as pictures and a
// table, then the same lists as the console. Inline SVG, no script, no link; every text escaped.
#include <algorithm>
#include <cstdio>

#include "aired/aired_report.h"
#include "report/html_page.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:1140px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #c8d3de}"
    "svg{display:block;max-width:100%;height:auto}.scroll{overflow-x:auto;max-width:100%}"
    "table{border-collapse:collapse;font-size:14px}td,th{padding:2px 8px 2px 4px;text-align:left;"
    "white-space:nowrap}td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}"
    "tr.out td{background:#fbe7d3}p{margin:4px 0}.note{color:#4a5868;font-size:13px}"
    ".warn{color:#8a3b00}.bad{color:#a01818;font-weight:600}.big{font-size:18px;font-weight:600}";

constexpr int kTimelineLeft = 96; // room for the dates
constexpr int kTimelineTop = 22;  // room for the hours
constexpr int kCellWidth = 28;
constexpr int kMostDaysTitled = 62; // a cell says its figures when hovered, up to this many days

std::string number(int64_t value) {
    return std::to_string(value);
}

std::string paragraph(const std::string& text, const char* css = "") {
    return std::string("<p class=\"") + css + "\">" + sim::htmlEscaped(text) + "</p>\n";
}

// The lines of `text` as paragraphs; "warning: " and "error: " lines marked.
std::string paragraphs(const std::string& text) {
    std::string out;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        out += paragraph(line, line.rfind("warning: ", 0) == 0 ? "warn"
                               : line.rfind("error: ", 0) == 0 ? "bad"
                                                               : "");
        start = end + 1;
    }
    return out;
}

std::string cell(const std::string& text, bool numeric = false) {
    return std::string(numeric ? "<td class=\"n\">" : "<td>") + sim::htmlEscaped(text) + "</td>";
}

std::string headings(const std::vector<std::pair<const char*, bool>>& columns) {
    std::string out = "<tr>";
    for (const auto& [name, numeric] : columns)
        out += std::string(numeric ? "<th class=\"n\">" : "<th>") + name + "</th>";
    return out + "</tr>\n";
}

// A colour from white to the report's orange, by `share` (0..1).
std::string heat(double share) {
    const auto mix = [share](int from, int to) { return static_cast<int>(from + (to - from) * share + 0.5); };
    char colour[16];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", mix(0xf7, 0xc4), mix(0xf9, 0x4a), mix(0xfb, 0x00));
    return colour;
}

// Skips by hour over the days: a row a day, a column an hour, darker for more skips.
std::string timeline(const sim::AiredFigures& figures) {
    int32_t most = 1;
    for (const sim::AiredDay& day : figures.days)
        for (int32_t skipped : day.skippedByHour)
            most = std::max(most, skipped);
    const auto days = static_cast<int>(figures.days.size());
    const int rowHeight = std::max(2, std::min(16, 640 / std::max(1, days)));
    const int labelEvery = std::max(1, 12 / rowHeight);
    const int width = kTimelineLeft + 24 * kCellWidth + 8;
    const int height = kTimelineTop + days * rowHeight + 6;
    std::string svg = "<svg viewBox=\"0 0 " + number(width) + " " + number(height) + "\" width=\"" +
                      number(width) + "\" height=\"" + number(height) +
                      "\" role=\"img\" aria-label=\"skips by hour over the days\" font-size=\"11\" "
                      "font-family=\"sans-serif\">\n";
    for (int hour = 0; hour < 24; hour += 3)
        svg += "<text x=\"" + number(kTimelineLeft + hour * kCellWidth + 2) + "\" y=\"14\">" + number(hour) +
               ":00</text>\n";
    for (int row = 0; row < days; row++) {
        const sim::AiredDay& day = figures.days[static_cast<size_t>(row)];
        const int y = kTimelineTop + row * rowHeight;
        if (row % labelEvery == 0)
            svg += "<text x=\"0\" y=\"" + number(y + std::min(rowHeight, 12)) + "\">" +
                   sim::dayText(day.day) + "</text>\n";
        for (size_t hour = 0; hour < 24; hour++) {
            const int32_t skipped = day.skippedByHour[hour];
            const int32_t played = day.playedByHour[hour];
            if (skipped == 0 && played == 0)
                continue;
            svg += "<rect x=\"" + number(kTimelineLeft + static_cast<int>(hour) * kCellWidth) + "\" y=\"" +
                   number(y) + "\" width=\"" + number(kCellWidth - 1) + "\" height=\"" +
                   number(std::max(1, rowHeight - 1)) + "\" fill=\"" +
                   heat(static_cast<double>(skipped) / most) + "\">";
            if (days <= kMostDaysTitled)
                svg += "<title>" + sim::dayText(day.day) + " " + number(static_cast<int64_t>(hour)) +
                       ":00: " + number(skipped) + " skipped, " + number(played) + " played</title>";
            svg += "</rect>\n";
        }
    }
    return svg +
           "</svg>\n<p class=\"note\">White: no skips in that hour (blank: nothing started); the darkest: " +
           number(most) + " skips in one hour.</p>\n";
}

// One period's prediction as a picture: per figure, the seeds' spread as a bar, their median as a
// tick, and the aired figure as a dot, red when it falls outside.
std::string spreadChart(const sim::PeriodPrediction& period, const sim::SweepGoal& goal) {
    constexpr int kLabel = 290, kBar = 520, kRow = 26;
    std::vector<const sim::FigureSpread*> shown;
    for (const sim::FigureSpread& spread : period.figures)
        if (spread.figure != sim::kFigureEarlyTitle || goal.titleGapHours > 0)
            shown.push_back(&spread);
    const int height = static_cast<int>(shown.size()) * kRow + 8;
    std::string svg = "<svg viewBox=\"0 0 " + number(kLabel + kBar + 90) + " " + number(height) +
                      "\" width=\"" + number(kLabel + kBar + 90) + "\" height=\"" + number(height) +
                      "\" role=\"img\" aria-label=\"predicted against aired\" font-size=\"12\" "
                      "font-family=\"sans-serif\">\n";
    for (size_t row = 0; row < shown.size(); row++) {
        const sim::FigureSpread& spread = *shown[row];
        const int64_t top = std::max<int64_t>({1, spread.aired, spread.seeds.back()}) * 11 / 10 + 1;
        auto at = [&](int64_t value) { return kLabel + static_cast<int>(value * kBar / top); };
        const int y = 6 + static_cast<int>(row) * kRow;
        svg += "<text x=\"0\" y=\"" + number(y + 13) + "\">" +
               sim::htmlEscaped(sim::figureName(spread.figure, goal)) + "</text>\n";
        svg += "<line x1=\"" + number(kLabel) + "\" y1=\"" + number(y + 9) + "\" x2=\"" +
               number(kLabel + kBar) + "\" y2=\"" + number(y + 9) + "\" stroke=\"#e3e9ef\"/>\n";
        svg += "<rect x=\"" + number(at(spread.seeds.front())) + "\" y=\"" + number(y + 4) + "\" width=\"" +
               number(std::max(2, at(spread.seeds.back()) - at(spread.seeds.front()))) +
               "\" height=\"10\" fill=\"#9db7d1\"><title>seeds " +
               sim::figureText(spread.figure, spread.seeds.front()) + " to " +
               sim::figureText(spread.figure, spread.seeds.back()) + "</title></rect>\n";
        svg += "<line x1=\"" + number(at(spread.median)) + "\" y1=\"" + number(y + 1) + "\" x2=\"" +
               number(at(spread.median)) + "\" y2=\"" + number(y + 17) +
               "\" stroke=\"#1d4f80\" stroke-width=\"2\"/>\n";
        svg += "<circle cx=\"" + number(at(spread.aired)) + "\" cy=\"" + number(y + 9) +
               "\" r=\"5\" fill=\"" + (spread.outside ? "#c0261a" : "#2d7a36") + "\"><title>aired " +
               sim::figureText(spread.figure, spread.aired) + "</title></circle>\n";
        svg += "<text x=\"" + number(kLabel + kBar + 8) + "\" y=\"" + number(y + 13) + "\">" +
               sim::figureText(spread.figure, spread.aired) + (spread.outside ? " outside" : "") +
               "</text>\n";
    }
    return svg + "</svg>\n";
}

std::string predictionSection(const sim::AiredReport& report) {
    const sim::AiredPrediction& prediction = report.prediction;
    const sim::SweepGoal& goal = report.figures.goal;
    std::string out = "<h2>Predicted against aired</h2>\n";
    if (prediction.seeds.empty())
        return out + paragraph("Nothing to predict.");
    out += paragraph("The tool's own simulation of the limits in force, over the same " +
                     sim::countOf(prediction.entries, "entry", "entries") + " for the same time on air, on " +
                     sim::countOf(static_cast<int64_t>(prediction.seeds.size()), "seed", "seeds") + " (" +
                     number(static_cast<int64_t>(prediction.seeds.front())) + " to " +
                     number(static_cast<int64_t>(prediction.seeds.back())) +
                     "). Bar: the seeds' spread; tick: their median; dot: what aired, red when outside; " +
                     sim::chanceText(prediction) + ".");
    for (const sim::PeriodPrediction& period : prediction.periods) {
        const std::string heading = "From " + sim::minuteText(period.period.period.from) + ": " +
                                    sim::periodLimitsText(period.period.period) + ", " +
                                    sim::durationText(static_cast<double>(period.seconds)) + " on air";
        if (!period.simulated) {
            out += paragraph(heading + (period.period.period.known
                                            ? ": under a day on air, not simulated."
                                            : ": its limits are not known, not simulated."));
            continue;
        }
        out += "<p class=\"big\">" + sim::htmlEscaped(heading) + "</p>\n" + spreadChart(period, goal);
        out += "<table>\n" + headings({{"figure", false},
                                       {"aired", true},
                                       {"predicted", true},
                                       {"lowest seed", true},
                                       {"highest seed", true}});
        for (const sim::FigureSpread& spread : period.figures) {
            if (spread.figure == sim::kFigureEarlyTitle && goal.titleGapHours <= 0)
                continue;
            out += std::string(spread.outside ? "<tr class=\"out\">" : "<tr>") +
                   cell(sim::figureName(spread.figure, goal)) +
                   cell(sim::figureText(spread.figure, spread.aired), true) +
                   cell(sim::figureText(spread.figure, spread.median), true) +
                   cell(sim::figureText(spread.figure, spread.seeds.front()), true) +
                   cell(sim::figureText(spread.figure, spread.seeds.back()), true) + "</tr>\n";
        }
        out += "</table>\n";
        const std::string outside = sim::outsideText(period, goal);
        out += paragraph(outside.empty() ? "Every aired figure is within the seeds' spread."
                                         : "Outside the seeds' spread: " + outside + ".",
                         outside.empty() ? "" : "warn");
    }
    return out;
}

std::string daysTable(const sim::AiredFigures& figures) {
    std::string out = "<div class=\"scroll\"><table>\n" + headings({{"day", false},
                                                                    {"played", true},
                                                                    {"skipped", true},
                                                                    {"skips %", true},
                                                                    {"artist early", true},
                                                                    {"title early", true},
                                                                    {"other spelling", true},
                                                                    {"longest run", true},
                                                                    {"on air", true},
                                                                    {"lines unknown", true}});
    for (const sim::AiredDay& day : figures.days) {
        const int64_t started = static_cast<int64_t>(day.counts.played) + day.counts.skipped;
        out += "<tr>" + cell(sim::dayText(day.day)) + cell(number(day.counts.played), true) +
               cell(number(day.counts.skipped), true) +
               cell(started > 0
                        ? sim::tenthsText(sim::rateTenths(static_cast<double>(day.counts.skipped) / started))
                        : "-",
                    true) +
               cell(number(day.counts.earlyArtist), true) + cell(number(day.counts.earlyTitle), true) +
               cell(number(day.counts.unpreventable), true) + cell(number(day.counts.longestSkipRun), true) +
               cell(sim::durationText(static_cast<double>(day.counts.airMs / 1000)), true) +
               cell(number(day.counts.unknownLines), true) + "</tr>\n";
    }
    return out + "</table></div>\n";
}

std::string countedTable(const char* heading, const std::vector<sim::CountedText>& list) {
    std::string out = "<h2>" + std::string(heading) + "</h2>\n";
    if (list.empty())
        return out + paragraph("None.");
    out += "<table>\n";
    for (const sim::CountedText& item : list)
        out += "<tr>" + cell(number(item.count), true) + cell(item.text) + "</tr>\n";
    return out + "</table>\n";
}

std::string refusedSections(const sim::AiredFigures& figures) {
    std::string out = "<h2>Longest runs of skips in a row</h2>\n";
    if (figures.skipRuns.empty())
        out += paragraph("None.");
    for (const sim::SkipRun& run : figures.skipRuns)
        out += paragraph(number(run.skips) + " skips from " + sim::minuteText(run.from) + " (" +
                         sim::countOf(run.entries, "entry", "entries") + ")");
    out += countedTable("Titles refused most", figures.refusedTitles);
    out += countedTable("Artists refused most", figures.refusedArtists);
    if (!figures.spellingPairs.empty()) {
        out += "<h2>Returns no limit prevents</h2>\n" +
               paragraph(
                   "An artist back sooner than " + number(figures.goal.artistGapMinutes) +
                   " minutes under another spelling, which the rule reads as another artist at every limit. "
                   "Spell each artist one way in the playlist.") +
               "<table>\n";
        for (const sim::CountedPair& pair : figures.spellingPairs)
            out += "<tr>" + cell(number(pair.count), true) +
                   cell("\"" + pair.first + "\" / \"" + pair.second + "\"") + "</tr>\n";
        out += "</table>\n";
    }
    return out;
}

std::string hoursTable(const sim::AiredFigures& figures) {
    int32_t most = 1;
    for (int32_t skipped : figures.skippedByHour)
        most = std::max(most, skipped);
    std::string out =
        "<h2>Skips by hour of the day</h2>\n<table>\n" +
        headings({{"hour", true}, {"played", true}, {"skipped", true}, {"skips %", true}, {"", false}});
    for (size_t hour = 0; hour < 24; hour++) {
        const int64_t started =
            static_cast<int64_t>(figures.playedByHour[hour]) + figures.skippedByHour[hour];
        out += "<tr>" + cell(number(static_cast<int64_t>(hour)), true) +
               cell(number(figures.playedByHour[hour]), true) +
               cell(number(figures.skippedByHour[hour]), true) +
               cell(started > 0 ? sim::tenthsText(sim::rateTenths(
                                      static_cast<double>(figures.skippedByHour[hour]) / started))
                                : "-",
                    true) +
               "<td><svg width=\"" + number(figures.skippedByHour[hour] * 300 / most + 1) +
               "\" height=\"10\"><rect width=\"100%\" height=\"10\" fill=\"#c44a00\"/></svg></td></tr>\n";
    }
    return out + "</table>\n";
}

} // namespace

namespace sim {

std::string renderAiredHtml(const AiredReport& report) {
    const AiredFigures& figures = report.figures;
    const AiredHistory& history = *report.history;
    std::string body = "<h1>What went to air</h1>\n" + paragraph(filesText(report), "note");
    for (const std::string& note : report.notes)
        body += paragraph("note: " + note, "warn");
    if (figures.days.empty())
        return htmlDocument("What went to air", kStyle,
                            body + paragraph(history.empty ? "The log holds no events yet."
                                                           : "Nothing went to air within the days asked."));
    body += paragraph(daysText(figures.fromDay, figures.toDay) + ": " +
                      durationText(static_cast<double>(figures.all.airMs / 1000)) +
                      " on air (paused, stopped and shut down left out).");
    body += "<h2>Against the goals</h2>\n" + paragraph("Goals: " + airedGoalText(figures.goal) + ".", "note");
    body += paragraph("Played " + countOf(figures.all.played, "track", "tracks") + ", skipped " +
                          number(figures.all.skipped) + ": a skip rate of " + skipRateVerdict(figures) + ".",
                      "big");
    body += paragraph("An artist back sooner than " + number(figures.goal.artistGapMinutes) +
                      " minutes: " + earlyArtistVerdict(figures) +
                      (figures.all.unpreventable > 0
                           ? "; and " + countOf(figures.all.unpreventable, "time", "times") +
                                 " under another spelling, which no limit prevents"
                           : std::string()) +
                      ".");
    if (figures.goal.titleGapHours > 0)
        body +=
            paragraph("The same title sooner than " + countOf(figures.goal.titleGapHours, "hour", "hours") +
                      ": " + earlyTitleVerdict(figures) + ".");
    body += "<h2>Skips by hour, day by day</h2>\n" + timeline(figures);
    body += predictionSection(report);
    body += "<h2>The player's order</h2>\n" + paragraph(orderText(report.order) + ".");
    for (const OverShare& over : report.order.overShare)
        body += paragraph("Entry " + number(history.positions[static_cast<size_t>(over.entry)]) + ", " +
                          history.playlist[static_cast<size_t>(over.entry)].title + ": started " +
                          number(over.starts) + " times, its share " +
                          number(static_cast<int64_t>(over.expected + 0.5)) + ".");
    const bool fits = misfitText(report.order, history).empty();
    body += paragraph(modelText(report.order, history) + ".", fits ? "big" : "bad");
    body += "<h2>Limits from the station's history</h2>\n";
    switch (report.answer.state) {
    case kAnswerNotAsked:
        body += paragraph("No recommendation asked (give --sweep-artist and --sweep-title for one).");
        break;
    case kAnswerWithheld:
        body += paragraph("No recommendation: " + report.answer.reason + ".", "bad");
        break;
    default:
        body += paragraph(answerHeadingText(report.answer) + ".", "note");
        if (!report.answer.reason.empty())
            body += paragraph("Note: " + report.answer.reason + ".", "warn");
        if (report.answer.end == kPlayedItsLength)
            body += paragraphs(
                recommendationText(report.answer.context, report.answer.rows, report.answer.recommendation));
    }
    body += "<h2>Day by day</h2>\n" + daysTable(figures);
    body += "<h2>Limits in force</h2>\n";
    for (const AiredPeriodFigures& period : figures.periods)
        body += paragraph(
            "From " + minuteText(period.period.from) + " to " + minuteText(period.period.to) + ": " +
            periodLimitsText(period.period) + " (" + periodBeganText(period.period, report.versions) + "); " +
            durationText(static_cast<double>(period.counts.airMs / 1000)) + " on air, " +
            number(period.counts.played) + " played, " + number(period.counts.skipped) + " skipped.");
    body += refusedSections(figures) + hoursTable(figures);
    return htmlDocument("What went to air", kStyle, body);
}

} // namespace sim
