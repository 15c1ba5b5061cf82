// What the sweep page's pictures share: the numbers on their axes and the settings named on them.
#include "report/sweep_page.h"

#include <cmath>

namespace sim {

double niceCeiling(double value) {
    for (double scale = 1.0;; scale *= 10.0)
        for (double step : {1.0, 2.0, 5.0})
            if (step * scale >= value)
                return step * scale;
}

double axisEnd(double value) {
    const double step = niceCeiling(value / 5.0);
    return std::ceil(value / step) * step;
}

std::string chartNumber(double value) {
    return printed(value == std::floor(value) ? "%.0f" : "%.1f", value);
}

std::string pairText(SweepSetting setting) {
    return limitText(setting.artistLimit) + " / " + limitText(setting.titleLimit);
}

} // namespace sim
