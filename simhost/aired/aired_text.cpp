// What went to air on the console: the heading and notes, the figures against the goals, the days,
// the periods of the limits, what was refused, the hours of the day, the player's order, the
// prediction against the air and the recommendation from history.
#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "aired/aired_report.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

constexpr int kBarWidth = 30; // characters of the longest bar

std::string line(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

// One line formatted by `pattern`, one of this file's own literal patterns.
std::string line(const char* pattern, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

// "    12  text"
std::string counted(int64_t count, const std::string& text) {
    return line("    %6lld  ", static_cast<long long>(count)) + text + "\n";
}

// The skip rate of `counts` as "8.9", or "-" when nothing started.
std::string skipsText(const sim::AiredCounts& counts) {
    const int64_t started = static_cast<int64_t>(counts.played) + counts.skipped;
    return started > 0 ? sim::tenthsText(sim::rateTenths(static_cast<double>(counts.skipped) / started))
                       : "-";
}

void appendDays(std::string* out, const sim::AiredFigures& figures) {
    *out += "by day (early: sooner than the goals' gaps; unknown: lines lost or unreadable):\n";
    *out += line("  %-10s %7s %8s %8s %13s %12s %15s %12s %12s %8s\n", "day", "played", "skipped", "skips %",
                 "artist early", "title early", "other spelling", "longest run", "on air", "unknown");
    for (const sim::AiredDay& day : figures.days)
        *out += line("  %-10s %7d %8d %8s %13d %12d %15d %12d %12s %8d\n", sim::dayText(day.day).c_str(),
                     static_cast<int>(day.counts.played), static_cast<int>(day.counts.skipped),
                     skipsText(day.counts).c_str(), static_cast<int>(day.counts.earlyArtist),
                     static_cast<int>(day.counts.earlyTitle), static_cast<int>(day.counts.unpreventable),
                     static_cast<int>(day.counts.longestSkipRun),
                     sim::durationText(static_cast<double>(day.counts.airMs / 1000)).c_str(),
                     static_cast<int>(day.counts.unknownLines));
}

void appendPeriods(std::string* out, const sim::AiredReport& report) {
    const sim::AiredFigures& figures = report.figures;
    *out += "limits in force (each change marked):\n";
    for (size_t i = 0; i < figures.periods.size(); i++) {
        const sim::AiredPeriodFigures& period = figures.periods[i];
        const int64_t seconds = period.counts.airMs / 1000;
        *out += "  from " + sim::minuteText(period.period.from) + " to " + sim::minuteText(period.period.to) +
                ": " + sim::periodLimitsText(period.period) + (i > 0 ? "   <- " : "   (") +
                sim::periodBeganText(period.period, report.versions) + (i > 0 ? "\n" : ")\n");
        *out += "      " + sim::durationText(static_cast<double>(seconds)) + " on air, " +
                std::to_string(period.counts.played) + " played, " + std::to_string(period.counts.skipped) +
                " skipped (" + skipsText(period.counts) + " %), an artist back early " +
                sim::hundredthsText(sim::perDayHundredths(period.counts.earlyArtist, seconds)) +
                " a day, the same title " +
                sim::hundredthsText(sim::perDayHundredths(period.counts.earlyTitle, seconds)) + " a day\n";
    }
}

void appendRefused(std::string* out, const sim::AiredFigures& figures) {
    *out += "longest runs of skips in a row (the player spinning through refused tracks):";
    *out += figures.skipRuns.empty() ? " none\n" : "\n";
    for (const sim::SkipRun& run : figures.skipRuns)
        *out += counted(run.skips, "from " + sim::minuteText(run.from) + " (" +
                                       sim::countOf(run.entries, "entry", "entries") + ")");
    *out += "titles refused most:";
    *out += figures.refusedTitles.empty() ? " none\n" : "\n";
    for (const sim::CountedText& title : figures.refusedTitles)
        *out += counted(title.count, title.text);
    *out += "artists refused most:";
    *out += figures.refusedArtists.empty() ? " none\n" : "\n";
    for (const sim::CountedText& artist : figures.refusedArtists)
        *out += counted(artist.count, artist.text);
    if (figures.spellingPairs.empty())
        return;
    *out +=
        "returns no limit prevents: an artist back sooner than " +
        std::to_string(figures.goal.artistGapMinutes) +
        " minutes under another spelling, which the rule reads as another artist at every limit. Spell each "
        "artist one way in the playlist:\n";
    for (const sim::CountedPair& pair : figures.spellingPairs)
        *out += counted(pair.count, "\"" + pair.first + "\" / \"" + pair.second + "\"");
}

void appendHours(std::string* out, const sim::AiredFigures& figures) {
    int64_t most = 1;
    for (int32_t skipped : figures.skippedByHour)
        most = std::max<int64_t>(most, skipped);
    *out += "skips by hour of the day:\n";
    *out += line("  %4s %7s %8s %8s\n", "hour", "played", "skipped", "skips %");
    for (size_t hour = 0; hour < 24; hour++) {
        sim::AiredCounts counts = {};
        counts.played = figures.playedByHour[hour];
        counts.skipped = figures.skippedByHour[hour];
        const auto bar = static_cast<size_t>((counts.skipped * kBarWidth + most - 1) / most);
        *out += line("  %4d %7d %8d %8s  ", static_cast<int>(hour), static_cast<int>(counts.played),
                     static_cast<int>(counts.skipped), skipsText(counts).c_str()) +
                std::string(bar, '#') + "\n";
    }
}

void appendPrediction(std::string* out, const sim::AiredReport& report) {
    const sim::AiredPrediction& prediction = report.prediction;
    const sim::SweepGoal& goal = report.figures.goal;
    if (prediction.seeds.empty())
        return;
    *out += "prediction against the air: the tool's own simulation of the limits in force, over the same " +
            sim::countOf(prediction.entries, "entry", "entries") + " for the same time on air, on " +
            sim::countOf(static_cast<int64_t>(prediction.seeds.size()), "seed", "seeds") + " (" +
            std::to_string(prediction.seeds.front()) + " to " + std::to_string(prediction.seeds.back()) +
            "); " + sim::chanceText(prediction) + "\n";
    for (const sim::PeriodPrediction& period : prediction.periods) {
        *out += "  from " + sim::minuteText(period.period.period.from) + ", " +
                sim::periodLimitsText(period.period.period) + ", " +
                sim::durationText(static_cast<double>(period.seconds)) + " on air";
        if (!period.simulated) {
            *out += period.period.period.known ? ": under a day on air, not simulated\n"
                                               : ": not simulated, its limits are not known\n";
            continue;
        }
        *out += ":\n" + line("    %-38s %8s %10s  %s\n", "figure", "aired", "predicted", "seeds' spread");
        for (const sim::FigureSpread& spread : period.figures) {
            if (spread.figure == sim::kFigureEarlyTitle && goal.titleGapHours <= 0)
                continue;
            *out += line("    %-38s %8s %10s  %s .. %s%s\n", sim::figureName(spread.figure, goal).c_str(),
                         sim::figureText(spread.figure, spread.aired).c_str(),
                         sim::figureText(spread.figure, spread.median).c_str(),
                         sim::figureText(spread.figure, spread.seeds.front()).c_str(),
                         sim::figureText(spread.figure, spread.seeds.back()).c_str(),
                         spread.outside ? "   <- outside" : "");
        }
        const std::string outside = sim::outsideText(period, goal);
        *out += outside.empty() ? "    every aired figure is within the seeds' spread\n"
                                : "    outside the seeds' spread: " + outside + "\n";
    }
}

void appendAnswer(std::string* out, const sim::AiredReport& report) {
    const sim::AiredAnswer& answer = report.answer;
    switch (answer.state) {
    case sim::kAnswerNotAsked:
        *out +=
            "from the station's history: no recommendation asked (give --sweep-artist and --sweep-title for "
            "one)\n";
        return;
    case sim::kAnswerWithheld:
        *out += "from the station's history: no recommendation: " + answer.reason + "\n";
        return;
    default:
        break;
    }
    if (!report.rangesLine.empty())
        *out += report.rangesLine + "\n";
    *out += "from the station's history: " + sim::answerHeadingText(answer) + "\n";
    if (!answer.reason.empty())
        *out += "note: " + answer.reason + "\n";
    if (answer.end != sim::kPlayedItsLength) {
        *out += "error: the sweep could not finish (a run filled its record, or memory ran out): no "
                "recommendation\n";
        return;
    }
    *out += sim::unpreventableText(answer.context, answer.rows, answer.recommendation);
    *out += sim::recommendationText(answer.context, answer.rows, answer.recommendation);
}

} // namespace

namespace sim {

std::string renderAiredText(const AiredReport& report) {
    const AiredFigures& figures = report.figures;
    const AiredHistory& history = *report.history;
    std::string out = "== what went to air: " + filesText(report) + "\n";
    for (const std::string& note : report.notes)
        out += "note: " + note + "\n";
    if (figures.days.empty()) {
        out += history.empty ? "The log holds no events yet: nothing to report.\n"
                             : "Nothing went to air within the days asked.\n";
        return out;
    }
    out += "days: " + daysText(figures.fromDay, figures.toDay) + ", " +
           durationText(static_cast<double>(figures.all.airMs / 1000)) +
           " on air (paused, stopped and shut down left out)\n";
    if (history.starts > 1)
        out += "starts: the plug-in started " + countOf(history.starts, "time", "times") +
               " in the log; each start begins with nothing recorded, so the tracks just after it are judged "
               "against nothing\n";
    out += "titles: " +
           (report.playlistName.empty()
                ? countOf(static_cast<int64_t>(history.playlist.size()), "entry", "entries") +
                      " as the log shows them, with the lengths they aired for"
                : report.playlistName + ", " + countOf(history.listedEntries, "entry", "entries")) +
           "\n";
    out += "goals: " + airedGoalText(figures.goal) + "\n";
    out += "played " + countOf(figures.all.played, "track", "tracks") + ", skipped " +
           std::to_string(figures.all.skipped) + ": a skip rate of " + skipRateVerdict(figures) + "\n";
    out += "an artist back sooner than " + std::to_string(figures.goal.artistGapMinutes) +
           " minutes: " + earlyArtistVerdict(figures);
    if (figures.all.unpreventable > 0)
        out += "; and " + countOf(figures.all.unpreventable, "time", "times") + " (" +
               hundredthsText(figures.spellingsPerDay) +
               " a day) under another spelling, which no limit prevents";
    out += "\n";
    if (figures.goal.titleGapHours > 0)
        out += "the same title sooner than " + countOf(figures.goal.titleGapHours, "hour", "hours") + ": " +
               earlyTitleVerdict(figures) + "\n";
    appendDays(&out, figures);
    appendPeriods(&out, report);
    appendRefused(&out, figures);
    appendHours(&out, figures);
    out += "the player's order: " + orderText(report.order) + "\n";
    for (const OverShare& over : report.order.overShare)
        out +=
            counted(over.starts,
                    "starts of entry " + std::to_string(history.positions[static_cast<size_t>(over.entry)]) +
                        ", " + history.playlist[static_cast<size_t>(over.entry)].title +
                        " (its share: " + std::to_string(static_cast<int64_t>(over.expected + 0.5)) + ")");
    appendPrediction(&out, report);
    out += modelText(report.order, history) + "\n";
    appendAnswer(&out, report);
    return out;
}

} // namespace sim
