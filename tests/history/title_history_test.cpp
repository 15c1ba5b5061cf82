// The title ring: wrap-around, ownership of copies, reads past the end, and refused allocations.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/empty_string.h"
#include "common/memory.h"
#include "history/title_history.h"

namespace {

std::string numberedTitle(int i) {
    char text[32];
    std::snprintf(text, sizeof text, "Artist %d - Song", i);
    return text;
}

struct HistoryTest : ::testing::Test {
    TitleHistory* history = history::create(1000);
    int32_t blocksBefore = 0;

    void SetUp() override {
        ASSERT_NE(history, nullptr);
        blocksBefore = memory::liveBlocks();
    }
    void TearDown() override {
        memory::failAllocationsAfter(-1);
        history::destroy(history);
    }
    void appendNumbered(int from, int to) {
        for (int i = from; i < to; i++)
            history::append(history, numberedTitle(i).c_str());
    }
};

TEST_F(HistoryTest, NewHistoryReadsAsEmpty) {
    EXPECT_EQ(history->capacity, 1000);
    EXPECT_EQ(history->count, 0);
    EXPECT_EQ(history->start, 0);
    EXPECT_EQ(history::newest(history), sharedEmptyString);
    EXPECT_EQ(history::at(history, 0), sharedEmptyString);
    history::dropOldest(history); // nothing to drop
    EXPECT_EQ(history->count, 0);
}

struct WrapCase {
    int appends;
    int expectedStart;
};

class HistoryWrapTest : public HistoryTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(HistoryWrapTest, KeepsTheNewestThousandInOrder) {
    const WrapCase wrap = GetParam();
    appendNumbered(0, wrap.appends);

    EXPECT_EQ(history->count, 1000);
    EXPECT_EQ(history->start, wrap.expectedStart);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(history::at(history, i), numberedTitle(wrap.appends - 1000 + i)) << "index " << i;
    EXPECT_EQ(history::newest(history), numberedTitle(wrap.appends - 1));
    // Reads past the end never expose a slot, stale or live.
    EXPECT_EQ(history::at(history, 1000), sharedEmptyString);
    EXPECT_EQ(history::at(history, 1001), sharedEmptyString);
    EXPECT_EQ(history::at(history, INT64_MAX), sharedEmptyString);
    EXPECT_EQ(history::at(history, -1), sharedEmptyString);
    // The ring holds exactly its live entries: every dropped title was freed.
    EXPECT_EQ(memory::liveBlocks() - blocksBefore, 1000);
}

INSTANTIATE_TEST_SUITE_P(Appends, HistoryWrapTest,
                         ::testing::Values(WrapCase{1000, 0}, WrapCase{1001, 1}, WrapCase{2000, 0},
                                           WrapCase{2999, 999}),
                         [](const ::testing::TestParamInfo<WrapCase>& info) {
                             return "After" + std::to_string(info.param.appends);
                         });

TEST_F(HistoryTest, PartlyFilledHistoryReadsEmptyPastCount) {
    appendNumbered(0, 3);
    EXPECT_EQ(history->count, 3);
    EXPECT_EQ(history::at(history, 0), numberedTitle(0));
    EXPECT_EQ(history::at(history, 2), numberedTitle(2));
    EXPECT_EQ(history::at(history, 3), sharedEmptyString);
    EXPECT_EQ(history::at(history, 999), sharedEmptyString);
}

TEST_F(HistoryTest, EntriesAreOwnedCopies) {
    char buffer[32] = "Queen - Innuendo";
    history::append(history, buffer);
    history::append(history, buffer);
    std::snprintf(buffer, sizeof buffer, "changed");

    EXPECT_STREQ(history::at(history, 0), "Queen - Innuendo");
    EXPECT_STREQ(history::at(history, 1), "Queen - Innuendo");
    EXPECT_NE(history::at(history, 0), history::at(history, 1));
    EXPECT_NE(history::at(history, 0), buffer);
}

TEST_F(HistoryTest, EmptyTitleIsStoredAsItsOwnEntry) {
    history::append(history, "");
    EXPECT_EQ(history->count, 1);
    EXPECT_STREQ(history::newest(history), "");
    EXPECT_NE(history::newest(history), sharedEmptyString);
}

TEST_F(HistoryTest, SmallerCapacityDropsSooner) {
    TitleHistory* small = history::create(3);
    ASSERT_NE(small, nullptr);
    for (int i = 0; i < 5; i++)
        history::append(small, numberedTitle(i).c_str());
    EXPECT_EQ(small->count, 3);
    EXPECT_EQ(history::at(small, 0), numberedTitle(2));
    EXPECT_EQ(history::newest(small), numberedTitle(4));
    history::destroy(small);

    TitleHistory* tooSmall = history::create(0);
    TitleHistory* tooLarge = history::create(5000);
    EXPECT_EQ(tooSmall->capacity, 1);
    EXPECT_EQ(tooLarge->capacity, 1000);
    history::destroy(tooSmall);
    history::destroy(tooLarge);
}

TEST_F(HistoryTest, RefusedAllocationDropsOnlyTheNewTitle) {
    appendNumbered(0, 1000);
    memory::failAllocationsAfter(0);
    EXPECT_FALSE(history::append(history, "never stored"));
    memory::failAllocationsAfter(-1);

    EXPECT_EQ(history->count, 1000);
    EXPECT_EQ(history::at(history, 0), numberedTitle(0)); // the oldest was not given up for nothing
    EXPECT_EQ(history::newest(history), numberedTitle(999));

    EXPECT_TRUE(history::append(history, "stored"));
    EXPECT_STREQ(history::newest(history), "stored");
    EXPECT_EQ(history::at(history, 0), numberedTitle(1));
}

TEST_F(HistoryTest, RefusedAllocationLeavesNothingBehind) {
    memory::failAllocationsAfter(0);
    EXPECT_EQ(history::create(1000), nullptr);
    history::append(history, "never stored");
    memory::failAllocationsAfter(-1);
    EXPECT_EQ(history->count, 0);
    EXPECT_EQ(history::newest(history), sharedEmptyString);
    EXPECT_EQ(memory::liveBlocks(), blocksBefore);
}

TEST(HistoryLifetime, DestroyFreesEveryEntry) {
    const int32_t before = memory::liveBlocks();
    TitleHistory* history = history::create(1000);
    for (int i = 0; i < 1500; i++)
        history::append(history, numberedTitle(i).c_str());
    history::destroy(history);
    history::destroy(nullptr);
    EXPECT_EQ(memory::liveBlocks(), before);
}

} // namespace
