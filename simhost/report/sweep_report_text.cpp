// The sweep on the console: heading, table, replay and recommendation; and the texts the HTML page
// shares with it.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "playlist/station_clock.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

// `value` formatted by `pattern`, one of this file's own literal patterns.
std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Station seconds as minutes to a tenth, or "-" when there is no such gap (-1).
std::string minutesText(double seconds) {
    return seconds < 0 ? std::string("-") : format("%.1f", seconds / 60.0);
}

// "0..30 (31 settings)" or "0, 50, 100" for a swept limit, "150 as plugin.ini holds it" for the other.
std::string limitsText(const std::vector<int32_t>& limits, bool swept) {
    if (!swept)
        return std::to_string(limits.front()) + " as plugin.ini holds it";
    if (limits.size() > 1 && limits.size() <= 6 && limits[1] - limits[0] > 1) {
        std::string list;
        for (int32_t limit : limits)
            list += (list.empty() ? "" : ", ") + std::to_string(limit);
        return list;
    }
    return std::to_string(limits.front()) + ".." + std::to_string(limits.back()) + " (" +
           sim::countOf(static_cast<int64_t>(limits.size()), "setting", "settings") + ")";
}

// The seeds in a list, or their first and last when there are many (they are consecutive).
std::string seedsText(const std::vector<uint64_t>& seeds) {
    if (seeds.size() > 6)
        return std::to_string(seeds.front()) + " and the " + std::to_string(seeds.size() - 1) +
               " numbers after it";
    std::string text;
    for (uint64_t seed : seeds)
        text += (text.empty() ? "" : ", ") + std::to_string(seed);
    return text;
}

// The goal in words.
std::string goalText(const sim::SweepGoal& goal) {
    return "the same artist at least " + std::to_string(goal.artistGapMinutes) + " minutes apart in " +
           std::to_string(sim::kArtistGoalPercentOfReturns) +
           " % of returns on every seed, and a median skip rate of at most " +
           sim::tenthsText(std::lround(goal.maxSkipPercent * 10.0)) + " %";
}

// What the goals column says of a row: the goals it meets, and its part in the recommendation.
std::string goalsCell(const sim::SweepRow& row, int32_t index, const sim::Recommendation& recommendation) {
    std::string cell = row.meetsArtistGoal && row.meetsSkipGoal ? "both"
                       : row.meetsArtistGoal                    ? "artist"
                       : row.meetsSkipGoal                      ? "skips"
                                                                : "-";
    if (row.starved)
        cell += " (starved)";
    const bool byArtist = index == recommendation.closestByArtist;
    const bool bySkips = index == recommendation.closestBySkips;
    if (index == recommendation.recommended)
        cell += "  <- recommended";
    else if (byArtist || bySkips)
        cell += byArtist && bySkips ? "  <- closest both ways"
                : byArtist          ? "  <- closest by artist"
                                    : "  <- closest by skips";
    return cell;
}

// A setting's figures for the artist goal in words.
std::string artistFigure(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return sim::tenthsText(sim::worstPermilleApart(row)) + " % of returns at least " +
           std::to_string(goal.artistGapMinutes) + " minutes apart on its worst seed";
}

// The line on one of the closest settings when no setting meets both goals.
std::string closestLine(const char* side, const sim::SweepRow& row, const sim::SweepGoal& goal) {
    return std::string("  closest ") + side + sim::settingText(row.setting) + ": " + artistFigure(row, goal) +
           ", a median skip rate of " + sim::percentText(row.medianSkipRate) + " %" +
           (row.starved ? " (on some seed every entry was refused lap after lap)" : "") + "\n";
}

} // namespace

namespace sim {

std::string settingText(SweepSetting setting) {
    return "SameArtistCheckLimit=" + std::to_string(setting.artistLimit) +
           " SameTitleCheckLimit=" + std::to_string(setting.titleLimit);
}

int32_t worstPermilleApart(const SweepRow& row) {
    int64_t worst = 1000;
    for (const SeedFigures& seed : row.seeds) {
        const auto returns = static_cast<int64_t>(seed.gapSeconds.size());
        if (returns > 0)
            worst = std::min(worst, (returns - seed.returnsWithinGoal) * 1000 / returns);
    }
    return static_cast<int32_t>(worst);
}

std::string percentText(double rate) {
    return format("%.1f", rate * 100.0);
}

std::string tenthsText(int64_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string renderSweepHeading(const SweepContext& context) {
    const SweepPlan& plan = context.plan;
    const double rotations = context.rotationSeconds > 0
                                 ? static_cast<double>(plan.stationSeconds) / context.rotationSeconds
                                 : 0.0;
    const int64_t settings = static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size());
    std::string out = "== sweep: " + context.playlistName + ", " +
                      countOf(context.entries, "entry", "entries") + "; one rotation takes " +
                      clockText(context.rotationSeconds) + " of station time\n";
    out += "each run: " + clockText(plan.stationSeconds) + " of station time (" + format("%.1f", rotations) +
           " rotations), shuffled\n";
    out += "settings: SameArtistCheckLimit " + limitsText(plan.artistLimits, plan.artistSwept) +
           ", SameTitleCheckLimit " + limitsText(plan.titleLimits, plan.titleSwept) + "; on " +
           countOf(static_cast<int64_t>(plan.seeds.size()), "seed", "seeds") + ": " +
           countOf(settings * static_cast<int64_t>(plan.seeds.size()), "run", "runs") + "\n";
    out += "seeds: " + seedsText(plan.seeds) + "; this repeats the sweep exactly:\n  " +
           context.repeatCommand + "\n";
    out += "goal: " + goalText(plan.goal) + "\n";
    if (plan.stationSeconds < kLeastSweepRotations * context.rotationSeconds)
        out += "warning: " + clockText(plan.stationSeconds) + " of station time covers " +
               format("%.1f", rotations) +
               " rotations of the playlist: a title limit shows what it does only once the playlist has "
               "come round, so the default length covers " +
               std::to_string(kLeastSweepRotations) + " (leave out --hours)\n";
    for (const std::string& warning : context.warnings)
        out += "warning: " + warning + "\n";
    return out;
}

SweepTable sweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                      const Recommendation& recommendation) {
    const std::string within = "< " + std::to_string(context.plan.goal.artistGapMinutes) + " min";
    SweepTable table;
    const struct {
        const char* group;
        std::string name;
        bool number;
    } columns[] = {
        {"limits", "artist", true},
        {"", "title", true},
        {"skip rate, %", "median", true},
        {"", "lowest", true},
        {"", "highest", true},
        {"skips", "per hour", true},
        {"", "in a row", true},
        {"artist gap, minutes", "shortest", true},
        {"", "median", true},
        {"artist gap, tracks", "shortest", true},
        {"", "median", true},
        {"artist returns", within, true},
        {"", "apart %", true},
        {"", "misjudged", true},
        {"goals", "met", false},
    };
    for (const auto& column : columns) {
        table.groups.push_back(column.group);
        table.names.push_back(column.name);
        table.numbers.push_back(column.number);
    }
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        table.cells.push_back({
            std::to_string(row.setting.artistLimit),
            std::to_string(row.setting.titleLimit),
            percentText(row.medianSkipRate),
            percentText(row.lowestSkipRate),
            percentText(row.highestSkipRate),
            format("%.1f", row.skipsPerHour),
            std::to_string(row.longestSkipRun),
            minutesText(static_cast<double>(row.shortestGapSeconds)),
            row.returns > 0 ? minutesText(row.medianGapSeconds) : "-",
            row.returns > 0 ? std::to_string(row.shortestGapTracks) : "-",
            row.returns > 0 ? medianText(row.medianGapTracks) : "-",
            std::to_string(row.returnsWithinGoal),
            tenthsText(worstPermilleApart(row)),
            std::to_string(row.misjudged),
            goalsCell(row, static_cast<int32_t>(i), recommendation),
        });
    }
    return table;
}

std::vector<std::string> sweepTableNotes(const SweepContext& context) {
    const std::string minutes = std::to_string(context.plan.goal.artistGapMinutes);
    return {
        "skip rate: the share of tracks started that the plug-in refused, the median and the range over the",
        "seeds; skips per hour of station time, and the longest run of skips in a row on any seed.",
        "artist gap: from the start of one play of an artist to the start of the next, in minutes of station",
        "time and in tracks played between, over the returns of all seeds; returns < " + minutes +
            " min: how many came",
        "sooner (all seeds); apart %: the share at least " + minutes +
            " minutes apart on the worst seed. misjudged: refusals",
        "of an artist who had not played within the window, mistaken by the rule's three-letter key.",
    };
}

std::string renderSweepTable(const SweepContext& context, const std::vector<SweepRow>& rows,
                             const Recommendation& recommendation) {
    const SweepTable table = sweepTable(context, rows, recommendation);
    const size_t columns = table.names.size();
    std::vector<size_t> widths(columns);
    for (size_t c = 0; c < columns; c++) {
        widths[c] = table.names[c].size();
        for (const std::vector<std::string>& cells : table.cells)
            widths[c] = std::max(widths[c], cells[c].size());
    }
    // A group's name runs over its columns; the last of them widens when the name is longer.
    std::vector<size_t> groupEnds(columns); // the last column of the group each column begins
    for (size_t c = 0; c < columns; c++) {
        size_t last = c, span = widths[c];
        while (last + 1 < columns && table.groups[last + 1].empty())
            span += 2 + widths[++last];
        groupEnds[c] = last;
        if (table.groups[c].size() > span)
            widths[last] += table.groups[c].size() - span;
    }
    std::string out;
    for (size_t c = 0; c < columns; c = groupEnds[c] + 1) {
        size_t span = widths[c];
        for (size_t k = c + 1; k <= groupEnds[c]; k++)
            span += 2 + widths[k];
        out += table.groups[c] + std::string(span - table.groups[c].size() + 2, ' ');
    }
    auto appendLine = [&](const std::vector<std::string>& texts) {
        out.erase(out.find_last_not_of(' ') + 1);
        out += "\n";
        for (size_t c = 0; c < columns; c++) {
            const std::string padding(widths[c] - texts[c].size(), ' ');
            out += table.numbers[c] ? padding + texts[c] : texts[c] + padding;
            out += "  ";
        }
    };
    appendLine(table.names);
    for (const std::vector<std::string>& cells : table.cells)
        appendLine(cells);
    out.erase(out.find_last_not_of(' ') + 1);
    out += "\n";
    for (const std::string& note : sweepTableNotes(context))
        out += "  " + note + "\n";
    return out;
}

Recommendation standingRecommendation(const Recommendation& recommendation, const ReplayOutcome& replay) {
    if (!replay.ran || replay.agreed)
        return recommendation;
    return {recommendation.verdict, -1, -1, -1, recommendation.replayed};
}

std::string replayText(const ReplayOutcome& replay) {
    std::string text = "replay through the plug-in: " + settingText(replay.setting) + " on " +
                       countOf(replay.seeds, "seed", "seeds") + ", ";
    if (replay.agreed)
        return text + "the plug-in decided all " + countOf(replay.events, "track", "tracks") +
               " as the mirror did\n";
    return text + "the plug-in decided otherwise than the mirror: " + replay.difference + "\n";
}

std::string recommendationText(const SweepContext& context, const std::vector<SweepRow>& rows,
                               const Recommendation& recommendation) {
    const SweepGoal& goal = context.plan.goal;
    const std::string minutes = std::to_string(goal.artistGapMinutes) + " minutes";
    const std::string maxRate = tenthsText(std::lround(goal.maxSkipPercent * 10.0)) + " %";
    if (recommendation.recommended >= 0) {
        const SweepRow& row = rows[static_cast<size_t>(recommendation.recommended)];
        std::string why = "  why: the smallest artist limit";
        why += context.plan.artistSwept ? " swept" : " (plugin.ini's)";
        why += " that keeps the same artist at least " + minutes + " apart in " +
               std::to_string(kArtistGoalPercentOfReturns) + " % of returns on every seed (worst seed " +
               tenthsText(worstPermilleApart(row)) + " %), at a median skip rate of " +
               percentText(row.medianSkipRate) + " % (at most " + maxRate + ")";
        if (context.plan.titleSwept)
            why += "; with it, the largest title limit swept that still meets both";
        return "recommended: " + settingText(row.setting) + "\n" + why + "\n";
    }
    std::string out = "recommended: none: no setting meets both goals; ";
    switch (recommendation.verdict) {
    case kArtistGoalBinds:
        out += "the artist goal binds: no setting swept keeps the same artist " + minutes + " apart in " +
               std::to_string(kArtistGoalPercentOfReturns) + " % of returns on every seed\n";
        break;
    case kSkipGoalBinds:
        out += "the skip goal binds: every setting swept has a median skip rate above " + maxRate + "\n";
        break;
    case kGoalsConflict:
        out += "the goals conflict: the settings that keep the same artist " + minutes +
               " apart skip more than " + maxRate + ", and those that skip less bring artists back sooner\n";
        break;
    default:
        out += "neither goal is met by any setting swept\n";
    }
    if (recommendation.closestByArtist >= 0)
        out += closestLine("by artist: ", rows[static_cast<size_t>(recommendation.closestByArtist)], goal);
    if (recommendation.closestBySkips >= 0)
        out += closestLine("by skips:  ", rows[static_cast<size_t>(recommendation.closestBySkips)], goal);
    return out;
}

std::string differenceText(const RunRecord& real, const RunRecord& mirror, int64_t index, uint64_t seed) {
    const auto at = static_cast<size_t>(index);
    auto describe = [](const RunRecord& record, const TrackEvent& event) {
        return std::string(event.kind == kPlayed ? "played" : "skipped") + " entry " +
               std::to_string(event.entry + 1) + " \"" + titleOf(record, event) + "\"";
    };
    std::string text = "seed " + std::to_string(seed) + ", track " + std::to_string(index + 1) + " started";
    if (at < real.events.size() && at < mirror.events.size())
        return text + " (station time " + clockText(real.events[at].at) + "): the plug-in " +
               describe(real, real.events[at]) + ", the mirror " + describe(mirror, mirror.events[at]);
    if (at < mirror.events.size())
        return text + ": the plug-in's run ended before it, where the mirror " +
               describe(mirror, mirror.events[at]);
    return text + ": the mirror's run ended before it, where the plug-in " + describe(real, real.events[at]);
}

} // namespace sim
