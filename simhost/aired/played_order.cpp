// Reading the player's order from the places of the tracks it started.
#include "aired/played_order.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

constexpr size_t kMostOverShareNamed = 5;

// Judges the starts of one stretch, `places` in the order they started, by what follows each.
void judgeStretch(const std::vector<int32_t>& places, sim::PlayedOrder* order) {
    const auto rotation = static_cast<size_t>(order->entries);
    std::vector<int64_t> nextAt(places.size(), -1); // the index of the next start of the same place
    std::unordered_map<int32_t, int64_t> lastAt;    // by place (a log's places may be any number)
    for (size_t i = places.size(); i-- > 0;) {
        const auto found = lastAt.find(places[i]);
        nextAt[i] = found == lastAt.end() ? -1 : found->second;
        lastAt[places[i]] = static_cast<int64_t>(i);
    }
    for (size_t i = 0; i + 2 * rotation <= places.size(); i++) {
        const int64_t gap = nextAt[i] < 0 ? INT64_MAX : nextAt[i] - static_cast<int64_t>(i);
        order->returns++;
        order->withinRotation += gap < static_cast<int64_t>(rotation) ? 1 : 0;
        order->pastTwoRounds += gap > static_cast<int64_t>(2 * rotation) ? 1 : 0;
    }
    for (size_t i = 1; i < places.size(); i++) {
        order->pairs++;
        const int64_t after = static_cast<int64_t>(places[i - 1]) + 1; // a place may be the largest number
        order->following += places[i] == after || (places[i] == 1 && places[i - 1] == order->entries) ? 1 : 0;
    }
}

} // namespace

namespace sim {

PlayedOrder playedOrder(const AiredHistory& history, const AiredScope& scope, int32_t period) {
    PlayedOrder order = {};
    order.entries = std::max(1, history.playlistSize);
    std::unordered_map<int32_t, int64_t> startsAt; // by place
    std::unordered_map<int32_t, int32_t> entryAt;
    std::vector<int32_t> places;
    int32_t stretch = -1;
    for (const AiredTrack& track : history.tracks) {
        if (!inScope(scope, localDay(track.time)) || (period >= 0 && track.period != period))
            continue;
        const int32_t place = history.positions[static_cast<size_t>(track.entry)];
        if (place > order.entries)
            continue; // an entry the playlist file does not hold
        if (track.stretch != stretch) {
            judgeStretch(places, &order);
            places.clear();
            stretch = track.stretch;
        }
        places.push_back(place);
        order.starts++;
        startsAt[place]++;
        entryAt[place] = track.entry;
    }
    judgeStretch(places, &order);
    const double share = static_cast<double>(order.starts) / order.entries;
    for (const auto& [place, starts] : startsAt)
        if (starts >= 2 * share && starts >= share + 4 * std::sqrt(share) + 2)
            order.overShare.push_back({entryAt[place], static_cast<int32_t>(starts), share});
    std::sort(order.overShare.begin(), order.overShare.end(), [](const OverShare& a, const OverShare& b) {
        return a.starts != b.starts ? a.starts > b.starts : a.entry < b.entry;
    });
    if (order.overShare.size() > kMostOverShareNamed)
        order.overShare.resize(kMostOverShareNamed);
    if (order.returns < 2 * static_cast<int64_t>(order.entries))
        order.verdict = kOrderTooShort;
    else if (order.following * 2 >= order.pairs)
        order.verdict = kOrderInOrder;
    else if (order.pastTwoRounds * 100 <= order.returns)
        order.verdict = kOrderDealt;
    else
        order.verdict = kOrderRandomPicks;
    order.fits = order.verdict == kOrderDealt && order.overShare.empty();
    return order;
}

} // namespace sim
