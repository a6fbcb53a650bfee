// Draws a fixture file onto a bottom-up picture, as the plug-in does, and
// reads its pixels back as 0x00BBGGRR colours.
#pragma once
#include <cstdint>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/Renderers.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin::testing {

// Default colours with a text colour apart from the origin mark's red.
inline TPluginSettings TestSettings() {
    TPluginSettings s = DefaultSettings;
    s.Colors[ciBack] = 0x102030;
    s.Colors[ciText] = 0x00C0FF;
    return s;
}

struct Picture {
    std::int32_t width, height;
    std::int32_t stride;
    std::vector<std::uint8_t> bits;

    Picture(std::int32_t w, std::int32_t h)
        : width(w), height(h), stride((w * 3 + 3) / 4 * 4), bits(std::size_t(stride) * h, 0xAB) {}
    Canvas MakeCanvas() { return Canvas(bits.data(), width, height, stride, RowOrder::BottomUp); }
    std::uint32_t At(std::int32_t x, std::int32_t y) const {
        const std::uint8_t* p = bits.data() + std::size_t(height - 1 - y) * stride + x * 3;
        return p[2] | (p[1] << 8) | (std::uint32_t(p[0]) << 16);
    }
    // Pixels of a colour, in reading order.
    std::vector<std::pair<int, int>> Where(std::uint32_t color) const {
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) == color) found.emplace_back(x, y);
        return found;
    }
};

struct Recorder : ProgressSink {
    std::vector<std::int32_t> reports, colors, styles;
    void Report(std::int32_t num) override { reports.push_back(num); }
    void PenColorSelected(std::int32_t code) override { colors.push_back(code); }
    void PenStyleSelected(std::int32_t type) override { styles.push_back(type); }
};

inline Picture DrawFile(const jwwriter::DrawingSpec& spec, const TPluginSettings& settings,
                        std::int32_t w, std::int32_t h, ProgressSink* sink = nullptr) {
    const std::vector<std::uint8_t> file = jwwriter::WriteDrawing(spec);
    Picture picture(w, h);
    Canvas canvas = picture.MakeCanvas();
    DrawDrawing(ParseDrawingHeader(file), settings, canvas, sink);
    return picture;
}

inline Picture DrawFile(const jwwriter::FigureSpec& spec, const TPluginSettings& settings,
                        std::int32_t w, std::int32_t h, ProgressSink* sink = nullptr) {
    const std::vector<std::uint8_t> file = jwwriter::WriteFigure(spec);
    Picture picture(w, h);
    Canvas canvas = picture.MakeCanvas();
    DrawFigure(ParseFigureHeader(file), settings, canvas, sink);
    return picture;
}

}  // namespace pallowin::testing
