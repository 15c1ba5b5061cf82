// The settings of a sweep that starve the rotation, named plainly: in the heading's warnings, and
// under the trade-off chart, which leaves them out.
#pragma once

#include <string>
#include <vector>

#include "report/sweep_report.h"

namespace sim {

// True when `row`'s limits leave too few of the playlist's titles for the rotation to go on
// (starvesRotation), or every entry was refused lap after lap on some seed.
bool starvingSetting(const SweepContext& context, const SweepRow& row);

// The heading's warnings: one for the title limits swept that starve the rotation whatever the
// artist limit, one for the artist limits likewise; each names those limits, how many settings
// they make, and why they starve. None when no setting starves.
std::vector<std::string> starvationWarnings(const SweepContext& context);

// The starving settings that the trade-off chart leaves out, as one line: runs of title limits
// (then of artist limits) none of whose settings is drawn, as ranges ("title limits 60..90 with any
// artist limit"), then each other setting, each with its figures; "" when there are none. `drawn`
// tells which rows the chart shows.
std::string starvingSettingsText(const SweepContext& context, const std::vector<SweepRow>& rows,
                                 const std::vector<bool>& drawn);

} // namespace sim
