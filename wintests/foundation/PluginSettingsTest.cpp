// The settings the plug-in keeps in the registry, seen from outside: what a
// first load and unload leave behind, and how old settings are carried over.
#include <windows.h>

#include <cstdio>
#include <string>

#include "TestKey.h"
#include "wintests/harness/WinCheck.h"

namespace {

// Load and unload, as a host does when it opens and leaves a folder.
bool LoadAndUnload() {
    HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
    if (!CHECK(plugin != nullptr)) return false;
    return CHECK(FreeLibrary(plugin));
}

void FirstLoadWritesEveryValue() {
    testkey::Clear();
    if (!LoadAndUnload()) return;
    CHECK(testkey::Count(nullptr, false) == 3);
    CHECK(testkey::Count("System", true) == 7);
    CHECK(testkey::Count("Color", true) == 8);
    CHECK(testkey::Count("Image", true) == 3);
    CHECK(testkey::Read("System", "Version") == "104");
    CHECK(testkey::Read("System", "JWC_W") == "518");
    CHECK(testkey::Read("System", "JWC_H") == "366");
    CHECK(testkey::Read("System", "THU_W") == "113");
    CHECK(testkey::Read("Color", "Line1") == "16776960");
    CHECK(testkey::Read("Color", "Text") == "255");
    CHECK(testkey::Read("Image", "TextMode") == "1");
    CHECK(!testkey::Read("Image", "NormalSize"));
    CHECK(!testkey::Read("Image", "jwkSize"));
}

void OldScaleFactorsAreMigrated() {
    testkey::Clear();
    testkey::Write("Image", "NormalSize", "1.5");
    testkey::Write("Image", "jwkSize", "0.75");
    testkey::Write("System", "JWC_W", "600");
    if (!LoadAndUnload()) return;
    CHECK(testkey::Read("System", "JWC_W") == "777");
    CHECK(testkey::Read("System", "JWC_H") == "549");
    CHECK(testkey::Read("System", "JWK_W") == "75");
    CHECK(testkey::Read("System", "Version") == "104");
    CHECK(testkey::Read("Image", "NormalSize") == "1.5");
    // Once saved, the old factor is no longer read.
    testkey::Write("Image", "NormalSize", "2");
    if (!LoadAndUnload()) return;
    CHECK(testkey::Read("System", "JWC_W") == "777");
}

void ValuesOfOtherTypesAndBadTextsGiveDefaults() {
    testkey::Clear();
    testkey::Write("System", "Version", "104");
    testkey::WriteNumber("System", "JWC_W", 640);
    testkey::Write("System", "THU_W", "200");
    testkey::Write("Color", "Line3", "0x0000FF");
    testkey::Write("Color", "Line4", "green");
    testkey::Write("Image", "ViewMode", "2");
    if (!LoadAndUnload()) return;
    CHECK(testkey::Read("System", "JWC_W") == "518");  // a string again
    CHECK(testkey::Read("System", "THU_W") == "113");
    CHECK(testkey::Read("Color", "Line3") == "255");
    CHECK(testkey::Read("Color", "Line4") == "65535");
    CHECK(testkey::Read("Image", "ViewMode") == "1");
}

// With a comma as the user's decimal separator, the old factor may be
// written either way, and the default "1.00" still converts.
void MigrationUnderACommaLocale() {
    char saved[16] = {};
    if (!CHECK(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, sizeof saved) > 0)) return;
    if (!CHECK(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","))) return;
    char now[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, now, sizeof now);
    CHECK(std::string(now) == ",");

    const struct {
        const char* normalSize;  // nullptr: missing
        const char* width;
    } cases[] = {{nullptr, "518"}, {"0,75", "388"}, {"1.5", "777"}, {"1,5", "777"}};
    for (const auto& c : cases) {
        testkey::Clear();
        if (c.normalSize) testkey::Write("Image", "NormalSize", c.normalSize);
        if (!LoadAndUnload()) break;
        if (!CHECK(testkey::Read("System", "JWC_W") == c.width))
            std::printf("  NormalSize %s\n", c.normalSize ? c.normalSize : "(missing)");
    }
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved);
}

}  // namespace

int main() {
    FirstLoadWritesEveryValue();
    OldScaleFactorsAreMigrated();
    ValuesOfOtherTypesAndBadTextsGiveDefaults();
    MigrationUnderACommaLocale();
    testkey::Clear();
    return wincheck::Finish("plugin_settings_test");
}
