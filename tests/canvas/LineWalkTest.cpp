// Lines on the canvas against a plain per-pixel Bresenham walked over an
// unbounded plane, for lines short enough to walk and for lines far too long
// to walk (those checked column by column with 128-bit arithmetic).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "drawing/Canvas.h"
#include "drawing/LineWalk.h"

namespace pallowin {
namespace {

constexpr int W = 61, H = 47;
constexpr std::uint32_t Pen = 0x123456, Gap = 0xA0B0C0, Paper = 0x010203;

struct Image {
    int width, height;
    std::vector<std::uint32_t> px;
    Image(int w, int h) : width(w), height(h), px(std::size_t(w) * h, Paper) {}
    void Put(std::int64_t x, std::int64_t y, std::uint32_t c) {
        if (x >= 0 && y >= 0 && x < width && y < height) px[std::size_t(y) * width + x] = c;
    }
};

// The rules as written down for the platform, one pixel at a time.
void ReferenceLine(Image& img, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                   std::int64_t y2, const DashPattern* dash) {
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const std::int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const std::int64_t bias = (xMajor ? dy < 0 : dx < 0) ? 1 : 0;
    std::int64_t err = 2 * minor - major, x = x1, y = y1;
    for (std::int64_t k = 0; k < major; ++k) {
        bool on = true;
        if (dash) {
            std::int64_t into = k % dash->period;
            int run = 0;
            while (into >= dash->runs[run]) into -= dash->runs[run++];
            on = run % 2 == 0;
        }
        img.Put(x, y, on ? Pen : Gap);
        if (err + bias > 0) {
            (xMajor ? y : x) += xMajor ? sy : sx;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
        (xMajor ? x : y) += xMajor ? sx : sy;
    }
}

Image CanvasLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                 TPenStyle style, RowOrder order) {
    const std::ptrdiff_t stride = (3 * W + 3) & ~3;
    std::vector<std::uint8_t> bits(stride * H);
    Canvas canvas(bits.data(), W, H, stride, order);
    canvas.SetPenColor(Paper);
    canvas.SetBrushColor(Paper);
    canvas.Rectangle(0, 0, W + 1, H + 1);
    canvas.SetPenColor(Pen);
    canvas.SetBackgroundColor(Gap);
    canvas.SetPenStyle(style);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    EXPECT_EQ(canvas.CurrentX(), x2);
    EXPECT_EQ(canvas.CurrentY(), y2);
    Image img(W, H);
    for (int y = 0; y < H; ++y) {
        const std::uint8_t* row = bits.data() + (order == RowOrder::TopDown ? y : H - 1 - y) * stride;
        for (int x = 0; x < W; ++x)
            img.px[std::size_t(y) * W + x] = row[3 * x] << 16 | row[3 * x + 1] << 8 | row[3 * x + 2];
    }
    return img;
}

std::string FirstDifference(const Image& got, const Image& want) {
    for (int y = 0; y < got.height; ++y)
        for (int x = 0; x < got.width; ++x)
            if (got.px[std::size_t(y) * W + x] != want.px[std::size_t(y) * W + x])
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + "): got " +
                       std::to_string(got.px[std::size_t(y) * W + x]) + " want " +
                       std::to_string(want.px[std::size_t(y) * W + x]);
    return {};
}

const TPenStyle AllStyles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};

TEST(LineWalk, MatchesPlainWalkInAllOctantsStylesAndReaches) {
    std::mt19937 rng(20261211);
    // Endpoints near the bitmap, then farther and farther out, so that every
    // edge clips at the start, the end, both or neither.
    const int reaches[] = {W + 10, 300, 5000, 200000};
    int checked = 0;
    for (int reach : reaches) {
        std::uniform_int_distribution<int> coord(-reach, reach);
        for (int n = 0; n < 400; ++n) {
            const std::int32_t x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
            const TPenStyle style = AllStyles[n % 5];
            const RowOrder order = n % 2 ? RowOrder::BottomUp : RowOrder::TopDown;
            Image want(W, H);
            ReferenceLine(want, x1, y1, x2, y2, DashPatternFor(style));
            const std::string diff = FirstDifference(CanvasLine(x1, y1, x2, y2, style, order), want);
            ASSERT_EQ(diff, "") << "line (" << x1 << ", " << y1 << ") -> (" << x2 << ", " << y2
                                << ") style " << style;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 1600);
}

TEST(LineWalk, TiesAndEndsFollowThePlatform) {
    struct Case {
        int x1, y1, x2, y2;
        std::vector<std::pair<int, int>> pixels;
    };
    const Case cases[] = {
        {8, 8, 12, 10, {{8, 8}, {9, 8}, {10, 9}, {11, 9}}},
        {12, 10, 8, 8, {{12, 10}, {11, 9}, {10, 9}, {9, 8}}},
        {8, 8, 10, 4, {{8, 8}, {8, 7}, {9, 6}, {9, 5}}},
        {0, 0, 10, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}},
        {3, 5, 3, 2, {{3, 5}, {3, 4}, {3, 3}}},
        {4, 4, 1, 1, {{4, 4}, {3, 3}, {2, 2}}},
        {5, 5, 5, 5, {}},
        {-1, 3, 2, 3, {{0, 3}, {1, 3}}},
    };
    for (const Case& c : cases) {
        Image want(W, H);
        for (auto [x, y] : c.pixels) want.Put(x, y, Pen);
        EXPECT_EQ(FirstDifference(CanvasLine(c.x1, c.y1, c.x2, c.y2, psSolid, RowOrder::BottomUp), want), "")
            << "line (" << c.x1 << ", " << c.y1 << ") -> (" << c.x2 << ", " << c.y2 << ")";
    }
}

#ifdef __SIZEOF_INT128__
// Pixel of the unclipped line at major step k, straight from the rule that
// ties go to the smaller minor coordinate.
TEST(LineWalk, HugeCoordinatesKeepTheUnclippedPixels) {
    using i128 = __int128;
    std::mt19937_64 rng(77);
    const std::int64_t lo = INT32_MIN, hi = INT32_MAX;
    std::uniform_int_distribution<std::int64_t> any(lo, hi), near(-100, 100);
    for (int n = 0; n < 3000; ++n) {
        // One end anywhere; the other aimed so that the line crosses the
        // bitmap about half the time.
        std::int64_t x1 = any(rng), y1 = any(rng), x2, y2;
        if (n % 2) {
            const std::int64_t tx = near(rng), ty = near(rng);
            x2 = std::clamp<std::int64_t>(tx + (tx - x1) * (n % 7 == 1 ? 0 : 1), lo, hi);
            y2 = std::clamp<std::int64_t>(ty + (ty - y1) * (n % 7 == 1 ? 0 : 1), lo, hi);
        } else {
            x2 = any(rng);
            y2 = any(rng);
        }
        if (n % 5 == 0) std::swap(x1, x2);
        const TPenStyle style = AllStyles[n % 5];
        const DashPattern* dash = DashPatternFor(style);
        const std::int64_t dx = x2 - x1, dy = y2 - y1;
        const bool xMajor = std::abs(dx) > std::abs(dy);
        const std::int64_t major = xMajor ? std::abs(dx) : std::abs(dy), minor = xMajor ? std::abs(dy) : std::abs(dx);
        const std::int64_t sa = (xMajor ? dx : dy) < 0 ? -1 : 1, sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
        const std::int64_t bias = sb < 0 ? 1 : 0;
        Image want(W, H);
        const int majorLimit = xMajor ? W : H;
        for (std::int64_t a = 0; a < majorLimit; ++a) {
            const std::int64_t k = (a - (xMajor ? x1 : y1)) * sa;
            if (k < 0 || k >= major) continue;
            const i128 num = i128(2) * minor * k + major - 1 + bias;
            const std::int64_t m = static_cast<std::int64_t>(num / (i128(2) * major));
            const std::int64_t b = (xMajor ? y1 : x1) + sb * m;
            bool on = true;
            if (dash) {
                std::int64_t into = k % dash->period;
                int run = 0;
                while (into >= dash->runs[run]) into -= dash->runs[run++];
                on = run % 2 == 0;
            }
            if (xMajor) want.Put(a, b, on ? Pen : Gap); else want.Put(b, a, on ? Pen : Gap);
        }
        const std::string diff = FirstDifference(
            CanvasLine(std::int32_t(x1), std::int32_t(y1), std::int32_t(x2), std::int32_t(y2), style,
                       RowOrder::BottomUp), want);
        ASSERT_EQ(diff, "") << "line (" << x1 << ", " << y1 << ") -> (" << x2 << ", " << y2 << ")";
    }
}
#endif

TEST(LineWalk, ClipWalksOnlyTheVisiblePart) {
    // From one extreme corner to the other: four billion steps, of which the
    // bitmap sees a diagonal of 47.
    const VisibleLine line = ClipLine(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, W, H);
    EXPECT_EQ(line.steps, std::int64_t{UINT32_MAX});
    EXPECT_EQ(line.count, H);
    EXPECT_EQ(line.x, 0);
    EXPECT_EQ(line.y, 0);
    EXPECT_EQ(line.skipped, -std::int64_t{INT32_MIN});
    EXPECT_EQ(ClipLine(-5, -5, -5, 100, W, H).count, 0);
}

}  // namespace
}  // namespace pallowin
