#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "MapKey.h"
#include "platform/PortableControl.h"
#include "settings/SettingsStore.h"

namespace pallowin {
namespace {

namespace portable = platform::portable;

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        portable::ClearRegistry();
        portable::SetSettingsKeyUnavailable(false);
        portable::SetRegistryWritesFail(false);
    }
    void TearDown() override { SetUp(); }

    static void Store(const char* section, const char* name, const char* text) {
        portable::Registry()[section][name] = {true, text};
    }
    static void StoreOtherType(const char* section, const char* name) {
        portable::Registry()[section][name] = {false, "\x01\x00\x00\x00"};
    }
    static std::optional<std::string> Stored(const char* section, const char* name) {
        auto& registry = portable::Registry();
        auto s = registry.find(section);
        if (s == registry.end()) return std::nullopt;
        auto v = s->second.find(name);
        if (v == s->second.end() || !v->second.isString) return std::nullopt;
        return v->second.text;
    }
    // Filled with values no load would produce, so a field the load forgets
    // to assign shows.
    static TPluginSettings Junk() {
        TPluginSettings s{};
        for (auto& c : s.Colors) c = -7;
        s.ViewMode = s.BakMode = s.TextMode = true;
        s.JWC_W = s.JWC_H = s.JWK_W = s.JWK_H = s.THU_W = s.THU_H = -7;
        return s;
    }
    static void ExpectSettings(const TPluginSettings& actual, const TPluginSettings& expected) {
        for (int c = 0; c < ColorCount; ++c) EXPECT_EQ(actual.Colors[c], expected.Colors[c]) << "colour " << c;
        EXPECT_EQ(actual.ViewMode, expected.ViewMode);
        EXPECT_EQ(actual.BakMode, expected.BakMode);
        EXPECT_EQ(actual.TextMode, expected.TextMode);
        EXPECT_EQ(actual.JWC_W, expected.JWC_W);
        EXPECT_EQ(actual.JWC_H, expected.JWC_H);
        EXPECT_EQ(actual.JWK_W, expected.JWK_W);
        EXPECT_EQ(actual.JWK_H, expected.JWK_H);
        EXPECT_EQ(actual.THU_W, expected.THU_W);
        EXPECT_EQ(actual.THU_H, expected.THU_H);
    }
};

TEST_F(StoreTest, AnEmptyRegistryGivesDefaultsAndSavesEighteenValues) {
    TPluginSettings settings = Junk();
    EXPECT_EQ(LoadSettingsFromStore(settings), 0);
    ExpectSettings(settings, DefaultSettings);
    EXPECT_TRUE(portable::Registry().empty()) << "loading created a section";

    SaveSettingsToStore(settings);
    const auto& registry = portable::Registry();
    ASSERT_EQ(registry.size(), 3u);
    ASSERT_EQ(registry.count("System") + registry.count("Color") + registry.count("Image"), 3u);
    EXPECT_EQ(registry.at("System").size(), 7u);
    EXPECT_EQ(registry.at("Color").size(), 8u);
    EXPECT_EQ(registry.at("Image").size(), 3u);
    const struct {
        const char* section;
        const char* name;
        const char* text;
    } expected[] = {
        {"System", "Version", "104"}, {"System", "JWC_W", "518"},   {"System", "JWC_H", "366"},
        {"System", "JWK_W", "100"},   {"System", "JWK_H", "100"},   {"System", "THU_W", "113"},
        {"System", "THU_H", "81"},    {"Color", "Back", "0"},       {"Color", "Line1", "16776960"},
        {"Color", "Line2", "16777215"}, {"Color", "Line3", "65280"}, {"Color", "Line4", "65535"},
        {"Color", "Line5", "16711935"}, {"Color", "Line6", "16711680"}, {"Color", "Text", "255"},
        {"Image", "ViewMode", "0"},   {"Image", "BakMode", "0"},    {"Image", "TextMode", "1"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(Stored(e.section, e.name), std::optional<std::string>(e.text)) << e.section << "\\" << e.name;
    }
    EXPECT_FALSE(Stored("Image", "NormalSize"));
    EXPECT_FALSE(Stored("Image", "jwkSize"));
}

struct MigrationCase {
    const char* label;
    const char* version;     // nullptr: missing
    const char* normalSize;  // nullptr: missing
    const char* jwkSize;
    std::int32_t jwcW, jwcH, jwkW, jwkH;
};

class MigrationTest : public StoreTest, public ::testing::WithParamInterface<MigrationCase> {};

TEST_P(MigrationTest, OldScaleFactorsBecomeSizes) {
    const MigrationCase& c = GetParam();
    if (c.version) Store("System", "Version", c.version);
    if (c.normalSize) Store("Image", "NormalSize", c.normalSize);
    if (c.jwkSize) Store("Image", "jwkSize", c.jwkSize);
    Store("System", "JWC_W", "600");
    Store("System", "JWC_H", "400");
    Store("System", "JWK_W", "90");
    TPluginSettings settings = Junk();
    LoadSettingsFromStore(settings);
    EXPECT_EQ(settings.JWC_W, c.jwcW);
    EXPECT_EQ(settings.JWC_H, c.jwcH);
    EXPECT_EQ(settings.JWK_W, c.jwkW);
    EXPECT_EQ(settings.JWK_H, c.jwkH);
}

INSTANTIATE_TEST_SUITE_P(
    Factors, MigrationTest,
    ::testing::Values(
        // 388.5 and 274.5 go to the even neighbour.
        MigrationCase{"three_quarters", nullptr, "0.75", nullptr, 388, 274, 100, 100},
        MigrationCase{"one_and_a_half", nullptr, "1.5", nullptr, 777, 549, 100, 100},
        MigrationCase{"no_factors", nullptr, nullptr, nullptr, 518, 366, 100, 100},
        MigrationCase{"version_zero", "0", "2", "0.5", 1036, 732, 50, 50},
        MigrationCase{"version_not_a_number", "abc", nullptr, nullptr, 518, 366, 100, 100},
        MigrationCase{"current_version_ignores_factors", "104", "2.00", "3", 600, 400, 90, 100},
        MigrationCase{"other_version_ignores_factors", "7", "2.00", nullptr, 600, 400, 90, 100},
        MigrationCase{"figure_half_to_even", nullptr, nullptr, "0.125", 518, 366, 12, 12},
        MigrationCase{"figure_half_up_to_even", nullptr, nullptr, "0.375", 518, 366, 38, 38},
        // The factor is a 32-bit float first: this text becomes exactly 0.75.
        MigrationCase{"float_rounding_first", nullptr, "0.7500000001", nullptr, 388, 274, 100, 100},
        MigrationCase{"small_factor", nullptr, "0.1", nullptr, 52, 37, 100, 100},
        MigrationCase{"negative_factor", nullptr, "-1", nullptr, -518, -366, 100, 100},
        MigrationCase{"unconvertible_gives_defaults", nullptr, "big", "1,5", 518, 366, 100, 100},
        MigrationCase{"out_of_range_gives_defaults", nullptr, "1e10", "3e7", 518, 366, 100, 100},
        MigrationCase{"largest_fitting_size", nullptr, nullptr, "21474836", 518, 366, 2147483600, 2147483600},
        MigrationCase{"float_overflow", nullptr, "1e39", nullptr, 518, 366, 100, 100}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(StoreTest, AFactorOfAnotherTypeCountsAsMissing) {
    StoreOtherType("Image", "NormalSize");
    Store("System", "JWC_W", "600");
    TPluginSettings settings = Junk();
    LoadSettingsFromStore(settings);
    EXPECT_EQ(settings.JWC_W, 518);
}

TEST_F(StoreTest, StoredValuesAreReadAsTheHostWroteThem) {
    Store("System", "Version", "104");
    Store("System", "THU_W", "200");
    Store("System", "THU_H", "1");
    Store("System", "JWK_W", "-5");
    Store("System", "JWK_H", " 77");
    StoreOtherType("System", "JWC_W");
    Store("System", "JWC_H", "");
    Store("Color", "Back", "0x00FF00");
    Store("Color", "Line3", "0x0000FF");
    Store("Color", "Line4", "green");
    Store("Color", "Line5", "$FF");
    StoreOtherType("Color", "Text");
    Store("Image", "ViewMode", "2");
    Store("Image", "BakMode", "yes");
    Store("Image", "TextMode", "0");

    TPluginSettings settings = Junk();
    EXPECT_EQ(LoadSettingsFromStore(settings), 104);
    TPluginSettings expected = DefaultSettings;
    expected.JWK_W = -5;
    expected.JWK_H = 77;
    expected.Colors[0] = 0xFF00;
    expected.Colors[3] = 255;
    expected.Colors[5] = 255;
    expected.ViewMode = true;
    expected.TextMode = false;
    ExpectSettings(settings, expected);

    SaveSettingsToStore(settings);
    EXPECT_EQ(Stored("System", "THU_W"), "113");
    EXPECT_EQ(Stored("System", "THU_H"), "81");
    EXPECT_EQ(Stored("System", "JWK_W"), "-5");
    EXPECT_EQ(Stored("System", "JWC_W"), "518") << "the other type was not replaced";
    EXPECT_EQ(Stored("Color", "Back"), "65280");
    EXPECT_EQ(Stored("Color", "Line4"), "65535");
    EXPECT_EQ(Stored("Color", "Text"), "255");
    EXPECT_EQ(Stored("Image", "ViewMode"), "1");
    EXPECT_EQ(Stored("Image", "BakMode"), "0");
    EXPECT_EQ(Stored("Image", "TextMode"), "0");
}

TEST_F(StoreTest, SavedSettingsLoadBackUnchanged) {
    TPluginSettings settings = DefaultSettings;
    settings.Colors[7] = 0x123456;
    settings.JWC_W = 1920;
    settings.JWC_H = 1080;
    settings.JWK_W = 0;
    settings.BakMode = true;
    settings.ViewMode = true;
    settings.TextMode = false;
    SaveSettingsToStore(settings);
    Store("Image", "NormalSize", "3");  // ignored now that Version is 104
    TPluginSettings loaded = Junk();
    EXPECT_EQ(LoadSettingsFromStore(loaded), CurrentSettingsVersion);
    ExpectSettings(loaded, settings);
}

TEST_F(StoreTest, TheOldFactorsStayUntouchedBySaving) {
    Store("Image", "NormalSize", "0.75");
    Store("Image", "jwkSize", "garbage");
    TPluginSettings settings = Junk();
    LoadSettingsFromStore(settings);
    SaveSettingsToStore(settings);
    EXPECT_EQ(Stored("Image", "NormalSize"), "0.75");
    EXPECT_EQ(Stored("Image", "jwkSize"), "garbage");
    EXPECT_EQ(Stored("System", "JWC_W"), "388");
}

TEST_F(StoreTest, AnUnavailableKeyLeavesDefaultsAndWritesNothing) {
    Store("System", "Version", "104");
    Store("System", "JWC_W", "600");
    portable::SetSettingsKeyUnavailable(true);
    TPluginSettings settings = Junk();
    EXPECT_EQ(LoadSettingsFromStore(settings), 0);
    ExpectSettings(settings, DefaultSettings);
    settings.JWC_W = 1234;
    SaveSettingsToStore(settings);
    portable::SetSettingsKeyUnavailable(false);
    EXPECT_EQ(Stored("System", "JWC_W"), "600");
    EXPECT_EQ(portable::Registry().size(), 1u);
    EXPECT_EQ(portable::Registry().at("System").size(), 2u);
}

TEST_F(StoreTest, FailingWritesLetTheSaveComplete) {
    Store("System", "JWC_W", "600");
    portable::SetRegistryWritesFail(true);
    TPluginSettings settings = DefaultSettings;
    SaveSettingsToStore(settings);
    portable::SetRegistryWritesFail(false);
    EXPECT_EQ(Stored("System", "JWC_W"), "600");
    EXPECT_FALSE(Stored("System", "Version"));
}

TEST_F(StoreTest, OneFailedWriteDoesNotStopTheOthers) {
    MapKey key;
    key.failing["System\\Version"] = true;
    key.failing["Color\\Line3"] = true;
    TPluginSettings settings = DefaultSettings;
    settings.TextMode = false;
    SaveSettingsToStore(&key, settings);
    EXPECT_EQ(key.values.size(), 16u);
    EXPECT_EQ(key.values.count("System\\Version"), 0u);
    EXPECT_EQ(key.values["System\\JWC_W"], "518");
    EXPECT_EQ(key.values["Color\\Line4"], "65535");
    EXPECT_EQ(key.values["Image\\TextMode"], "0");
}

TEST_F(StoreTest, ANullKeyIsHandled) {
    TPluginSettings settings = Junk();
    EXPECT_EQ(LoadSettingsFromStore(nullptr, settings), 0);
    ExpectSettings(settings, DefaultSettings);
    SaveSettingsToStore(nullptr, settings);
}

}  // namespace
}  // namespace pallowin
