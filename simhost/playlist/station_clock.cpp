// The station's clock, kept in whole seconds so that runs repeat exactly.
#include "playlist/station_clock.h"

#include <cstdio>

namespace sim {

int32_t trackSeconds(const PlaylistEntry& entry) {
    return entry.seconds > 0 ? entry.seconds : kUnknownTrackSeconds;
}

std::string clockText(int64_t seconds) {
    if (seconds < 0)
        seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

} // namespace sim
