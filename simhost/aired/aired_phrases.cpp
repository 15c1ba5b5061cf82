// The phrases the console text, the page and the CSV share.
#include <cstdio>

#include "aired/aired_report.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

std::string metText(bool met) {
    return met ? "met" : "missed";
}

// "13 times, 1.91 a day on air (at most 1: met)"
std::string earlyText(int32_t count, int32_t perDay, const sim::SweepGoal& goal) {
    return sim::countOf(count, "time", "times") + ", " + sim::hundredthsText(perDay) + " a day on air (" +
           sim::allowanceText(goal.perDayHundredths) + ": " + metText(perDay <= goal.perDayHundredths) + ")";
}

std::string holeText(const sim::AiredHole& hole) {
    const std::string span = sim::minuteText(hole.from) + " to " + sim::minuteText(hole.to);
    switch (hole.kind) {
    case sim::kHoleLost:
        return sim::countOf(hole.lines, "line", "lines") + " lost from " + span +
               " (the log could not be written: its folder gone, the disk full, a share not answering)";
    case sim::kHoleUnreadable:
        return sim::countOf(hole.lines, "line", "lines") + " unreadable between " + span;
    case sim::kHoleSilent:
        return "no line from " + span +
               " while the player played (the machine asleep, or its clock set forward): no time on air";
    default:
        return "two players wrote into the log at once from " + span + " (" +
               sim::countOf(hole.lines, "line", "lines") +
               "): nothing tells their lines apart, so that time is left out; give each player a file of its "
               "own (AirLog= in each plugin.ini)";
    }
}

} // namespace

namespace sim {

std::vector<std::string> historyNotes(const AiredHistory& history, const AiredScope& scope) {
    std::vector<std::string> notes;
    int32_t holes = 0;
    for (const AiredHole& hole : history.holes)
        if (inScope(scope, localDay(hole.from)) && holes++ < 5)
            notes.push_back(holeText(hole));
    if (holes > 5)
        notes.push_back("and " + countOf(holes - 5, "more such place", "more such places"));
    if (holes > 0)
        notes.push_back(
            "the figures leave out the time of each such place, and hold no track after it against "
            "one before it: each count is at least what it says");
    for (const AirTime& restart : history.restarts)
        if (inScope(scope, localDay(restart)))
            notes.push_back("the plug-in started again at " + minuteText(restart) +
                            " without having shut down (the player ended unexpectedly, or the power failed)");
    if (history.unlistedTitles > 0)
        notes.push_back(
            countOf(history.unlistedTitles, "title", "titles") +
            " the log shows are not in the playlist file: it has changed since; the prediction and "
            "the recommendation play the file's titles");
    if (history.retitledPositions > 0)
        notes.push_back(countOf(history.retitledPositions, "place", "places") +
                        " of the playlist held more than one title while the log ran: the playlist changed");
    return notes;
}

std::string filesText(const AiredReport& report) {
    if (report.files.size() < 2)
        return report.files.empty() ? std::string() : report.files.front();
    return report.files.back() + ", after " + report.files.front();
}

std::string daysText(int64_t fromDay, int64_t toDay) {
    return fromDay == toDay ? dayText(fromDay) : dayText(fromDay) + " to " + dayText(toDay);
}

std::string airedGoalText(const SweepGoal& goal) {
    std::string text = "an artist back sooner than " + std::to_string(goal.artistGapMinutes) +
                       " minutes after its previous start " + allowanceText(goal.perDayHundredths);
    if (goal.titleGapHours > 0)
        text += "; the same title sooner than " + countOf(goal.titleGapHours, "hour", "hours") + " " +
                allowanceText(goal.perDayHundredths);
    return text + "; a skip rate of at most " + tenthsText(goal.maxSkipTenths) + " %";
}

std::string skipRateVerdict(const AiredFigures& figures) {
    const int64_t started = static_cast<int64_t>(figures.all.played) + figures.all.skipped;
    return tenthsText(figures.skipTenths) + " % of the " + countOf(started, "track", "tracks") +
           " started (at most " + tenthsText(figures.goal.maxSkipTenths) +
           " %: " + metText(figures.skipTenths <= figures.goal.maxSkipTenths) + ")";
}

std::string earlyArtistVerdict(const AiredFigures& figures) {
    return earlyText(figures.all.earlyArtist, figures.artistPerDay, figures.goal);
}

std::string earlyTitleVerdict(const AiredFigures& figures) {
    return earlyText(figures.all.earlyTitle, figures.titlePerDay, figures.goal);
}

std::string periodLimitsText(const AiredPeriod& period) {
    if (!period.known)
        return "not known (the log begins after the plug-in started)";
    return settingText({period.limits.artistLimit, period.limits.titleLimit}) +
           (period.limits.monitoring ? "" : ", the filter off (EnablePlaylistMonitoring=0)");
}

std::string periodBeganText(const AiredPeriod& period, const std::vector<std::string>& versions) {
    if (!period.known)
        return "the log begins";
    if (period.began == kAirLimits)
        return "changed while the plug-in ran: the dialog's OK or Apply, or plugin.ini read again";
    const std::string version = period.version >= 0 &&
                                        static_cast<size_t>(period.version) < versions.size() &&
                                        !versions[static_cast<size_t>(period.version)].empty()
                                    ? " " + versions[static_cast<size_t>(period.version)]
                                    : std::string();
    return "the plug-in" + version + " started with them";
}

std::string figureName(int32_t figure, const SweepGoal& goal) {
    switch (figure) {
    case kFigureSkipRate:
        return "skip rate, %";
    case kFigureEarlyArtist:
        return "an artist back within " + std::to_string(goal.artistGapMinutes) + " min, a day";
    case kFigureOtherSpellings:
        return "... under another spelling, a day";
    case kFigureEarlyTitle:
        return "the same title within " + std::to_string(goal.titleGapHours) + " h, a day";
    case kFigureLongestSkipRun:
        return "longest run of skips";
    default:
        return "returns within one rotation, %";
    }
}

std::string figureText(int32_t figure, int64_t value) {
    switch (figure) {
    case kFigureSkipRate:
    case kFigureWithinRotation:
        return tenthsText(value);
    case kFigureLongestSkipRun:
        return std::to_string(value);
    default:
        return hundredthsText(value);
    }
}

std::string outsideText(const PeriodPrediction& period, const SweepGoal& goal) {
    std::string text;
    for (const FigureSpread& spread : period.figures) {
        if (!spread.outside)
            continue;
        text += (text.empty() ? "" : "; ") + figureName(spread.figure, goal) + ": aired " +
                figureText(spread.figure, spread.aired) + ", " +
                (spread.aired > spread.seeds.back() ? "above" : "below") + " every seed (" +
                figureText(spread.figure, spread.seeds.front()) + " to " +
                figureText(spread.figure, spread.seeds.back()) + ")";
    }
    return text;
}

std::string chanceText(const AiredPrediction& prediction) {
    // Of n seeds and the aired figure, all alike, each is the lowest or the highest as often.
    const auto seeds = static_cast<int64_t>(prediction.seeds.size());
    return "a figure of a station the model fits falls outside the spread of " +
           countOf(seeds, "seed", "seeds") + " by chance alone about 2 times in " + std::to_string(seeds + 1);
}

std::string orderText(const PlayedOrder& order) {
    std::string verdict;
    switch (order.verdict) {
    case kOrderDealt:
        verdict = "a shuffle that deals every entry once per round, as the tool simulates";
        break;
    case kOrderInOrder:
        verdict = "the playlist in order: " +
                  tenthsText(rateTenths(static_cast<double>(order.following) / order.pairs)) +
                  " % of the tracks started at the place after the one before";
        break;
    case kOrderRandomPicks:
        verdict = "a pick at random with replacement, not a dealt shuffle";
        break;
    default:
        verdict = "too short to tell (" + countOf(order.starts, "track", "tracks") + " started for " +
                  countOf(order.entries, "entry", "entries") + ")";
    }
    if (order.returns == 0)
        return verdict;
    return verdict + "; of the " + countOf(order.returns, "start", "starts") +
           " with two rounds after them in the log, " +
           tenthsText(rateTenths(static_cast<double>(order.withinRotation) / order.returns)) +
           " % came back within one rotation (" + std::to_string(order.entries) + " tracks started) and " +
           (order.pastTwoRounds == 0 ? std::string("none") : std::to_string(order.pastTwoRounds)) +
           " waited two rounds or more (a dealt shuffle brings about half back within one rotation and none "
           "after two; a pick at random about 63 %, and one in seven after two)";
}

std::string modelText(const PlayedOrder& order, const AiredHistory& history) {
    const std::string misfit = misfitText(order, history);
    if (!misfit.empty())
        return "the model does not fit: " + misfit +
               "; its predictions are those of a station that shuffles, not of this one";
    if (order.verdict == kOrderTooShort)
        return "the model: the log is too short to tell whether it fits; the predictions assume the shuffle "
               "the "
               "tool simulates";
    return "the model fits: the player deals every entry once per round, as the tool simulates, and no entry "
           "starts more than its share";
}

std::string answerHeadingText(const AiredAnswer& answer) {
    const SweepPlan& plan = answer.context.plan;
    const auto settings = static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size());
    std::string limits = "SameArtistCheckLimit " + std::to_string(plan.artistLimits.front());
    if (plan.artistLimits.size() > 1)
        limits += ".." + std::to_string(plan.artistLimits.back());
    limits += ", SameTitleCheckLimit " + std::to_string(plan.titleLimits.front());
    if (plan.titleLimits.size() > 1)
        limits += ".." + std::to_string(plan.titleLimits.back());
    return "a sweep of " + countOf(settings, "setting", "settings") + " (" + limits + ") over " +
           answer.context.playlistName + ", " + countOf(answer.context.entries, "entry", "entries") +
           ", on " + countOf(static_cast<int64_t>(plan.seeds.size()), "seed", "seeds") + " of " +
           durationText(static_cast<double>(plan.stationSeconds)) + " each";
}

} // namespace sim
