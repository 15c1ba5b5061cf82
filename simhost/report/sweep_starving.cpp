// Where a sweep's limits starve the rotation. The limits bar the larger of the two windows, so a
// title limit that starves the rotation does so whatever the artist limit, and the other way round:
// the starving settings are those from one title limit on, and those from one artist limit on.
#include "report/sweep_starving.h"

#include <algorithm>

#include "report/report.h"
#include "tuning/rotation.h"

namespace {

// The figures of `cells` of `rows` as a range: "35.2 to 78.0 % skips, 0.00 to 3.66 a day".
std::string figuresRangeText(const std::vector<sim::SweepRow>& rows, const std::vector<size_t>& cells) {
    int32_t fewestSkips = rows[cells.front()].skipTenths, mostSkips = fewestSkips;
    int32_t fewestReturns = rows[cells.front()].worstArtistPerDay, mostReturns = fewestReturns;
    for (size_t i : cells) {
        fewestSkips = std::min(fewestSkips, rows[i].skipTenths);
        mostSkips = std::max(mostSkips, rows[i].skipTenths);
        fewestReturns = std::min(fewestReturns, rows[i].worstArtistPerDay);
        mostReturns = std::max(mostReturns, rows[i].worstArtistPerDay);
    }
    auto range = [](const std::string& low, const std::string& high) {
        return low == high ? low : low + " to " + high;
    };
    return range(sim::tenthsText(fewestSkips), sim::tenthsText(mostSkips)) + " % skips, " +
           range(sim::hundredthsText(fewestReturns), sim::hundredthsText(mostReturns)) + " a day";
}

} // namespace

namespace sim {

bool starvingSetting(const SweepContext& context, const SweepRow& row) {
    return row.starved ||
           (context.distinctTitles > 0 &&
            starvesRotation({row.setting.artistLimit, row.setting.titleLimit, true}, context.distinctTitles));
}

std::vector<std::string> starvationWarnings(const SweepContext& context) {
    const SweepPlan& plan = context.plan;
    const auto settings = static_cast<int64_t>(plan.artistLimits.size() * plan.titleLimits.size());
    std::vector<std::string> warnings;
    auto warn = [&](const std::vector<int32_t>& limits, const std::vector<int32_t>& others, bool title) {
        const auto first = std::find_if(limits.begin(), limits.end(), [&](int32_t limit) {
            return starvesRotation({title ? 0 : limit, title ? limit : 0, true}, context.distinctTitles);
        });
        if (first == limits.end() || context.distinctTitles <= 0)
            return;
        const RuleLimits rule = {title ? 0 : *first, title ? *first : 0, true};
        const int64_t starving =
            static_cast<int64_t>(limits.end() - first) * static_cast<int64_t>(others.size());
        std::string text = std::string(title ? "SameTitleCheckLimit=" : "SameArtistCheckLimit=") +
                           std::to_string(*first) +
                           (first + 1 != limits.end() ? " and above starve" : " starves") + " the rotation";
        if (others.size() > 1)
            text += title ? ", whatever the artist limit" : ", whatever the title limit";
        const std::string share = starving < settings ? std::to_string(starving) + " of the " +
                                                            countOf(settings, "setting", "settings")
                                  : settings == 1 ? std::string("the one setting swept")
                                                  : "all " + countOf(settings, "setting", "settings");
        warnings.push_back(text + " (" + share + "): " + starvationWarning(rule, context.distinctTitles));
    };
    warn(plan.titleLimits, plan.artistLimits, true);
    warn(plan.artistLimits, plan.titleLimits, false);
    return warnings;
}

std::string starvingSettingsText(const SweepContext& context, const std::vector<SweepRow>& rows,
                                 const std::vector<bool>& drawn) {
    const std::vector<int32_t>&artists = context.plan.artistLimits, &titles = context.plan.titleLimits;
    const size_t columns = artists.size(), lines = titles.size();
    const bool grid = rows.size() == columns * lines; // rows in artist-then-title order
    std::vector<bool> named(rows.size());
    std::vector<std::string> groups;
    // The cells of one title line (`across`: of one artist column) at `place`, in row order.
    auto cellsOf = [&](size_t place, bool across) {
        std::vector<size_t> cells;
        for (size_t k = 0; k < (across ? lines : columns); k++)
            cells.push_back(across ? place * lines + k : k * lines + place);
        return cells;
    };
    // Runs of neighbouring title lines (then artist columns) none of whose settings is drawn.
    for (bool across : {false, true}) {
        const std::vector<int32_t>& limits = across ? artists : titles;
        for (size_t first = 0; grid && first < limits.size();) {
            size_t last = first;
            std::vector<size_t> cells;
            for (; last < limits.size(); last++) {
                const std::vector<size_t> line = cellsOf(last, across);
                if (std::any_of(line.begin(), line.end(), [&](size_t i) { return drawn[i] || named[i]; }))
                    break;
                cells.insert(cells.end(), line.begin(), line.end());
            }
            if (last == first) {
                first++;
                continue;
            }
            std::string text = std::string(across ? "artist limit" : "title limit") +
                               (last - first > 1 ? "s " : " ") + std::to_string(limits[first]) +
                               (last - first > 1 ? ".." + std::to_string(limits[last - 1]) : std::string());
            if ((across ? lines : columns) > 1)
                text += across ? " with any title limit" : " with any artist limit";
            groups.push_back(text + " (" + figuresRangeText(rows, cells) + ")");
            for (size_t i : cells)
                named[i] = true;
            first = last;
        }
    }
    int64_t count = 0;
    for (size_t i = 0; i < rows.size(); i++) {
        if (drawn[i])
            continue;
        count++;
        if (!named[i])
            groups.push_back(settingFiguresText(rows[i]));
    }
    if (count == 0)
        return std::string();
    std::string list;
    for (const std::string& group : groups)
        list += (list.empty() ? "" : "; ") + group;
    return "Not drawn: " + countOf(count, "setting", "settings") +
           " that starve the rotation, so that one title plays again and again once the playlist has come "
           "round: " +
           list + ".";
}

} // namespace sim
