// The six texts the host asks for with GetPluginInfo, as code-page-932 bytes.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace pallowin {

constexpr std::uint32_t PluginInfoCount = 6;

// nullopt for a number outside 0 to 5.
std::optional<std::string_view> PluginInfoText(std::uint32_t infoNo);

}  // namespace pallowin
