#include "plugin/PluginInfo.h"

namespace pallowin {

namespace {

// Written as bytes: the source's own encoding must not decide what the host
// reads. "JW_CAD " then the kanji for drawing / figure, then "file" in
// half-width katakana.
constexpr std::string_view Texts[PluginInfoCount] = {
    "00IN",
    "Pallowin: JW_CAD drawing and figure import filter Ver.1.04",
    "*.jwc",
    "JW_CAD \x90\x7D\x96\xCA\xCC\xA7\xB2\xD9",
    "*.jwk",
    "JW_CAD \x90\x7D\x8C\x60\xCC\xA7\xB2\xD9",
};

}  // namespace

std::optional<std::string_view> PluginInfoText(std::uint32_t infoNo) {
    if (infoNo >= PluginInfoCount) return std::nullopt;
    return Texts[infoNo];
}

}  // namespace pallowin
