#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <optional>
#include <string>

#include "MapKey.h"
#include "settings/RegIniFile.h"
#include "settings/SettingsStore.h"

namespace pallowin {
namespace {

TEST(ParseWholeNumber, AcceptsWhatTheHostsConversionAccepts) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0},
        {"518", 518},
        {"-5", -5},
        {"+7", 7},
        {"  42", 42},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$FF", 255},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$0000FF", 255},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"42 ", std::nullopt},
        {"4 2", std::nullopt},
        {"1.5", std::nullopt},
        {"green", std::nullopt},
        {"yes", std::nullopt},
        {"0x10", std::nullopt},  // only ReadInteger rewrites 0x
        {"--1", std::nullopt},
        {"$G", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(TRegIniFile, ReadIntegerTakesHexadecimalAfterZeroX) {
    MapKey key;
    TRegIniFile ini(key);
    const struct {
        const char* stored;
        std::int32_t value;
    } cases[] = {
        {"0x0000FF", 255}, {"0X10", 16}, {"0xff00", 0xFF00}, {"0x", 9}, {"0xZZ", 9},
        {"-0x1", 9},  // the rewrite is for a leading 0 only
        {"12", 12},
    };
    for (const auto& c : cases) {
        key.values["S\\v"] = c.stored;
        EXPECT_EQ(ini.ReadInteger("S", "v", 9), c.value) << c.stored;
    }
    EXPECT_EQ(ini.ReadInteger("S", "missing", 9), 9);
}

TEST(TRegIniFile, ReadBoolIsAnyNonZeroNumber) {
    MapKey key;
    TRegIniFile ini(key);
    const struct {
        const char* stored;
        bool defaultValue, value;
    } cases[] = {
        {"1", false, true}, {"0", true, false}, {"2", false, true}, {"-1", false, true},
        {"yes", true, true}, {"yes", false, false}, {"", true, true},
    };
    for (const auto& c : cases) {
        key.values["S\\b"] = c.stored;
        EXPECT_EQ(ini.ReadBool("S", "b", c.defaultValue), c.value) << c.stored;
    }
    EXPECT_TRUE(ini.ReadBool("S", "missing", true));
}

TEST(TRegIniFile, WritesPlainDecimalAndDigitBooleans) {
    MapKey key;
    TRegIniFile ini(key);
    EXPECT_TRUE(ini.WriteInteger("S", "a", -5));
    EXPECT_TRUE(ini.WriteInteger("S", "b", 16776960));
    EXPECT_TRUE(ini.WriteInteger("S", "c", INT32_MIN));
    EXPECT_TRUE(ini.WriteBool("S", "t", true));
    EXPECT_TRUE(ini.WriteBool("S", "f", false));
    EXPECT_EQ(key.values["S\\a"], "-5");
    EXPECT_EQ(key.values["S\\b"], "16776960");
    EXPECT_EQ(key.values["S\\c"], "-2147483648");
    EXPECT_EQ(key.values["S\\t"], "1");
    EXPECT_EQ(key.values["S\\f"], "0");
    key.failing["S\\x"] = true;
    EXPECT_FALSE(ini.WriteInteger("S", "x", 1));
    EXPECT_EQ(ini.ReadString("S", "x", "none"), "none");
}

TEST(ParseScaleFactor, TakesAFullStopOrTheLocaleSeparator) {
    const struct {
        const char* text;
        char separator;
        std::optional<float> value;
    } cases[] = {
        {"1.00", '.', 1.0f},   {"1.00", ',', 1.0f},   {"0,75", ',', 0.75f},
        {"0,75", '.', std::nullopt}, {"1.5", '.', 1.5f}, {" 2 ", '.', 2.0f},
        {"-0.5", '.', -0.5f},  {"+3", '.', 3.0f},     {".5", '.', 0.5f},
        {"5.", '.', 5.0f},     {"1e1", '.', 10.0f},   {"2.5E-1", '.', 0.25f},
        {"0.1", '.', 0.1f},    {"", '.', std::nullopt}, {".", '.', std::nullopt},
        {"abc", '.', std::nullopt}, {"1.0.0", '.', std::nullopt}, {"1e", '.', std::nullopt},
        {"1,000.5", '.', std::nullopt}, {"0x1p3", '.', std::nullopt}, {"inf", '.', std::nullopt},
        {"nan", '.', std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseScaleFactor(c.text, c.separator), c.value)
            << '"' << c.text << "\" with '" << c.separator << "'";
    }
}

// Every float, written with enough digits, reads back as itself, whichever
// separator it was written with.
TEST(ParseScaleFactor, ReadsBackEveryFloatItsDigitsDescribe) {
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        float value;
        const std::uint32_t pattern = bits(random);
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        const auto parsed = ParseScaleFactor(text, ',');
        ASSERT_TRUE(parsed.has_value()) << text;
        ASSERT_EQ(std::memcmp(&*parsed, &value, sizeof value), 0) << text;
        for (char& c : text) if (c == '.') c = ',';
        ASSERT_EQ(ParseScaleFactor(text, ','), parsed) << text;
    }
}

}  // namespace
}  // namespace pallowin
