// The settings as the registry may hold them: any text, or a value of
// another type, under every name the store reads. Loading must give settings
// that save and load back unchanged, and a preview drawn with them must
// still follow the failure tables.
//
// Input: the values in the order of Names, separated by line feeds. A value
// that starts with byte 01 is stored as a value of another type; one that is
// the single byte 02 is left out.
#include <string>
#include <string_view>

#include "fuzz/FuzzHost.h"
#include "tools/jwwriter/JwWriter.h"

using namespace pallowin;
using namespace pallowin::fuzz;
namespace portable = platform::portable;

namespace {

const std::pair<const char*, const char*> Names[] = {
    {"System", "Version"}, {"System", "JWC_W"},   {"System", "JWC_H"},   {"System", "JWK_W"},
    {"System", "JWK_H"},   {"System", "THU_W"},   {"System", "THU_H"},   {"Color", "Back"},
    {"Color", "Line1"},    {"Color", "Line2"},    {"Color", "Line3"},    {"Color", "Line4"},
    {"Color", "Line5"},    {"Color", "Line6"},    {"Color", "Text"},     {"Image", "ViewMode"},
    {"Image", "BakMode"},  {"Image", "TextMode"}, {"Image", "NormalSize"}, {"Image", "jwkSize"},
};

void StoreValues(std::string_view input) {
    portable::ClearRegistry();
    for (const auto& [section, name] : Names) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        std::string_view value = input.substr(0, end);
        input.remove_prefix(std::min(end + 1, input.size()));
        if (value == "\x02") continue;
        const bool isString = value.empty() || value.front() != '\x01';
        if (!isString) value.remove_prefix(1);
        portable::Registry()[section][name] = portable::StoredValue{isString, std::string(value)};
    }
}

// What a save and a load give back: everything but the thumbnail size, which
// every save writes as its fixed value.
bool SameStoredSettings(const TPluginSettings& a, const TPluginSettings& b) {
    for (int i = 0; i < ColorCount; ++i)
        if (a.Colors[i] != b.Colors[i]) return false;
    return a.ViewMode == b.ViewMode && a.BakMode == b.BakMode && a.TextMode == b.TextMode &&
           a.JWC_W == b.JWC_W && a.JWC_H == b.JWC_H && a.JWK_W == b.JWK_W && a.JWK_H == b.JWK_H;
}

const std::vector<std::uint8_t>& PreviewDrawing() {
    static const std::vector<std::uint8_t> file = [] {
        namespace jw = jwwriter;
        jw::DrawingSpec spec;
        spec.lines = {jw::Line(0, 0, 518, 366, 3, 2), jw::Line(10, 300, 400, 20, 9, 5, jw::LayerOf(1, 2))};
        spec.arcs = {jw::Arc(259, 183, 100, 10, 300, 0.5, 20, 6, 4)};
        spec.texts = {jw::Text(20, 40, 120, 40)};
        spec.points = {jw::Point(200, 200, 7), jw::Point(100, 100, 12, jw::LayerOf(1, 2))};
        spec.groupVisible[1] = 0;
        return jw::WriteDrawing(spec);
    }();
    return file;
}

void DrawPreview() {
    const auto& file = PreviewDrawing();
    std::uint8_t first[40];
    std::memcpy(first, file.data(), sizeof first);
    FUZZ_CHECK(IsSupported("plan.jwc", first) == 1);
    ExactBytes image(file.data(), file.size());
    platform::HostBlock info = nullptr, bits = nullptr;
    const std::int32_t rc = GetPreview(image.AsSource(), HostValue(file.size()), 1, &info, &bits, nullptr, 0);
    FUZZ_CHECK(rc == rcOk && info != nullptr && bits != nullptr);
    FreeAsHost(info);
    FreeAsHost(bits);
    CheckNothingLeftAlive();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StoreValues({reinterpret_cast<const char*>(data), size});
    PluginShutdown();
    FUZZ_CHECK(PluginStartup());
    const TPluginSettings loaded = PluginSettings;

    // The body's destructor saves; the next body loads what was saved.
    PluginShutdown();
    FUZZ_CHECK(PluginStartup());
    FUZZ_CHECK(SameStoredSettings(PluginSettings, loaded));

    DrawPreview();
    PluginShutdown();
    FUZZ_CHECK(portable::LiveHostBlockCount() == 0);
    return 0;
}
