// The order the player goes through its playlist: straight through, or shuffled the way a player's
// shuffle works, a new order for every round. The random numbers come from a generator of our own,
// so a seed gives the same order on every platform and with every compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// SplitMix64: small, fast, and fully defined by its 64-bit state.
struct Random {
    uint64_t state;
};

// The next 64 random bits.
uint64_t nextRandom(Random* random);

// A uniform number in 0..bound-1 (bound >= 1), without modulo bias.
uint32_t randomBelow(Random* random, uint32_t bound);

struct PlayOrder {
    std::vector<int32_t> round; // playlist entries (0-based) in the order of the current round
    size_t step;                // the current entry is round[step]
    bool shuffle;
    Random random;
    int32_t rounds; // rounds begun, the first included
};

// Begins the first round over `entries` entries (at least 1), shuffled from `seed` or in order.
void startPlayOrder(PlayOrder* order, int32_t entries, bool shuffle, uint64_t seed);

// The entry playing now.
int32_t currentEntry(const PlayOrder& order);

// Moves to the next entry. At the end of a round it begins a new one (newly shuffled) when `wrap`
// is set, and otherwise stays put and returns false. A new shuffled round never begins with the
// entry that ended the round before, so a shuffle alone never plays one entry twice in a row.
bool advance(PlayOrder* order, bool wrap);

} // namespace sim
