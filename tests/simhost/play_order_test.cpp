// The play order: straight through, or shuffled rounds that a seed repeats exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "playlist/play_order.h"

namespace {

// The entries of `rounds` whole rounds, in play order.
std::vector<int32_t> play(int32_t entries, bool shuffle, uint64_t seed, int32_t rounds) {
    sim::PlayOrder order;
    sim::startPlayOrder(&order, entries, shuffle, seed);
    std::vector<int32_t> played = {sim::currentEntry(order)};
    while (static_cast<int32_t>(played.size()) < entries * rounds) {
        EXPECT_TRUE(sim::advance(&order, true));
        played.push_back(sim::currentEntry(order));
    }
    return played;
}

TEST(PlayOrder, TheGeneratorIsSplitMix64) {
    // Reference outputs of SplitMix64 from state 0: a seed means the same order on every platform.
    sim::Random random = {0};
    EXPECT_EQ(sim::nextRandom(&random), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(sim::nextRandom(&random), 0x6E789E6AA1B965F4ull);
    for (uint32_t bound : {1u, 2u, 3u, 7u, 1000u, 0x80000001u})
        for (int i = 0; i < 200; i++)
            EXPECT_LT(sim::randomBelow(&random, bound), bound);
}

TEST(PlayOrder, ASeedRepeatsEveryRoundAndEachRoundIsAPermutation) {
    const std::vector<int32_t> first = play(50, true, 42, 6);
    EXPECT_EQ(first, play(50, true, 42, 6));
    EXPECT_NE(first, play(50, true, 43, 6));
    for (int32_t round = 0; round < 6; round++) {
        std::vector<int32_t> entries(first.begin() + round * 50, first.begin() + (round + 1) * 50);
        std::vector<int32_t> sorted = entries;
        std::sort(sorted.begin(), sorted.end());
        for (int32_t i = 0; i < 50; i++)
            ASSERT_EQ(sorted[static_cast<size_t>(i)], i) << "round " << round;
        if (round > 0) {
            EXPECT_NE(std::vector<int32_t>(first.begin(), first.begin() + 50), entries)
                << "a new order each round";
        }
    }
}

TEST(PlayOrder, EveryOrderComesUpAboutEquallyOften) {
    // 4 entries have 24 orders; 2400 seeds should give each about 100 times. A shuffle that only
    // rotates, or that never leaves an entry in place, reaches a few of them.
    std::map<std::vector<int32_t>, int32_t> firstRounds;
    for (uint64_t seed = 0; seed < 2400; seed++)
        firstRounds[play(4, true, seed, 1)]++;
    EXPECT_EQ(firstRounds.size(), 24u);
    for (const auto& [order, times] : firstRounds) {
        EXPECT_GT(times, 60) << "order starting " << order[0] << order[1] << order[2] << order[3];
        EXPECT_LT(times, 140) << "order starting " << order[0] << order[1] << order[2] << order[3];
    }
}

TEST(PlayOrder, ANewRoundNeverBeginsWithTheEntryThatEndedTheLast) {
    for (uint64_t seed = 0; seed < 200; seed++) {
        const std::vector<int32_t> played = play(3, true, seed, 8);
        for (size_t i = 1; i < played.size(); i++)
            ASSERT_NE(played[i], played[i - 1]) << "seed " << seed << " at " << i;
    }
}

TEST(PlayOrder, UnshuffledGoesStraightThroughAndStopsAtTheEndUnlessItWraps) {
    EXPECT_EQ(play(3, false, 0, 2), (std::vector<int32_t>{0, 1, 2, 0, 1, 2}));
    sim::PlayOrder order;
    sim::startPlayOrder(&order, 2, true, 9);
    const int32_t first = sim::currentEntry(order);
    EXPECT_TRUE(sim::advance(&order, false));
    EXPECT_EQ(sim::currentEntry(order), 1 - first);
    EXPECT_FALSE(sim::advance(&order, false));
    EXPECT_EQ(sim::currentEntry(order), 1 - first);
}

} // namespace
