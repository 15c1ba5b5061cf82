// The sweep's heading on the console (and at the top of the page): the playlist, the length of
// each run, the settings and seeds swept, the goals, and what the operator should be warned of.
#include <algorithm>

#include "playlist/station_clock.h"
#include "report/report.h"
#include "report/sweep_report.h"

namespace {

// "0..30 (31 settings)" or "0, 50, 100" for a swept limit, "150 as plugin.ini holds it" for the other;
// " and 120 (now)" after it when the station's limit `added` was not among them.
std::string limitsText(std::vector<int32_t> limits, bool swept, int32_t added) {
    if (added >= 0 && limits.size() > 1)
        limits.erase(std::find(limits.begin(), limits.end(), added));
    const std::string now = added >= 0 ? " and " + std::to_string(added) + " (now)" : "";
    // Limits come in ascending order, so a 0 among them is the first; 0 switches the rule off.
    const std::string off = limits.front() == 0 ? " (0: the rule off)" : "";
    if (!swept)
        return std::to_string(limits.front()) + off + " as plugin.ini holds it" + now;
    if (limits.size() > 1 && limits.size() <= 6 && limits[1] - limits[0] > 1) {
        std::string list;
        for (int32_t limit : limits)
            list += (list.empty() ? "" : ", ") + std::to_string(limit);
        return list + off + now;
    }
    return std::to_string(limits.front()) + ".." + std::to_string(limits.back()) + " (" +
           sim::countOf(static_cast<int64_t>(limits.size()), "setting", "settings") + ")" + off + now;
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
                       " minutes after its previous start" +
                       (goal.artistUnjudged ? ": not judged, " + std::string(sim::kArtistsUnjudged)
                                            : " " + allowance + " on every seed");
    if (goal.titleGapHours > 0)
        text += "; the same title sooner than " + sim::countOf(goal.titleGapHours, "hour", "hours") + " " +
                allowance;
    if (goal.unjudgedTitleGapHours > 0)
        text += "; the same title sooner than " + sim::countOf(goal.unjudgedTitleGapHours, "hour", "hours") +
                ": not judged, " + sim::kTitlesUnjudged;
    return text + "; a median skip rate of at most " + sim::tenthsText(goal.maxSkipTenths) + " %";
}

} // namespace

namespace sim {

std::string renderSweepHeading(const SweepContext& context) {
    const SweepPlan& plan = context.plan;
    const double rotations = context.rotationSeconds > 0
                                 ? static_cast<double>(plan.stationSeconds) / context.rotationSeconds
                                 : 0.0;
    const int64_t settings = static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size());
    std::string out = "== sweep: " + context.playlistName + ", " +
                      countOf(context.entries, "entry", "entries") + "; one rotation takes " +
                      clockText(context.rotationSeconds) + " of station time\n";
    out += "each run: " + clockText(plan.stationSeconds) + " of station time (" + oneDecimalText(rotations) +
           " rotations), shuffled\n";
    const StationLimits& station = context.station;
    out += "settings: SameArtistCheckLimit " +
           limitsText(plan.artistLimits, plan.artistSwept,
                      station.artistAdded ? station.evaluated.artistLimit : -1) +
           ", SameTitleCheckLimit " +
           limitsText(plan.titleLimits, plan.titleSwept,
                      station.titleAdded ? station.evaluated.titleLimit : -1) +
           "; on " + countOf(static_cast<int64_t>(plan.seeds.size()), "seed", "seeds") + ": " +
           countOf(settings * static_cast<int64_t>(plan.seeds.size()), "run", "runs") + "\n";
    out += "seeds: " + seedsText(plan.seeds) + "; this repeats the sweep exactly:\n  " +
           context.repeatCommand + "\n";
    out += "goals: " + goalText(plan.goal) + "\n";
    const int64_t needed = neededSweepSeconds(context.rotationSeconds);
    if (plan.stationSeconds < needed)
        out += "warning: " + clockText(plan.stationSeconds) + " of station time covers " +
               oneDecimalText(rotations) +
               " rotations of the playlist: a title limit shows what it does only once the playlist has "
               "come round, so the default length covers " +
               oneDecimalText(static_cast<double>(needed) / context.rotationSeconds) +
               " (leave out --hours)\n";
    for (const std::string& warning : context.warnings)
        out += "warning: " + warning + "\n";
    return out;
}

} // namespace sim
