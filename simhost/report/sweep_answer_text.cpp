// The sweep's answer on the console (and on the page): where the station's own limits stand, the
// recommended setting and why, what switching on a rule it leaves off would cost and the safer
// choice nearby; or, when no setting meets every goal, which goal binds and the choice, the one
// nearest the goals marked.
#include "report/report.h"
#include "report/sweep_report.h"
#include "tuning/nearby_choice.h"

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

// "2.4 points" of skip rate between two rows' medians, `more` skipping more.
std::string pointsText(const sim::SweepRow& more, const sim::SweepRow& fewer) {
    const int32_t tenths = more.skipTenths - fewer.skipTenths;
    return sim::tenthsText(tenths) + (tenths == 10 ? " point" : " points");
}

// The goals `row` misses, in words: "the artist goal and the skip goal"; "" when it meets them all.
std::string missedText(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    std::vector<std::string> missed;
    if (!row.meetsArtistGoal)
        missed.push_back("the artist goal");
    if (!row.meetsTitleGoal && goal.titleGapHours > 0)
        missed.push_back("the title goal");
    if (!row.meetsSkipGoal)
        missed.push_back(row.starved ? "the skip goal (on some seed every entry was refused lap after lap)"
                                     : "the skip goal");
    std::string text;
    for (size_t i = 0; i < missed.size(); i++)
        text += (i == 0 ? "" : i + 1 == missed.size() ? " and " : ", ") + missed[i];
    return text;
}

// The line on the station's own limits: where they come from, each goal's figure, and the goals
// they miss; "" when the sweep has no row of them.
std::string stationLine(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows) {
    const int32_t index = sim::stationRow(rows, context.station);
    if (index < 0)
        return std::string();
    const sim::SweepRow& row = rows[static_cast<size_t>(index)];
    const sim::SweepGoal& goal = context.plan.goal;
    std::string line = "now: ";
    switch (context.station.source) {
    case sim::kStationNoIni:
        line += sim::settingText(row.setting) +
                ", the plug-in's defaults (there is no plugin.ini; both rules off)";
        break;
    case sim::kStationFilterOff:
        line += "the filter is off (EnablePlaylistMonitoring=0 in plugin.ini), which plays as " +
                sim::settingText(row.setting) + " (both rules off)";
        break;
    default:
        line += sim::settingText(row.setting) + ", as plugin.ini holds them" + sim::offText(row.setting);
        break;
    }
    line += ": " + artistFigure(row, goal);
    if (goal.titleGapHours > 0)
        line += ", " + titleFigure(row, goal);
    line += ", " + skipFigure(row, goal);
    const std::string missed = missedText(row, goal);
    return line + (missed.empty() ? "; it meets every goal" : "; it misses " + missed) + "\n";
}

// Said first when the station's limits already meet every goal: how much changing them saves.
std::string stationMeetsText(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                             int32_t recommended) {
    const int32_t index = sim::stationRow(rows, context.station);
    if (index < 0 || !sim::meetsEveryGoal(rows[static_cast<size_t>(index)]))
        return std::string();
    const sim::SweepRow &now = rows[static_cast<size_t>(index)],
                        &answer = rows[static_cast<size_t>(recommended)];
    if (index == recommended)
        return "your limits meet the goals, and no setting that meets them skips less: keep them\n";
    if (now.skipTenths == answer.skipTenths)
        return "your limits meet the goals, with as few skips as the recommended setting: keeping them is as "
               "good\n";
    return "your limits meet the goals; changing to " + sim::settingText(answer.setting) + " saves " +
           pointsText(now, answer) + " of skips (" + sim::tenthsText(answer.skipTenths) + " % instead of " +
           sim::tenthsText(now.skipTenths) + " %)\n";
}

// What switching on the rule (`artist`, or the title's) that the recommended setting leaves off
// would cost, as a line under its reason; "" when the rule is on, or the safer choice has it on and
// says as much.
std::string ruleOnText(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                       const sim::Recommendation& recommendation, bool artist) {
    const sim::SweepRow& answer = rows[static_cast<size_t>(recommendation.recommended)];
    const int32_t answerLimit = artist ? answer.setting.artistLimit : answer.setting.titleLimit;
    const int32_t on = artist ? recommendation.artistRuleOn : recommendation.titleRuleOn;
    const std::string rule = artist ? "the artist rule" : "the title rule";
    if (answerLimit != 0)
        return std::string();
    if (on < 0)
        return "  " + rule + " is off in every setting swept, so what switching it on costs is not known (" +
               (artist ? "--sweep-artist" : "--sweep-title") + " tries it)\n";
    if (recommendation.safer >= 0) {
        const sim::SweepSetting& safer = rows[static_cast<size_t>(recommendation.safer)].setting;
        if ((artist ? safer.artistLimit : safer.titleLimit) > 0)
            return std::string(); // the safer choice's line says what the rule on costs
    }
    const sim::SweepRow& row = rows[static_cast<size_t>(on)];
    const sim::SweepGoal& goal = context.plan.goal;
    std::string line = "  with " + rule + " on: " + sim::settingText(row.setting) + ", " +
                       pointsText(row, answer) + " more skips (a median skip rate of " +
                       sim::tenthsText(row.skipTenths) + " %)";
    if (artist)
        line += ", an artist back within " + std::to_string(goal.artistGapMinutes) + " minutes " +
                sim::hundredthsText(row.worstArtistPerDay) + " times a day instead of " +
                sim::hundredthsText(answer.worstArtistPerDay);
    else if (goal.titleGapHours > 0)
        line += ", the same title within " + sim::countOf(goal.titleGapHours, "hour", "hours") + " " +
                sim::hundredthsText(row.worstTitlePerDay) + " times a day instead of " +
                sim::hundredthsText(answer.worstTitlePerDay);
    const std::string missed = missedText(row, goal);
    return line + (missed.empty() ? "" : "; it misses " + missed) + "\n";
}

// The safer choice nearby, when there is one: its cost in skips and what it saves in early returns.
std::string saferText(const sim::SweepContext& context, const std::vector<sim::SweepRow>& rows,
                      const sim::Recommendation& recommendation) {
    if (recommendation.safer < 0)
        return std::string();
    const sim::SweepGoal& goal = context.plan.goal;
    const sim::SweepRow &row = rows[static_cast<size_t>(recommendation.safer)],
                        &answer = rows[static_cast<size_t>(recommendation.recommended)];
    const bool titles = goal.titleGapHours > 0;
    auto returns = [&](const sim::SweepRow& r) {
        return sim::hundredthsText(r.worstArtistPerDay) +
               (titles ? " of an artist and " + sim::hundredthsText(r.worstTitlePerDay) + " of a title"
                       : std::string(" of an artist"));
    };
    return "safer nearby: " + sim::settingText(row.setting) + sim::offText(row.setting) + ", " +
           pointsText(row, answer) + " more skips (" + sim::tenthsText(row.skipTenths) + " %) for " +
           sim::hundredthsText(sim::earlyReturnsTogether(answer, goal) -
                               sim::earlyReturnsTogether(row, goal)) +
           " fewer early returns a day: " + returns(row) + ", against " + returns(answer) +
           " (the fewest early returns within " + sim::tenthsText(sim::kSaferSkipMarginTenths) +
           " points more skips)\n";
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
        // Each goal is met by some setting; the artist and title goals may not be by the same one.
        const std::string apart = goal.titleGapHours > 0 ? "artists and titles" : "artists";
        out = "the goals conflict: ";
        out += skipsKeepingApart >= 0 ? "the settings that keep " + apart + " apart enough skip at least " +
                                            sim::tenthsText(skipsKeepingApart) + " % (at most " +
                                            sim::tenthsText(goal.maxSkipTenths) + " % asked)"
                                      : "no setting keeps both artists and titles apart enough (one goal or "
                                        "the other, never both)";
        out += artistSkippingLittle >= 0
                   ? ", and those that skip little enough bring an artist back early at least " +
                         sim::hundredthsText(artistSkippingLittle) + " times a day (at most " +
                         sim::perDayText(goal.perDayHundredths) + " asked)\n"
                   : ", and none that skips little enough keeps titles apart enough\n";
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
        return stationMeetsText(context, rows, recommendation.recommended) + stationLine(context, rows) +
               "recommended: " + settingText(row.setting) + "\n" + why + "\n" + unjudgedGoalsText(goal) +
               ruleOnText(context, rows, recommendation, true) +
               ruleOnText(context, rows, recommendation, false) + saferText(context, rows, recommendation);
    }
    std::string out = stationLine(context, rows) + bindingText(rows, goal, recommendation);
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
