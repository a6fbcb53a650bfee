#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include "drawing/HeaderFields.h"
#include "platform/Failures.h"

namespace pallowin {
namespace {

using namespace std::literals;

struct IntegerCase {
    std::string field;
    std::optional<std::int32_t> value;  // nullopt: conversion error
};

class IntegerConversion : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerConversion, FollowsTheNumberSyntax) {
    const IntegerCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(ConvertInteger(c.field, "line count"), *c.value) << PrintableField(c.field);
    } else {
        EXPECT_THROW(ConvertInteger(c.field, "line count"), EConvertError) << PrintableField(c.field);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerConversion,
    testing::Values(IntegerCase{"12", 12}, IntegerCase{" 12", 12}, IntegerCase{"   0", 0},
                    IntegerCase{"12 ", std::nullopt}, IntegerCase{"+7", 7}, IntegerCase{"-3", -3},
                    IntegerCase{"$1F", 31}, IntegerCase{"$1f", 31}, IntegerCase{" $00FF", 255},
                    IntegerCase{"", std::nullopt}, IntegerCase{" ", std::nullopt},
                    IntegerCase{"1a", std::nullopt}, IntegerCase{"+", std::nullopt},
                    IntegerCase{"-", std::nullopt}, IntegerCase{"$", std::nullopt},
                    IntegerCase{"$G", std::nullopt}, IntegerCase{"+ 7", std::nullopt},
                    IntegerCase{"- 3", std::nullopt}, IntegerCase{"1.5", std::nullopt},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", INT32_MIN},
                    IntegerCase{"2147483648", std::nullopt}, IntegerCase{"-2147483649", std::nullopt},
                    IntegerCase{"99999999999999999999", std::nullopt},
                    IntegerCase{"$7FFFFFFF", INT32_MAX}, IntegerCase{"$80000000", std::nullopt},
                    IntegerCase{"0000000000000000000012", 12},
                    // A NUL ends the number: what follows it is not looked at.
                    IntegerCase{"12\0"s, 12}, IntegerCase{"1\0" "2"s, 1}, IntegerCase{"5\0junk"s, 5},
                    IntegerCase{"\0" "12"s, std::nullopt}, IntegerCase{" \0"s, std::nullopt},
                    IntegerCase{"$\0" "1"s, std::nullopt}));

TEST(IntegerConversion, ErrorNamesTheFieldAndShowsItsText) {
    try {
        ConvertInteger("12 ", "point count");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12 ' is not a valid integer for the point count");
    }
    try {
        ConvertInteger("1\x01", "arc count");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'1\\x01' is not a valid integer for the arc count");
    }
}

struct DecimalCase {
    std::string field;
    std::optional<float> value;
};

class DecimalConversion : public testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalConversion, FollowsTheNumberSyntax) {
    const DecimalCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(ConvertDecimal(c.field, "scale factor"), *c.value) << PrintableField(c.field);
    } else {
        EXPECT_THROW(ConvertDecimal(c.field, "scale factor"), EConvertError) << PrintableField(c.field);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecimalConversion,
    testing::Values(DecimalCase{"4.000000", 4.0f}, DecimalCase{"27.153000", 27.153f},
                    DecimalCase{"0.733333", 0.733333f}, DecimalCase{"50", 50.0f},
                    DecimalCase{" 1.5 ", 1.5f}, DecimalCase{"-2.25", -2.25f}, DecimalCase{"+2.25", 2.25f},
                    DecimalCase{".5", 0.5f}, DecimalCase{"5.", 5.0f}, DecimalCase{"1e2", 100.0f},
                    DecimalCase{"1.5E-1", 0.15f}, DecimalCase{"2e+1", 20.0f},
                    DecimalCase{"1.5\0garbage"s, 1.5f}, DecimalCase{"0.1", 0.1f},
                    DecimalCase{"", std::nullopt}, DecimalCase{"  ", std::nullopt},
                    DecimalCase{".", std::nullopt}, DecimalCase{"-", std::nullopt},
                    DecimalCase{"1,5", std::nullopt}, DecimalCase{"1.5.2", std::nullopt},
                    DecimalCase{"1e", std::nullopt}, DecimalCase{"1e+", std::nullopt},
                    DecimalCase{"0x10", std::nullopt}, DecimalCase{"inf", std::nullopt},
                    DecimalCase{"nan", std::nullopt}, DecimalCase{"1 2", std::nullopt},
                    DecimalCase{"- 1", std::nullopt}, DecimalCase{"$10", std::nullopt},
                    DecimalCase{"1e39", std::nullopt}, DecimalCase{"1e400", std::nullopt},
                    DecimalCase{"\0" "1"s, std::nullopt}));

// A user whose locale writes decimals with a comma must see the same figures:
// the files always use a full stop.
TEST(DecimalConversion, FullStopUnderAnyLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
#ifdef PALLOWIN_TEST_LOCPATH
    setenv("LOCPATH", PALLOWIN_TEST_LOCPATH, 0);
#endif
    bool switched = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            switched = true;
            break;
        }
    }
    if (switched) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    }
    EXPECT_EQ(ConvertDecimal("4.000000", "origin x"), 4.0f);
    EXPECT_EQ(ConvertDecimal("0.733333", "scale factor"), 0.733333f);
    EXPECT_THROW(ConvertDecimal("4,5", "origin x"), EConvertError);
    std::setlocale(LC_ALL, saved.c_str());
    if (!switched) GTEST_SKIP() << "no comma-decimal locale installed; checked under the C locale only";
}

TEST(NextField, CutsAtCommasAndLeavesTheWindowWithoutOne) {
    std::string_view window = "3,1,,2";
    EXPECT_EQ(NextField(window), "3");
    EXPECT_EQ(NextField(window), "1");
    EXPECT_EQ(NextField(window), "");
    EXPECT_EQ(window, "2");
    EXPECT_EQ(NextField(window), "");  // no comma: empty field, window unchanged
    EXPECT_EQ(window, "2");
}

TEST(LastField, EndsAtACommaElseAtTheFirstNul) {
    std::string_view withComma = "abc,def\0"sv;
    EXPECT_EQ(LastField(withComma), "abc");
    std::string_view withNul = "abc\0def\0"sv;
    EXPECT_EQ(LastField(withNul), "abc");
    std::string_view neither = "abc";
    EXPECT_EQ(LastField(neither), "");
}

struct HexCase {
    std::string field;
    std::optional<std::int32_t> value;
};

class HexField : public testing::TestWithParam<HexCase> {};

TEST_P(HexField, ReadsCharactersSixToNine) {
    const HexCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(ParseHexField(c.field), *c.value) << PrintableField(c.field);
    } else {
        EXPECT_THROW(ParseHexField(c.field), EConvertError) << PrintableField(c.field);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HexField,
    testing::Values(HexCase{"000000100", 0x100}, HexCase{"000000180", 0x180},  // nine characters
                    HexCase{"4000:0128", 0x128}, HexCase{"6097:0000", 0},   // far pointers
                    HexCase{"ZZZZZ00ff", 0xFF},                             // 1 to 5 ignored
                    HexCase{"00000A0", 0xA0},                               // seven: two digits
                    HexCase{"000001", 1}, HexCase{"4000:01280", 0x128},     // 10th not read
                    HexCase{"4000:01\0\0"s, 1}, HexCase{"00000", std::nullopt},
                    HexCase{"", std::nullopt}, HexCase{"4000:xx00", std::nullopt},
                    HexCase{"4000: 128", std::nullopt}));

}  // namespace
}  // namespace pallowin
