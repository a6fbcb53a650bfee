// The picture the plug-in hands a host, taken straight from the exports with
// the settings a test states: the reference the tools' files must equal.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "settings/PluginSettings.h"

namespace pallowin::clitest {

struct HostPicture {
    std::int32_t result = -99;
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> header;  // the 40-byte BITMAPINFOHEADER
    std::vector<std::uint8_t> bits;    // bottom-up BGR rows, padded to 4 bytes
    std::size_t Stride() const { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }
};

HostPicture PictureFromPlugin(const std::vector<std::uint8_t>& file, const TPluginSettings& settings,
                              bool preview);

}  // namespace pallowin::clitest
