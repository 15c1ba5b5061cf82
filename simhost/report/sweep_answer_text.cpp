// The sweep's answer on the console (and on the page): the recommended setting and why, or, when
// no setting meets every goal, which goal binds and the choice, the one nearest the goals marked.
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

// " + 2.40 a day under other spellings": the early returns of an artist that no limit prevents, on
// the seed whose figure the goal judges; "" when there are none.
std::string otherSpellingsText(const sim::SweepRow& row) {
    return row.spellingsPerDay > 0
               ? " + " + sim::hundredthsText(row.spellingsPerDay) + " a day under other spellings"
               : std::string();
}

// "an artist back within 60 minutes 0.33 times a day on the worst seed (at most 1)"
std::string artistFigure(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return "an artist back within " + std::to_string(goal.artistGapMinutes) + " minutes " +
           sim::hundredthsText(row.worstArtistPerDay) + " times a day on the worst seed (at most " +
           sim::perDayText(goal.perDayHundredths) + ")" + otherSpellingsText(row);
}

std::string titleFigure(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return "the same title within " + sim::countOf(goal.titleGapHours, "hour", "hours") + " " +
           sim::hundredthsText(row.worstTitlePerDay) + " times a day on the worst seed (at most " +
           sim::perDayText(goal.perDayHundredths) + ")";
}

std::string skipFigure(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return "a median skip rate of " + sim::tenthsText(row.skipTenths) + " % (at most " +
           sim::tenthsText(goal.maxSkipTenths) + " %; worst seed " + sim::tenthsText(row.worstSkipTenths) +
           " %)";
}

// One line of the choice: the setting first, as a script reads it, then its figures.
std::string choiceLine(const sim::SweepRow& row, const sim::SweepGoal& goal, bool nearest) {
    std::string line =
        "choice: " + sim::settingText(row.setting) + " " + sim::hundredthsText(row.worstArtistPerDay) +
        " early returns of an artist a day (worst seed)" + otherSpellingsText(row) + ", skip rate " +
        sim::tenthsText(row.skipTenths) + " % (worst seed " + sim::tenthsText(row.worstSkipTenths) + " %)";
    if (goal.titleGapHours > 0)
        line += ", " + sim::hundredthsText(row.worstTitlePerDay) + " early returns of a title a day";
    line += sim::offText(row.setting);
    if (row.starved)
        line += " (on some seed every entry was refused lap after lap)";
    return line + (nearest ? "  <- nearest the goals" : "") + "\n";
}

// The lines that say which goal was asked but not judged, and why, the last ending with what the
// answer rests on instead; "" when every goal asked was judged.
std::string unjudgedGoalsText(const sim::SweepGoal& goal) {
    std::string out;
    if (goal.artistUnjudged)
        out += "  the artist goal (" + std::to_string(goal.artistGapMinutes) +
               " minutes) is not judged: " + sim::kArtistsUnjudged;
    if (goal.unjudgedTitleGapHours > 0)
        out += (out.empty() ? "" : "\n") + std::string("  the title goal (") +
               sim::countOf(goal.unjudgedTitleGapHours, "hour", "hours") +
               ") is not judged: " + sim::kTitlesUnjudged;
    if (out.empty())
        return out;
    const std::string judged =
        std::string(goal.artistUnjudged ? "" : "artist and ") + (goal.titleGapHours > 0 ? "title and " : "");
    return out + "; this answer rests on the " + judged + "skip goal" + (judged.empty() ? "" : "s") +
           " alone\n";
}

// Which goal binds, when no setting meets every goal.
std::string bindingText(const std::vector<sim::SweepRow>& rows, const sim::SweepGoal& goal,
                        const sim::Recommendation& recommendation) {
    int32_t fewestArtist = -1, fewestTitle = -1, fewestSkips = -1;
    int32_t skipsKeepingApart = -1, artistSkippingLittle = -1, titleSkippingLittle = -1;
    auto lower = [](int32_t* best, int32_t value) {
        if (*best < 0 || value < *best)
            *best = value;
    };
    for (const sim::SweepRow& row : rows) {
        lower(&fewestArtist, row.worstArtistPerDay);
        lower(&fewestTitle, row.worstTitlePerDay);
        if (!row.starved)
            lower(&fewestSkips, row.skipTenths);
        if (row.meetsArtistGoal && row.meetsTitleGoal && !row.starved)
            lower(&skipsKeepingApart, row.skipTenths);
        if (row.meetsSkipGoal && row.meetsTitleGoal)
            lower(&artistSkippingLittle, row.worstArtistPerDay);
        if (row.meetsSkipGoal)
            lower(&titleSkippingLittle, row.worstTitlePerDay);
    }
    const std::string allowance = sim::allowanceText(goal.perDayHundredths);
    std::string out;
    if (recommendation.unmetGoals & sim::kArtistGoalBit)
        out += "the artist goal binds: no setting swept brings an artist back sooner than " +
               std::to_string(goal.artistGapMinutes) + " minutes " + allowance +
               " on every seed (the fewest: " + sim::hundredthsText(fewestArtist) +
               " a day on the worst seed)\n";
    if (recommendation.unmetGoals & sim::kTitleGoalBit)
        out += "the title goal binds: no setting swept brings the same title back sooner than " +
               sim::countOf(goal.titleGapHours, "hour", "hours") + " " + allowance +
               " on every seed (the fewest: " + sim::hundredthsText(fewestTitle) + " a day)\n";
    if (recommendation.unmetGoals & sim::kSkipGoalBit)
        out += "the skip goal binds: every setting swept has a median skip rate above " +
               sim::tenthsText(goal.maxSkipTenths) + " %" +
               (fewestSkips >= 0 ? " (the lowest: " + sim::tenthsText(fewestSkips) + " %)" : std::string()) +
               "\n";
    if (out.empty() && goal.artistUnjudged) {
        // The artist goal, unjudged, is met by every setting: the title goal is the other side.
        out = "the goals conflict: the settings that keep titles apart enough skip at least " +
              sim::tenthsText(skipsKeepingApart) + " % (at most " + sim::tenthsText(goal.maxSkipTenths) +
              " % asked), and those that skip little enough bring a title back early at least " +
              sim::hundredthsText(titleSkippingLittle) + " times a day (at most " +
              sim::perDayText(goal.perDayHundredths) + " asked)\n";
    } else if (out.empty()) {
        out = "the goals conflict: the settings that keep artists";
        out += goal.titleGapHours > 0 ? " and titles" : "";
        out += " apart enough skip at least " + sim::tenthsText(skipsKeepingApart) + " % (at most " +
               sim::tenthsText(goal.maxSkipTenths) +
               " % asked), and those that skip little enough bring an artist back early at least " +
               sim::hundredthsText(artistSkippingLittle) + " times a day (at most " +
               sim::perDayText(goal.perDayHundredths) + " asked)\n";
    }
    return "no setting meets every goal; " + out;
}

} // namespace

namespace sim {
std::string recommendationText(const SweepContext& context, const std::vector<SweepRow>& rows,
                               const Recommendation& recommendation) {
    const SweepGoal& goal = context.plan.goal;
    if (recommendation.recommended >= 0) {
        const SweepRow& row = rows[static_cast<size_t>(recommendation.recommended)];
        std::string why = "  why: of the settings that meet every goal on every seed, the fewest skips" +
                          offText(row.setting) + ": ";
        if (!goal.artistUnjudged)
            why += artistFigure(row, goal) + ", ";
        if (goal.titleGapHours > 0)
            why += titleFigure(row, goal) + ", ";
        why += skipFigure(row, goal);
        return "recommended: " + settingText(row.setting) + "\n" + why + "\n" + unjudgedGoalsText(goal);
    }
    std::string out = bindingText(rows, goal, recommendation);
    out += "the choice, from the fewest skips to the fewest early returns of an artist:\n";
    for (int32_t index : recommendation.choices)
        out += choiceLine(rows[static_cast<size_t>(index)], goal, index == recommendation.nearest);
    if (recommendation.nearest >= 0)
        out += "  nearest the goals: the choice whose larger miss is the smallest, each miss a share of its "
               "goal (early returns a day above " +
               perDayText(goal.perDayHundredths) + ", of at least 1; a skip rate above " +
               tenthsText(goal.maxSkipTenths) + " %, of at least 1 %)\n";
    return out + unjudgedGoalsText(goal);
}

} // namespace sim
