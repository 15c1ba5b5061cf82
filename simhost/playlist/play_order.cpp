// Rounds of the playlist, each a Fisher-Yates shuffle drawn from the run's own generator.
#include "playlist/play_order.h"

#include <utility>

namespace {

// Begins the next round: the entries in order, or shuffled from the order's own generator.
void dealRound(sim::PlayOrder* order) {
    const auto entries = static_cast<int32_t>(order->round.size());
    const int32_t lastOfPrevious = order->rounds > 0 && entries > 0 ? order->round.back() : -1;
    for (int32_t i = 0; i < entries; i++)
        order->round[static_cast<size_t>(i)] = i;
    order->step = 0;
    order->rounds++;
    if (!order->shuffle || entries < 2)
        return;
    for (int32_t i = entries - 1; i > 0; i--) {
        const uint32_t j = sim::randomBelow(&order->random, static_cast<uint32_t>(i) + 1);
        std::swap(order->round[static_cast<size_t>(i)], order->round[j]);
    }
    if (order->round[0] == lastOfPrevious) {
        const uint32_t other = 1 + sim::randomBelow(&order->random, static_cast<uint32_t>(entries) - 1);
        std::swap(order->round[0], order->round[other]);
    }
}

} // namespace

namespace sim {

uint64_t nextRandom(Random* random) {
    uint64_t z = (random->state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t randomBelow(Random* random, uint32_t bound) {
    // Draws falling in the incomplete last stretch of 2^32 would favour the small numbers: redraw.
    // That stretch is shorter than `bound`, so a draw below 2^32 - bound is kept without working
    // out where it begins: a division the less for nearly every draw, the same numbers.
    for (;;) {
        const auto draw = static_cast<uint32_t>(nextRandom(random) >> 32);
        if (draw <= 0u - bound)
            return draw % bound;
        const uint32_t limit = 0u - (0u - bound) % bound; // 2^32 - (2^32 mod bound), 0 for 2^32
        if (limit == 0 || draw < limit)
            return draw % bound;
    }
}

void startPlayOrder(PlayOrder* order, int32_t entries, bool shuffle, uint64_t seed) {
    order->round.assign(static_cast<size_t>(entries > 0 ? entries : 1), 0);
    order->shuffle = shuffle;
    order->random.state = seed;
    order->rounds = 0;
    dealRound(order);
}

int32_t currentEntry(const PlayOrder& order) {
    return order.round[order.step];
}

bool advance(PlayOrder* order, bool wrap) {
    if (order->step + 1 < order->round.size()) {
        order->step++;
        return true;
    }
    if (!wrap)
        return false;
    dealRound(order);
    return true;
}

} // namespace sim
