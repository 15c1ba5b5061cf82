// The repeat filter: the artist rule (3 characters, 6 after "the"), the whole-title window beyond
// it, and limits a hand-edited settings file can hold.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "history/repeat_filter.h"
#include "history/title_history.h"

namespace {

struct FilterTest : ::testing::Test {
    TitleHistory* history = history::create(1000);

    void TearDown() override { history::destroy(history); }

    void fill(const std::vector<std::string>& titles) {
        for (const std::string& title : titles)
            history::append(history, title.c_str());
    }
    // Entry i is "<i> - Track <i>", so artists differ unless the number's first digits agree.
    void fillNumbered(int count) {
        for (int i = 0; i < count; i++) {
            char title[40];
            std::snprintf(title, sizeof title, "%03d - Track %d", i, i);
            history::append(history, title);
        }
    }
    bool admits(const char* title, int32_t artistLimit, int32_t titleLimit) {
        return history::admits(history, title, artistLimit, titleLimit);
    }
};

TEST(PrefixMatch, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(history::prefixMatchIgnoringCase("ABBA", "abba", 3));
    EXPECT_TRUE(history::prefixMatchIgnoringCase("abc", "abd", 2));
    EXPECT_FALSE(history::prefixMatchIgnoringCase("abc", "abd", 3));
    EXPECT_FALSE(history::prefixMatchIgnoringCase("\xC4\x62\x63", "\xE4\x62\x63", 3)); // Latin-1 A-umlaut
    EXPECT_FALSE(history::prefixMatchIgnoringCase("[bc", "{bc", 3)); // 0x5B/0x7B are not letters
    EXPECT_FALSE(history::prefixMatchIgnoringCase("@bc", "`bc", 3));
    // Texts shorter than the prefix match only when they end together.
    EXPECT_TRUE(history::prefixMatchIgnoringCase("AB", "ab", 3));
    EXPECT_FALSE(history::prefixMatchIgnoringCase("AB", "ABC", 3));
    EXPECT_TRUE(history::prefixMatchIgnoringCase("", "", 3));
    EXPECT_TRUE(history::prefixMatchIgnoringCase("x", "y", 0));
}

TEST_F(FilterTest, DefaultLimitsAdmitEveryNonEmptyTitle) {
    EXPECT_TRUE(admits("Anything", 0, 0));
    fill({"Abba - Waterloo", "Abba - SOS"});
    EXPECT_TRUE(admits("Abba - SOS", 0, 0));
    EXPECT_TRUE(admits("abba - Waterloo", 0, 0));
}

TEST_F(FilterTest, EmptyHistoryAdmitsEverything) {
    EXPECT_TRUE(admits("Abba - SOS", 1000, 1000));
    EXPECT_TRUE(admits("", 1000, 1000));
    EXPECT_TRUE(admits("", 0, 0)); // index 0 is past the end and reads as "" but lo <= 0 admits first
}

TEST_F(FilterTest, ArtistIsTheFirstThreeCharactersIgnoringCase) {
    fill({"Abba - Waterloo", "Queen - Bohemian Rhapsody", "ABBREVIATED - x"});
    EXPECT_FALSE(admits("abba - SOS", 3, 0)); // matches the newest entry's "ABB"
    EXPECT_FALSE(admits("abba - SOS", 1, 0));
    EXPECT_FALSE(admits("Que - x", 2, 0));
    EXPECT_TRUE(admits("Que - x", 1, 0)); // Queen is outside a window of one
    EXPECT_TRUE(admits("Metallica - One", 3, 0));
}

TEST_F(FilterTest, TitlesBeginningWithTheCompareSixCharacters) {
    fill({"The Beatles - Help"});
    EXPECT_TRUE(admits("The Who - Tommy", 5, 0));
    EXPECT_FALSE(admits("THE BEATLES - Yesterday", 5, 0));
    EXPECT_FALSE(admits("the beatles - Yesterday", 5, 0));
    EXPECT_TRUE(admits("Thems - x", 5, 0)); // "The" vs "The" over 3, then "The Be" vs "Thems "
    EXPECT_TRUE(admits("Theatre - x", 5, 0));
}

TEST_F(FilterTest, ShortTitlesMatchOnlyWhenTheyEndTogether) {
    fill({"AB"});
    EXPECT_FALSE(admits("AB", 1, 0));
    EXPECT_FALSE(admits("ab", 1, 0));
    EXPECT_TRUE(admits("ABC", 1, 0));

    TitleHistory* longer = history::create(1000);
    history::append(longer, "ABC");
    EXPECT_TRUE(history::admits(longer, "AB", 1, 0));
    history::destroy(longer);
}

TEST_F(FilterTest, WholeTitleRepeatBeyondTheArtistWindow) {
    fillNumbered(20);
    const char* entry12 = history::at(history, 12);
    EXPECT_FALSE(admits(entry12, 2, 10));         // title scan covers 18 down to 10
    EXPECT_TRUE(admits(entry12, 2, 7));           // ... or 18 down to 13
    EXPECT_TRUE(admits("012 - TRACK 12", 2, 10)); // the title scan is case-sensitive

    // Equal windows: the title scan visits only entry 18, so a repeat of entry 5 passes.
    EXPECT_TRUE(admits(history::at(history, 5), 2, 2));
    EXPECT_FALSE(admits(history::at(history, 18), 2, 2));
    EXPECT_TRUE(admits(history::at(history, 18), 1, 1));  // only entry 19 is searched
    EXPECT_FALSE(admits(history::at(history, 18), 1, 2)); // entry 18 lies one past the artist window
}

TEST_F(FilterTest, ArtistWindowLargerThanHistoryCoversEverything) {
    fillNumbered(20);
    EXPECT_FALSE(admits("000 - other", 25, 0));
    EXPECT_TRUE(admits("999 - other", 25, 1000));
}

TEST_F(FilterTest, EmptyTitleIsRefusedOnceTheTitleScanReadsPastTheEnd) {
    fillNumbered(5);
    EXPECT_FALSE(admits("", 0, 0));
    EXPECT_TRUE(admits("", 5, 0)); // lo is 0: admitted after the artist scan
}

TEST_F(FilterTest, ExtremeLimitsDecideWithoutScanningPastTheHistory) {
    fillNumbered(1000);
    const char* repeat = history::at(history, 3);
    // A ring of 1000 has at most 1000 real entries; whatever stretch of the scans lies past the
    // end reads as the empty string, so each of these decisions is quick even for INT_MIN.
    EXPECT_TRUE(admits("new - title", INT_MIN, INT_MIN));
    EXPECT_FALSE(admits("", INT_MIN, INT_MIN));
    EXPECT_FALSE(admits(repeat, INT_MIN, INT_MAX));
    EXPECT_TRUE(admits("new - title", INT_MIN, INT_MAX));
    EXPECT_FALSE(admits(repeat, INT_MAX, INT_MIN));
    EXPECT_TRUE(admits("new - title", INT_MAX, INT_MAX));
    EXPECT_FALSE(admits(repeat, -1, 1000));
    EXPECT_TRUE(admits(repeat, -1, 0));
    EXPECT_TRUE(admits(repeat, 0, INT_MIN));
    EXPECT_FALSE(admits(repeat, 0, INT_MAX));
}

TEST_F(FilterTest, RefusalNamesTheScanAndTheNewestEntryThatMatched) {
    fill({"Queen - Innuendo", "Abba - SOS", "Queen - Bohemian Rhapsody", "Radiohead - Creep",
          "Blur - Song 2"});
    auto refusal = [&](const char* title, int32_t artistLimit, int32_t titleLimit) {
        const history::Refusal found = history::findRefusal(history, title, artistLimit, titleLimit);
        EXPECT_EQ(found.scan == history::kNotRefused, admits(title, artistLimit, titleLimit)) << title;
        return std::pair<int32_t, int64_t>(found.scan, found.scan == history::kNotRefused ? -1 : found.index);
    };
    using Found = std::pair<int32_t, int64_t>;
    EXPECT_EQ(refusal("Queensryche - Silent Lucidity", 5, 0), Found(history::kArtistScan, 2)); // newest Queen
    EXPECT_EQ(refusal("Queensryche - Silent Lucidity", 2, 0), Found(history::kNotRefused, -1));
    EXPECT_EQ(refusal("Abba - SOS", 2, 5), Found(history::kTitleScan, 1));
    EXPECT_EQ(refusal("Abba - SOS", 4, 5), Found(history::kArtistScan, 1));
    EXPECT_EQ(refusal("", 0, 0), Found(history::kTitleScan, 5)); // past the newest entry: the empty text
}

// The rules written out as plainly as possible: every index of both ranges is visited, and any
// index outside the history reads as the empty string. Only for small limits.
bool modelAdmits(const std::vector<std::string>& entries, const std::string& title, int64_t artistLimit,
                 int64_t titleLimit) {
    const int64_t n = static_cast<int64_t>(entries.size());
    auto entry = [&](int64_t i) { return i < n ? entries[static_cast<size_t>(i)] : std::string(); };
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    auto prefixEqual = [&](const std::string& a, const std::string& b, size_t k) {
        std::string headA = a.substr(0, k), headB = b.substr(0, k);
        for (char& c : headA)
            c = lower(c);
        for (char& c : headB)
            c = lower(c);
        return headA == headB;
    };
    const int64_t lo = std::max<int64_t>(0, n - artistLimit);
    for (int64_t i = n - 1; i >= lo; i--) {
        const std::string h = entry(i);
        if (!prefixEqual(h, title, 3))
            continue;
        if (!prefixEqual(h, "the", 3) || prefixEqual(h, title, 6))
            return false;
    }
    if (lo <= 0)
        return true;
    const int64_t d = std::max<int64_t>(0, n - titleLimit);
    for (int64_t i = lo; i >= d; i--)
        if (entry(i) == title)
            return false;
    return true;
}

TEST(FilterModel, AgreesWithThePlainRulesOnRandomHistories) {
    std::mt19937 random(20261207);
    // Few distinct artists and titles, so that repeats of every kind are common.
    const char* artists[] = {"The Beatles", "the bee gees", "THE WHO", "ABBA", "abba",    "Ab",
                             "AB",          "Queen",        "",        "Th",   "\xC4pfel"};
    const char* songs[] = {"", " - Help", " - help", " - SOS", " - x"};
    auto randomTitle = [&] {
        return std::string(artists[random() % std::size(artists)]) + songs[random() % std::size(songs)];
    };
    for (int round = 0; round < 3000; round++) {
        TitleHistory* history = history::create(1000);
        std::vector<std::string> entries;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; i++) {
            entries.push_back(randomTitle());
            history::append(history, entries.back().c_str());
        }
        const std::string title = randomTitle();
        const int32_t artistLimit = static_cast<int32_t>(random() % 60) - 10;
        const int32_t titleLimit = static_cast<int32_t>(random() % 60) - 10;
        ASSERT_EQ(history::admits(history, title.c_str(), artistLimit, titleLimit),
                  modelAdmits(entries, title, artistLimit, titleLimit))
            << "title '" << title << "' A=" << artistLimit << " L=" << titleLimit << " n=" << count;
        history::destroy(history);
    }
}

} // namespace

namespace {

TEST(ArtistKey, ThreeBytesOrSixAfterTheInAnyCase) {
    EXPECT_EQ(history::artistKeyLength("ABBA - Waterloo"), 3);
    EXPECT_EQ(history::artistKeyLength("tHe Beatles - Help"), 6);
    EXPECT_EQ(history::artistKeyLength("Them - Gloria"), 6);
    EXPECT_EQ(history::artistKeyLength("The"), 3); // never past the title's end
    EXPECT_EQ(history::artistKeyLength("Th"), 2);
    EXPECT_EQ(history::artistKeyLength(""), 0);
}

} // namespace
