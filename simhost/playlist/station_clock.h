// Station time: how long each track plays on air, and how the time of day on the station's clock
// is written. Tracks take the length their #EXTINF line gave; the rest count as an average track.
#pragma once

#include <cstdint>
#include <string>

#include "playlist/playlist.h"

namespace sim {

// What a track without a known length counts for on the station's clock.
constexpr int32_t kUnknownTrackSeconds = 210;

// Seconds `entry` plays on air.
int32_t trackSeconds(const PlaylistEntry& entry);

// "h:mm:ss" for a station time in seconds since the start; hours go on past 24 ("30:00:00").
std::string clockText(int64_t seconds);

} // namespace sim
