// The rounds of one seed's play order, dealt once and kept, so that every setting a sweep plays on
// that seed reads the same shuffled rounds instead of dealing them again, with where each entry
// stands in each: a run that loops finds its next play there without walking the refusals before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "playlist/play_order.h"

namespace sim {

// The places (rounds times entries) a sweep keeps dealt for good, over all its seeds: 64 MB.
// Beyond them a run deals its own rounds again, a few held at a time.
constexpr int64_t kMostDealtPlaces = 8000000;

// The rounds held at once: the newest asked for and those just before it.
constexpr int64_t kRoundsHeld = 5;

struct DealtRound {
    std::vector<int32_t> entries; // in play order
    std::vector<int32_t> places;  // each entry's place in it
    Random after;                 // the generator once it was dealt
};

struct DealtRounds {
    PlayOrder first;               // the order as each run begins: round 0 is its current round
    int64_t mostKept;              // places kept for good at most
    std::vector<DealtRound> kept;  // rounds 0, 1, ... kept for good
    std::deque<DealtRound> beyond; // the newest rounds dealt after those, kRoundsHeld at most
    int64_t firstBeyond;           // the round beyond.front() is
    PlayOrder next;                // the order once the newest round held was dealt
};

// Starts keeping the rounds of `first`, at most `mostKept` places of them for good.
void startDealtRounds(DealtRounds* dealt, const PlayOrder& first, int64_t mostKept);

// Holds round `round` (0 is the first) and the kRoundsHeld - 1 rounds before it, dealing what is
// not held.
void holdRounds(DealtRounds* dealt, int64_t round);

// A held round.
const DealtRound& roundAt(const DealtRounds& dealt, int64_t round);

// Which round the order `order`, advanced from `first`, is in.
int64_t roundOf(const DealtRounds& dealt, const PlayOrder& order);

// Sets `order` (advanced from `first`) where advancing it would leave it: at place `step` of held
// round `round`.
void placeOrder(const DealtRounds& dealt, int64_t round, size_t step, PlayOrder* order);

// advance(order, true) for an order advanced from `first`, a new round read from `dealt`.
void advanceDealt(DealtRounds* dealt, PlayOrder* order);

} // namespace sim
