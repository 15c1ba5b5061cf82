// The playlist as the title limit meets it: its distinct titles, the titles listed more than once,
// and where the limits leave too few titles for the rotation to go on once it has come round.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playlist/playlist.h"
#include "tuning/rule_mirror.h"

namespace sim {

// A title listed in more than one entry. Two such entries can play back to back whatever the
// limits: the plug-in does not judge a title equal to the one it admitted last.
struct ListedTwice {
    std::string title;
    std::vector<int32_t> entries; // 1-based, in playlist order
};

// How many different titles `playlist` holds; the plug-in compares whole titles exactly.
int32_t distinctTitles(const std::vector<PlaylistEntry>& playlist);

// The titles listed in more than one entry, in the order of their first entry.
std::vector<ListedTwice> titlesListedTwice(const std::vector<PlaylistEntry>& playlist);

// True when the limits bar all but a quarter or less of `titles` distinct titles at any moment once
// each has played: from the second pass on the rotation starves, and one title can end up playing
// again and again.
bool starvesRotation(const RuleLimits& limits, int32_t titles);

// A warning for before the run, when the limits starve the rotation of `playlist`, in words; ""
// when they leave enough titles.
std::string starvationWarning(const RuleLimits& limits, const std::vector<PlaylistEntry>& playlist);

// The same for a playlist of `titles` distinct titles.
std::string starvationWarning(const RuleLimits& limits, int32_t titles);

} // namespace sim
