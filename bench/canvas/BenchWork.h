// The benchmark's work, shared by the native benchmark and the GDI one under
// wine so that both draw exactly the same: segments of about 50 pixels and
// arcs of radius 10 to 500 on a 2000 x 1400 bitmap.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "drawing/ArcPath.h"
#include "tests/canvas/Scenes.h"

namespace pallowin::bench {

constexpr std::int32_t BitmapWidth = 2000, BitmapHeight = 1400;
// A bitmap that stays in the processor's cache (360 KB): the same segments
// there show the drawing cost without the memory traffic both sides share.
constexpr std::int32_t SmallWidth = 400, SmallHeight = 300;

struct Segment {
    std::int32_t x1, y1, x2, y2;
};

inline std::vector<Segment> Segments(std::int32_t width = BitmapWidth, std::int32_t height = BitmapHeight,
                                     int count = 100000) {
    scenes::Random rng(4242);
    std::vector<Segment> out;
    out.reserve(count);
    while (static_cast<int>(out.size()) < count) {
        const std::int32_t x1 = static_cast<std::int32_t>(rng.Between(0, width - 1));
        const std::int32_t y1 = static_cast<std::int32_t>(rng.Between(0, height - 1));
        // Length 50 in a random direction, rounded to whole pixels.
        const double angle = static_cast<double>(rng.Next() >> 11) * (6.283185307179586 / 9007199254740992.0);
        const std::int32_t x2 = x1 + static_cast<std::int32_t>(std::lround(50 * std::cos(angle)));
        const std::int32_t y2 = y1 + static_cast<std::int32_t>(std::lround(50 * std::sin(angle)));
        if (x2 < 0 || y2 < 0 || x2 >= width || y2 >= height) continue;
        out.push_back({x1, y1, x2, y2});
    }
    return out;
}

inline std::vector<ArcSpec> Arcs(int count = 2000) {
    scenes::Random rng(4343);
    std::vector<ArcSpec> out;
    for (int i = 0; i < count; ++i)
        out.push_back({rng.Real(0, BitmapWidth), rng.Real(0, BitmapHeight), rng.Real(10, 500), 0, 0,
                       rng.Real(0.3f, 1.0f), rng.Real(0, 180)});
    return out;
}

}  // namespace pallowin::bench
