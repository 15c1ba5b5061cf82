// The sweep on the console: heading, table, replay and recommendation; and the texts the HTML page
// shares with it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "playlist/station_clock.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

// Why the title goal is not judged when the runs are shorter than one rotation.
const char kTitlesUnjudged[] =
    "each run is shorter than one rotation of the playlist, in which no title comes back "
    "(leave out --hours)";

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
    // Limits come in ascending order, so a 0 among them is the first; 0 switches the rule off.
    const std::string off = limits.front() == 0 ? " (0: the rule off)" : "";
    if (!swept)
        return std::to_string(limits.front()) + off + " as plugin.ini holds it";
    if (limits.size() > 1 && limits.size() <= 6 && limits[1] - limits[0] > 1) {
        std::string list;
        for (int32_t limit : limits)
            list += (list.empty() ? "" : ", ") + std::to_string(limit);
        return list + off;
    }
    return std::to_string(limits.front()) + ".." + std::to_string(limits.back()) + " (" +
           sim::countOf(static_cast<int64_t>(limits.size()), "setting", "settings") + ")" + off;
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

// The goals in words.
std::string goalText(const sim::SweepGoal& goal) {
    const std::string allowance = sim::allowanceText(goal.perDayHundredths);
    std::string text = "an artist back sooner than " + std::to_string(goal.artistGapMinutes) +
                       " minutes after its previous start " + allowance + " on every seed";
    if (goal.titleGapHours > 0)
        text += "; the same title sooner than " + sim::countOf(goal.titleGapHours, "hour", "hours") + " " +
                allowance;
    if (goal.unjudgedTitleGapHours > 0)
        text += "; the same title sooner than " + sim::countOf(goal.unjudgedTitleGapHours, "hour", "hours") +
                ": not judged, " + kTitlesUnjudged;
    return text + "; a median skip rate of at most " + sim::tenthsText(goal.maxSkipTenths) + " %";
}

// " + 2.40 a day under other spellings": the early returns of an artist that no limit prevents, on
// the seed whose figure the goal judges; "" when there are none.
std::string otherSpellingsText(const sim::SweepRow& row) {
    return row.spellingsPerDay > 0
               ? " + " + sim::hundredthsText(row.spellingsPerDay) + " a day under other spellings"
               : std::string();
}

// The goals a row meets, in a word or two.
std::string metText(const sim::SweepRow& row, const sim::SweepGoal& goal) {
    if (row.meetsArtistGoal && row.meetsTitleGoal && row.meetsSkipGoal)
        return "all";
    std::string met;
    if (row.meetsArtistGoal)
        met = "artist";
    if (row.meetsTitleGoal && goal.titleGapHours > 0)
        met += met.empty() ? "title" : "+title";
    if (row.meetsSkipGoal)
        met += met.empty() ? "skips" : "+skips";
    return met.empty() ? "-" : met;
}

// What the goals column says of a row: the goals it meets, and its part in the answer.
std::string goalsCell(const sim::SweepRow& row, int32_t index, const sim::SweepGoal& goal,
                      const sim::Recommendation& recommendation) {
    std::string cell = metText(row, goal);
    if (row.starved)
        cell += " (starved)";
    const bool choice = std::find(recommendation.choices.begin(), recommendation.choices.end(), index) !=
                        recommendation.choices.end();
    if (index == recommendation.recommended)
        cell += "  <- recommended";
    else if (index == recommendation.nearest)
        cell += "  <- choice, nearest the goals";
    else if (index == recommendation.replayed)
        cell += "  <- replayed, not confirmed"; // what is confirmed is recommended or nearest
    else if (choice)
        cell += "  <- choice";
    return cell;
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

// The line that says what an answer rests on when the title goal was asked but not judged.
std::string unjudgedTitlesText(const sim::SweepGoal& goal) {
    if (goal.unjudgedTitleGapHours <= 0)
        return std::string();
    return "  the title goal (" + sim::countOf(goal.unjudgedTitleGapHours, "hour", "hours") +
           ") is not judged: " + kTitlesUnjudged + "; this answer rests on the artist and skip goals alone\n";
}

// Which goal binds, when no setting meets every goal.
std::string bindingText(const std::vector<sim::SweepRow>& rows, const sim::SweepGoal& goal,
                        const sim::Recommendation& recommendation) {
    int32_t fewestArtist = -1, fewestTitle = -1, fewestSkips = -1;
    int32_t skipsKeepingApart = -1, artistSkippingLittle = -1;
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
    if (out.empty()) {
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

std::string settingText(SweepSetting setting) {
    return "SameArtistCheckLimit=" + std::to_string(setting.artistLimit) +
           " SameTitleCheckLimit=" + std::to_string(setting.titleLimit);
}

std::string offText(SweepSetting setting) {
    if (setting.artistLimit == 0 && setting.titleLimit == 0)
        return " (both rules off)";
    if (setting.artistLimit == 0)
        return " (the artist rule off)";
    return setting.titleLimit == 0 ? " (the title rule off)" : "";
}

std::string limitText(int32_t limit) {
    return limit == 0 ? std::string("off") : std::to_string(limit);
}

std::string settingFiguresText(const SweepRow& row) {
    return limitText(row.setting.artistLimit) + " / " + limitText(row.setting.titleLimit) + ": " +
           tenthsText(row.skipTenths) + " % skips, " + hundredthsText(row.worstArtistPerDay) + " a day";
}

std::string percentText(double rate) {
    return tenthsText(rateTenths(rate));
}

std::string tenthsText(int64_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string hundredthsText(int64_t hundredths) {
    const int64_t part = hundredths % 100;
    return std::to_string(hundredths / 100) + (part < 10 ? ".0" : ".") + std::to_string(part);
}

std::string perDayText(int32_t hundredths) {
    std::string text = hundredthsText(hundredths);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::string allowanceText(int32_t hundredths) {
    if (hundredths == 0)
        return "at most 0 times a day (none)";
    return "at most " + perDayText(hundredths) + (hundredths == 100 ? " time a day" : " times a day");
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
    out += "goals: " + goalText(plan.goal) + "\n";
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
    const SweepGoal& goal = context.plan.goal;
    const bool titles = goal.titleGapHours > 0;
    SweepTable table;
    auto column = [&](const std::string& group, const std::string& name, bool number) {
        table.groups.push_back(group);
        table.names.push_back(name);
        table.numbers.push_back(number);
    };
    column("limits", "artist", true);
    column("", "title", true);
    column("skips, %", "median", true);
    column("", "worst", true);
    column("", "in a row", true);
    column("artist back < " + std::to_string(goal.artistGapMinutes) + " min", "a day", true);
    column("", "returns", true);
    column("", "unpreventable", true);
    if (titles)
        column("title < " + std::to_string(goal.titleGapHours) + " h", "a day", true);
    column("artist gap, min", "shortest", true);
    column("", "median", true);
    column("rule", "misjudged", true);
    column("goals", "met", false);
    for (size_t i = 0; i < rows.size(); i++) {
        const SweepRow& row = rows[i];
        std::vector<std::string> cells = {
            limitText(row.setting.artistLimit), limitText(row.setting.titleLimit),
            tenthsText(row.skipTenths),         tenthsText(row.worstSkipTenths),
            std::to_string(row.longestSkipRun), hundredthsText(row.worstArtistPerDay),
            std::to_string(row.earlyArtist),    std::to_string(row.unpreventable),
        };
        if (titles)
            cells.push_back(hundredthsText(row.worstTitlePerDay));
        cells.push_back(minutesText(static_cast<double>(row.shortestGapSeconds)));
        cells.push_back(row.shortestGapSeconds >= 0 ? minutesText(row.medianGapSeconds) : "-");
        cells.push_back(std::to_string(row.misjudged));
        cells.push_back(goalsCell(row, static_cast<int32_t>(i), goal, recommendation));
        table.cells.push_back(cells);
    }
    return table;
}

std::vector<std::string> sweepTableNotes(const SweepContext& context) {
    const SweepGoal& goal = context.plan.goal;
    const std::string minutes = std::to_string(goal.artistGapMinutes);
    std::vector<std::string> notes = {
        "limits: off is a limit of 0, which switches that rule off.",
        "skips: the share of tracks started that the plug-in refused, the median over the seeds and the",
        "worst seed (as judged: to a tenth, half up); in a row: the longest run of skips on any seed.",
        "artist back < " + minutes + " min: returns of an artist sooner than " + minutes +
            " minutes after its previous start;",
        "a day: per 24 hours of station time on the worst seed (the goal: " +
            allowanceText(goal.perDayHundredths) + "); returns: all",
        "seeds; unpreventable: returns no limit prevents, under a spelling whose first characters differ",
        "from every play of the artist within the gap, or a title listed twice played right after itself:",
        "listed below, and never held against a setting.",
    };
    if (goal.titleGapHours > 0)
        notes.push_back("title < " + std::to_string(goal.titleGapHours) +
                        " h a day: likewise the same whole title, on the worst seed.");
    notes.push_back(
        "artist gap: minutes from start to start, the shortest on any seed and the median of the");
    notes.push_back(
        "seeds' medians. misjudged: refusals of an artist not played within the window, mistaken");
    notes.push_back("by the rule's three-letter key. goals met: all, or which of artist, title and skips.");
    return notes;
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

std::string unpreventableText(const SweepContext& context, const std::vector<SweepRow>& rows,
                              const Recommendation& recommendation) {
    if (rows.empty())
        return std::string();
    const SweepRow& row = rows[static_cast<size_t>(std::max(recommendation.replayed, 0))];
    auto quoted = [](const std::vector<std::string>& texts, int32_t id) {
        return id >= 0 && static_cast<size_t>(id) < texts.size()
                   ? "\"" + texts[static_cast<size_t>(id)] + "\""
                   : std::string("?");
    };
    const std::string where = ", at " + settingText(row.setting) + offText(row.setting) + " on " +
                              countOf(static_cast<int64_t>(row.seeds.size()), "seed", "seeds") + ": ";
    const std::string gap = " sooner than " + std::to_string(context.plan.goal.artistGapMinutes) + " minutes";
    std::string out;
    if (!row.spellingPairs.empty()) {
        out +=
            "returns no limit prevents: " +
            countOf(row.unpreventable - row.listedTwice, "return", "returns") + " of an artist" + gap +
            " under another spelling" + where +
            "the rule reads their first characters as two artists at every limit. Spell each artist one way "
            "in the playlist:\n";
        for (const SpellingPair& pair : row.spellingPairs)
            out += "  " + quoted(context.spellings, pair.first) + " / " +
                   quoted(context.spellings, pair.second) + ": " + countOf(pair.count, "return", "returns") +
                   "\n";
    }
    if (!row.listedTwicePairs.empty()) {
        out +=
            "returns no limit prevents: " + countOf(row.listedTwice, "return", "returns") + " of an artist" +
            gap + " as a title listed twice played right after itself" + where +
            "the plug-in never judges a title that is the one it admitted last. List each title once in the "
            "playlist:\n";
        for (const SpellingPair& pair : row.listedTwicePairs)
            out += "  " + quoted(context.titles, pair.first) + ", entries " + std::to_string(pair.first + 1) +
                   " and " + std::to_string(pair.second + 1) + ": " +
                   countOf(pair.count, "return", "returns") + "\n";
    }
    return out;
}

std::string replayText(const ReplayOutcome& replay) {
    std::string text = "replay through the plug-in: " + settingText(replay.setting) +
                       offText(replay.setting) + " on " + countOf(replay.seeds, "seed", "seeds") + ", ";
    if (replay.agreed)
        return text + "the plug-in decided all " + countOf(replay.events, "track", "tracks") +
               " as the mirror did\n";
    return text + "the plug-in decided otherwise than the mirror: " + replay.difference + "\n";
}

std::string recommendationText(const SweepContext& context, const std::vector<SweepRow>& rows,
                               const Recommendation& recommendation) {
    const SweepGoal& goal = context.plan.goal;
    if (recommendation.recommended >= 0) {
        const SweepRow& row = rows[static_cast<size_t>(recommendation.recommended)];
        std::string why = "  why: of the settings that meet every goal on every seed, the fewest skips" +
                          offText(row.setting) + ": " + artistFigure(row, goal);
        if (goal.titleGapHours > 0)
            why += ", " + titleFigure(row, goal);
        why += ", " + skipFigure(row, goal);
        return "recommended: " + settingText(row.setting) + "\n" + why + "\n" + unjudgedTitlesText(goal);
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
    return out + unjudgedTitlesText(goal);
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
