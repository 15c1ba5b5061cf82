// Dealt rounds: each one kept as the order deals it, with the generator's state after it, so that
// the order can be set down at any held place and go on exactly as if it had advanced there.
#include "tuning/dealt_rounds.h"

#include <algorithm>
#include <utility>

namespace {

// The order's current round, as kept.
sim::DealtRound roundOfOrder(const sim::PlayOrder& order) {
    sim::DealtRound round = {order.round, std::vector<int32_t>(order.round.size()), order.random};
    for (size_t place = 0; place < order.round.size(); place++)
        round.places[static_cast<size_t>(order.round[place])] = static_cast<int32_t>(place);
    return round;
}

} // namespace

namespace sim {

void startDealtRounds(DealtRounds* dealt, const PlayOrder& first, int64_t mostKept) {
    *dealt = DealtRounds();
    dealt->first = first;
    dealt->mostKept = mostKept;
    dealt->next = first;
}

void holdRounds(DealtRounds* dealt, int64_t round) {
    const size_t size = dealt->first.round.size();
    const auto keptRounds = [dealt] { return static_cast<int64_t>(dealt->kept.size()); };
    if (round < keptRounds())
        return;
    // Rounds beyond the kept ones that a run before has passed are dealt again from the last kept.
    if (!dealt->beyond.empty() && std::max(round - (kRoundsHeld - 1), keptRounds()) < dealt->firstBeyond) {
        dealt->beyond.clear();
        dealt->firstBeyond = keptRounds();
        dealt->next = dealt->first;
        if (keptRounds() > 0)
            placeOrder(*dealt, keptRounds() - 1, size - 1, &dealt->next);
    }
    for (int64_t newest;
         (newest = dealt->firstBeyond + static_cast<int64_t>(dealt->beyond.size()) - 1) < round;) {
        if (newest >= 0) { // round 0 is the first order's own
            dealt->next.step = size - 1;
            advance(&dealt->next, true);
        }
        DealtRound dealtRound = roundOfOrder(dealt->next);
        if (dealt->beyond.empty() && (keptRounds() + 1) * static_cast<int64_t>(size) <= dealt->mostKept) {
            dealt->kept.push_back(std::move(dealtRound));
            dealt->firstBeyond = keptRounds();
            continue;
        }
        dealt->beyond.push_back(std::move(dealtRound));
        if (static_cast<int64_t>(dealt->beyond.size()) > kRoundsHeld) {
            dealt->beyond.pop_front();
            dealt->firstBeyond++;
        }
    }
}

const DealtRound& roundAt(const DealtRounds& dealt, int64_t round) {
    if (round < static_cast<int64_t>(dealt.kept.size()))
        return dealt.kept[static_cast<size_t>(round)];
    return dealt.beyond[static_cast<size_t>(round - dealt.firstBeyond)];
}

int64_t roundOf(const DealtRounds& dealt, const PlayOrder& order) {
    return order.rounds - dealt.first.rounds;
}

void placeOrder(const DealtRounds& dealt, int64_t round, size_t step, PlayOrder* order) {
    const DealtRound& held = roundAt(dealt, round);
    order->round = held.entries;
    order->step = step;
    order->random = held.after;
    order->rounds = dealt.first.rounds + static_cast<int32_t>(round);
}

void advanceDealt(DealtRounds* dealt, PlayOrder* order) {
    if (order->step + 1 < order->round.size()) {
        order->step++;
        return;
    }
    const int64_t round = roundOf(*dealt, *order) + 1;
    holdRounds(dealt, round);
    placeOrder(*dealt, round, 0, order);
}

} // namespace sim
