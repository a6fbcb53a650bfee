// Whatever numbers reach the canvas and the strokes, nothing outside the
// bitmap's pixels may change: not the bytes around the buffer, not the
// padding at the end of each row.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <vector>

#include "drawing/Strokes.h"
#include "tests/canvas/Scenes.h"

namespace pallowin {
namespace {

constexpr std::uint8_t Guard = 0xA5;

std::int32_t AnyCoordinate(scenes::Random& rng) {
    switch (rng.Next() % 4) {
    case 0: return static_cast<std::int32_t>(rng.Between(-5, 40));
    case 1: return static_cast<std::int32_t>(rng.Between(-100000, 100000));
    case 2: return rng.Next() % 2 ? INT32_MAX : INT32_MIN;
    default: return static_cast<std::int32_t>(static_cast<std::uint32_t>(rng.Next()));
    }
}

float AnyFloat(scenes::Random& rng, float wide) {
    switch (rng.Next() % 4) {
    case 0: return rng.Real(-50, 80);
    case 1: return rng.Real(-wide, wide);
    case 2: return std::bit_cast<float>(static_cast<std::uint32_t>(rng.Next()));
    default: {
        const float special[] = {0.0f, -0.0f, 1e30f, -1e30f, 3.4e38f, 1e-40f, 10, 360, 800};
        return special[rng.Next() % 9];
    }
    }
}

float AnyAngle(scenes::Random& rng) {
    const float special[] = {0.0f, -0.0f, 360, 800, 10, 1e30f, -3e38f, 3e38f,
                             std::bit_cast<float>(0x7FC00000u), std::bit_cast<float>(0x7F800000u)};
    switch (rng.Next() % 3) {
    case 0: return rng.Real(-2000, 2000);
    case 1: return special[rng.Next() % 10];
    default: return std::bit_cast<float>(static_cast<std::uint32_t>(rng.Next()));
    }
}

TEST(CanvasSafety, RandomOperationsWriteOnlyPixels) {
    const std::int32_t sizes[][2] = {{1, 1}, {4, 3}, {5, 7}, {33, 17}, {32, 2}};
    scenes::Random rng(99);
    const std::int32_t colors[8] = {0x111111, 0x222222, 0x333333, 0x444444,
                                    0x555555, 0x666666, 0x777777, 0x888888};
    for (const auto& size : sizes) {
        const std::int32_t w = size[0], h = size[1];
        const std::ptrdiff_t stride = scenes::StrideOf(w);
        const std::size_t margin = 64, body = static_cast<std::size_t>(stride) * h;
        for (RowOrder order : {RowOrder::TopDown, RowOrder::BottomUp}) {
            std::vector<std::uint8_t> buffer(margin + body + margin, Guard);
            Canvas canvas(buffer.data() + margin, w, h, stride, order);
            Strokes strokes(canvas, colors);
            for (int op = 0; op < 4000; ++op) {
                switch (rng.Next() % 6) {
                case 0: strokes.SelectPenColor(static_cast<std::int32_t>(rng.Between(-2, 300))); break;
                case 1: strokes.SelectPenStyle(static_cast<std::int32_t>(rng.Between(-2, 12))); break;
                case 2: strokes.DrawSegment(AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng)); break;
                case 3: canvas.Rectangle(AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng), AnyCoordinate(rng)); break;
                case 4: canvas.SetPixel(AnyCoordinate(rng), AnyCoordinate(rng), static_cast<std::uint32_t>(rng.Next())); break;
                default:
                    strokes.DrawArc(AnyFloat(rng, 1e7f), AnyFloat(rng, 1e7f), AnyFloat(rng, 1e7f),
                                    AnyAngle(rng), AnyAngle(rng), AnyFloat(rng, 1e4f),
                                    AnyFloat(rng, 1e4f));
                }
            }
            for (std::size_t i = 0; i < margin; ++i) {
                ASSERT_EQ(buffer[i], Guard) << w << "x" << h << " before the buffer, byte " << i;
                ASSERT_EQ(buffer[margin + body + i], Guard) << w << "x" << h << " after the buffer, byte " << i;
            }
            for (std::int32_t row = 0; row < h; ++row)
                for (std::ptrdiff_t b = 3 * w; b < stride; ++b)
                    ASSERT_EQ(buffer[margin + row * stride + b], Guard) << w << "x" << h << " row padding";
        }
    }
}

}  // namespace
}  // namespace pallowin
