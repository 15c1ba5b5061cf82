// What the log shows of the player's order, which the prediction and the recommendation assume is
// the tool's own: a shuffle that deals every entry once per round, a new order each round. Read
// from the places of the tracks started, in the order they started:
//   - in order: most tracks start at the place after the one before;
//   - dealt once per round: an entry never waits two rounds (twice the playlist's length in
//     tracks started) to start again; a pick at random with replacement makes about one start in
//     seven wait that long for the next, and brings about 63 % back within one rotation, where a
//     dealt shuffle brings about half. Each start is judged by what follows it, and only where two
//     rounds of what follows are in the log (before a hole or the end), so that a log cut into
//     stretches does not count only the quick returns;
//   - an entry that starts more than its share (as the first entries do when the player starts
//     from the top of its playlist after each stop, or an entry the operator plays by hand).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "aired/air_history.h"

namespace sim {

enum OrderVerdict : int32_t {
    kOrderTooShort,    // fewer starts judged than two rotations' worth: too few to tell
    kOrderDealt,       // a shuffle that deals every entry once per round: the tool's model
    kOrderInOrder,     // the playlist in order
    kOrderRandomPicks, // a pick at random, with replacement
};

// An entry that started more often than its share.
struct OverShare {
    int32_t entry;
    int32_t starts;
    double expected; // its share of the starts
};

struct PlayedOrder {
    int32_t verdict;        // an OrderVerdict
    int32_t entries;        // the player's playlist, as the history knows it
    int64_t starts;         // tracks started (played and skipped)
    int64_t following;      // of the starts after another in one stretch, how many at the next place
    int64_t pairs;          // starts after another in one stretch
    int64_t returns;        // starts followed by two rounds' starts in the same stretch: those judged
    int64_t withinRotation; // ... whose entry started again within one rotation (its entries' starts)
    int64_t pastTwoRounds;  // ... whose entry did not start again within two
    std::vector<OverShare> overShare; // most over first, at most five
    bool fits;                        // the tool's model fits: dealt once per round, no entry above its share
};

// The order the tracks of `history` within `scope` started in; of those of one period of the
// limits in force when `period` is 0 or more.
PlayedOrder playedOrder(const AiredHistory& history, const AiredScope& scope, int32_t period = -1);

} // namespace sim
