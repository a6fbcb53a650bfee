// A picture as the plug-in hands it to a host: the 40-byte BITMAPINFOHEADER
// and the bottom-up 24-bit BGR rows, each padded to a multiple of 4 bytes.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pallowin::desktop {

struct DibPicture {
    std::array<std::uint8_t, 40> header{};
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bits;  // height rows of Stride() bytes, last picture row first

    std::size_t Stride() const { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }

    // The pixel at picture row y (0 = top) as 0x00RRGGBB.
    std::uint32_t RgbAt(std::int32_t x, std::int32_t y) const {
        const std::uint8_t* p = bits.data() + static_cast<std::size_t>(height - 1 - y) * Stride() +
                                static_cast<std::size_t>(x) * 3;
        return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
};

}  // namespace pallowin::desktop
