// Where the rotation starves. Once every title has played, the titles the plug-in recorded last
// are barred: the newest SameTitleCheckLimit by the title rule, and the newest
// SameArtistCheckLimit by the artist rule too (a title begins like itself). Refused titles are not
// recorded, so those recorded titles are all different, and the rest are the only ones left.
#include "tuning/rotation.h"

#include <algorithm>
#include <map>

namespace {

// "1 title" or "4 titles".
std::string titlesText(int32_t count) {
    return std::to_string(count) + (count == 1 ? " title" : " titles");
}

} // namespace

namespace sim {

int32_t distinctTitles(const std::vector<PlaylistEntry>& playlist) {
    std::map<std::string, bool> seen;
    for (const PlaylistEntry& entry : playlist)
        seen[entry.title] = true;
    return static_cast<int32_t>(seen.size());
}

std::vector<ListedTwice> titlesListedTwice(const std::vector<PlaylistEntry>& playlist) {
    std::map<std::string, size_t> slot; // title -> its place in `listed`
    std::vector<ListedTwice> listed;
    for (size_t i = 0; i < playlist.size(); i++) {
        auto [found, first] = slot.try_emplace(playlist[i].title, listed.size());
        if (first)
            listed.push_back({playlist[i].title, {}});
        listed[found->second].entries.push_back(static_cast<int32_t>(i) + 1);
    }
    listed.erase(std::remove_if(listed.begin(), listed.end(),
                                [](const ListedTwice& title) { return title.entries.size() < 2; }),
                 listed.end());
    return listed;
}

bool starvesRotation(const RuleLimits& limits, int32_t titles) {
    const int32_t barred = std::max(std::clamp(limits.titleLimit, 0, kHistoryRingSize), artistWindow(limits));
    return limits.monitoring && barred > 0 && (titles - barred) * 4 <= titles;
}

std::string starvationWarning(const RuleLimits& limits, const std::vector<PlaylistEntry>& playlist) {
    return starvationWarning(limits, distinctTitles(playlist));
}

std::string starvationWarning(const RuleLimits& limits, int32_t titles) {
    if (!starvesRotation(limits, titles))
        return std::string();
    const int32_t titleWindow = std::clamp(limits.titleLimit, 0, kHistoryRingSize);
    const int32_t left = titles - std::max(titleWindow, artistWindow(limits));
    const std::string limit = titleWindow >= artistWindow(limits)
                                  ? "a title limit of " + std::to_string(limits.titleLimit)
                                  : "an artist window of " + std::to_string(limits.artistLimit);
    if (left <= 0)
        return limit + " leaves no title to play once all " + titlesText(titles) +
               " of the playlist have played: from then on the plug-in refuses every entry but the one it "
               "admitted last, which plays again and again";
    return limit + " leaves " + titlesText(left) + " to play once all " + std::to_string(titles) +
           " have played: from the second pass on, every entry outside those few is refused, and when the "
           "artist window bars them too, one title plays again and again";
}

} // namespace sim
