// The number fields' conversion and clamp: what a pasted or typed text stores, including texts
// that would overflow a naive conversion and the cut at 49 characters.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "ui/number_field.h"

namespace {

struct ParseCase {
    const char* text;
    int32_t expected;
};

// Without this, gtest prints a case as its raw bytes, padding included, which valgrind reports as
// reads of uninitialised memory.
void PrintTo(const ParseCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(c.text) << " gives " << c.expected;
}

class ParseNumberTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumberTextTest, ConvertsAsBaseTen) {
    EXPECT_EQ(ui::parseNumberText(GetParam().text), GetParam().expected)
        << "text \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumberTextTest,
    ::testing::Values(
        // Leading zeros, sign, blanks.
        ParseCase{"007", 7}, ParseCase{"0", 0}, ParseCase{"1000", 1000}, ParseCase{"-5", -5},
        ParseCase{"+8", 8}, ParseCase{"  42", 42}, ParseCase{"\t\n\v\f\r 9", 9}, ParseCase{"  -12", -12},
        // No digits at all.
        ParseCase{"", 0}, ParseCase{"abc", 0}, ParseCase{"-", 0}, ParseCase{"+", 0}, ParseCase{"   ", 0},
        // Digits stop at the first other character; only one sign, and only before the digits.
        ParseCase{"12abc", 12}, ParseCase{"12 34", 12}, ParseCase{"3.9", 3}, ParseCase{"--5", 0},
        ParseCase{"+-5", 0}, ParseCase{"- 5", 0}, ParseCase{"5-", 5}, ParseCase{"x12", 0},
        // The 32-bit edges, and saturation beyond them.
        ParseCase{"2147483647", INT32_MAX}, ParseCase{"2147483648", INT32_MAX},
        ParseCase{"-2147483648", INT32_MIN}, ParseCase{"-2147483649", INT32_MIN},
        ParseCase{"99999999999999999999999999999", INT32_MAX},
        ParseCase{"-99999999999999999999999999999", INT32_MIN},
        ParseCase{"000000000000000000002147483647", INT32_MAX}, ParseCase{"4294967296", INT32_MAX},
        ParseCase{"4294967301", INT32_MAX}));

TEST(ClampToRange, LimitsToTheBoundsInclusive) {
    EXPECT_EQ(ui::clampToRange(-5, 0, 1000), 0);
    EXPECT_EQ(ui::clampToRange(0, 0, 1000), 0);
    EXPECT_EQ(ui::clampToRange(7, 0, 1000), 7);
    EXPECT_EQ(ui::clampToRange(1000, 0, 1000), 1000);
    EXPECT_EQ(ui::clampToRange(1001, 0, 1000), 1000);
    EXPECT_EQ(ui::clampToRange(INT32_MAX, 0, 1000), 1000);
    EXPECT_EQ(ui::clampToRange(INT32_MIN, 0, 1000), 0);
    // Bounds the wrong way round: the maximum is tested first, then the minimum.
    EXPECT_EQ(ui::clampToRange(5, 10, 0), 0);
    EXPECT_EQ(ui::clampToRange(-1, 10, 0), 10);
}

TEST(NumberFieldValue, StoresWhatTheDialogPromises) {
    EXPECT_EQ(ui::numberFieldValue("5000", 0, 1000), 1000);
    EXPECT_EQ(ui::numberFieldValue("007", 0, 1000), 7);
    EXPECT_EQ(ui::numberFieldValue("", 0, 1000), 0);
    EXPECT_EQ(ui::numberFieldValue("-5", 0, 1000), 0);
    EXPECT_EQ(ui::numberFieldValue("letters", 0, 1000), 0);
    EXPECT_EQ(ui::numberFieldValue("12letters", 0, 1000), 12);
    EXPECT_EQ(ui::numberFieldValue("-99999999999", 0, 1000), 0);
    EXPECT_EQ(ui::numberFieldValue("99999999999", 0, 1000), 1000);
}

TEST(NumberFieldValue, CountsOnlyTheFirstFortyNineCharacters) {
    const std::string zeros(49, '0');
    EXPECT_EQ(ui::numberFieldValue((zeros + "5").c_str(), 0, 1000), 0);
    EXPECT_EQ(ui::numberFieldValue((std::string(48, '0') + "5").c_str(), 0, 1000), 5);
    EXPECT_EQ(ui::numberFieldValue((std::string(48, ' ') + "7").c_str(), 0, 1000), 7);
    EXPECT_EQ(ui::numberFieldValue((std::string(49, ' ') + "7").c_str(), 0, 1000), 0);
    // A long text is cut, never read past: 10 000 digits still give a clamped value.
    EXPECT_EQ(ui::numberFieldValue(std::string(10000, '9').c_str(), 0, 1000), 1000);
}

} // namespace
