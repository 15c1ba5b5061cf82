// Where a sweep's limits starve the rotation. The limits bar the larger of the two windows, so a
// title limit that starves the rotation does so whatever the artist limit, and the other way round:
// the starving settings are those from one title limit on, and those from one artist limit on.
#include "report/sweep_starving.h"

#include <algorithm>

#include "report/report.h"
#include "tuning/rotation.h"

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

std::string starvingSettingsText(const std::vector<SweepRow>& rows, const std::vector<bool>& drawn) {
    std::string list;
    int64_t count = 0;
    for (size_t i = 0; i < rows.size(); i++)
        if (!drawn[i]) {
            list += (list.empty() ? "" : "; ") + settingFiguresText(rows[i]);
            count++;
        }
    if (count == 0)
        return std::string();
    return "Not drawn: " + countOf(count, "setting", "settings") +
           " that starve the rotation, so that one title plays again and again once the playlist has come "
           "round: " +
           list + ".";
}

} // namespace sim
