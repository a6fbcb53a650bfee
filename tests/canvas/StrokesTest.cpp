// The four stroke primitives: their tables, the arc's vertices and segment
// counts, and arcs that must neither hang nor crash whatever their numbers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <limits>
#include <vector>

#include "drawing/ArcPath.h"
#include "drawing/Strokes.h"
#include "drawing/X87Precision.h"
#include "tests/canvas/Scenes.h"

namespace pallowin {
namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();

struct Recorder final : PathSink {
    struct Op {
        bool line;
        std::int32_t x, y;
        bool operator==(const Op&) const = default;
    };
    std::vector<Op> ops;
    void MoveTo(std::int32_t x, std::int32_t y) override { ops.push_back({false, x, y}); }
    void LineTo(std::int32_t x, std::int32_t y) override { ops.push_back({true, x, y}); }
    std::vector<std::pair<int, int>> Vertices() const {
        std::vector<std::pair<int, int>> v;
        for (const Op& op : ops) v.emplace_back(op.x, op.y);
        return v;
    }
};

Recorder Trace(const ArcSpec& arc) {
    Recorder r;
    TraceArc(arc, r, nullptr);
    return r;
}

TEST(StrokeTables, ColourCodes) {
    const std::int32_t colors[8] = {0xFFFFFF, 1, 2, 3, 4, 5, 6, 0x7777};
    for (int code = 0; code < 8; ++code) EXPECT_EQ(PenColorForCode(colors, code), std::uint32_t(colors[code]));
    for (int code : {8, 9, 100, 255, 256, -1, INT32_MIN, INT32_MAX})
        EXPECT_EQ(PenColorForCode(colors, code), GreyPenColor) << code;
    EXPECT_EQ(GreyPenColor, 8421504u);
}

TEST(StrokeTables, LineTypes) {
    const TPenStyle expected[] = {psSolid, psSolid, psDot, psDot, psDash, psDashDot,
                                  psDashDot, psDashDotDot, psDashDotDot, psDot};
    for (int type = 0; type < 10; ++type) EXPECT_EQ(PenStyleForLineType(type), expected[type]) << type;
    for (int type : {10, 11, 128, 255, -1, 1000}) EXPECT_EQ(PenStyleForLineType(type), psSolid) << type;
}

TEST(ArcVertices, RadiusTwoCircleStepsByFortyFiveDegrees) {
    const Recorder r = Trace({100, 100, 2, 0, 0, 1, 0});
    const std::vector<std::pair<int, int>> want = {
        {102, 100}, {101, 99}, {100, 98}, {99, 99}, {98, 100}, {99, 101}, {100, 102},
        {101, 101}, {102, 100}, {102, 100}};
    // MoveTo the start; vertex 0 is the start itself and draws nothing, so it
    // is left out; then vertices 1..8 and the end.
    ASSERT_FALSE(r.ops.empty());
    EXPECT_FALSE(r.ops[0].line);
    EXPECT_EQ(r.Vertices(), want);
    EXPECT_EQ(ArcSegmentCount({100, 100, 2, 0, 0, 1, 0}), 8);
}

TEST(ArcVertices, SegmentCounts) {
    struct Case {
        ArcSpec arc;
        long double count;
    };
    const Case cases[] = {
        {{0, 0, 2, 0, 0, 1, 0}, 8},      {{0, 0, 10, 0, 0, 1, 0}, 12},
        {{0, 0, 9, 0, 0, 1, 0}, 36},     {{0, 0, 100, 0, 360, 1, 0}, 120},
        {{0, 0, 3, 0, 20, 1, 0}, 0},     {{0, 0, 50, 45, 45, 1, 0}, 60},
        {{0, 0, 50, 30, 10, 1, 0}, 56},  {{0, 0, 50, 90, 0, 1, 0}, 45},
        {{0, 0, -5, 0, 0, 1, 0}, -20},   {{0, 0, 10, 800, 10, 1, 0}, -14},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArcSegmentCount(c.arc), c.count) << c.arc.radius << " " << c.arc.startAngle << ".." << c.arc.endAngle;
    EXPECT_TRUE(std::isnan(ArcSegmentCount({0, 0, 0, 0, 0, 1, 0})));
    EXPECT_TRUE(std::isnan(ArcSegmentCount({0, 0, NaN, 0, 0, 1, 0})));
}

TEST(ArcVertices, StartsEndsAndShapes) {
    struct Case {
        ArcSpec arc;
        std::pair<int, int> first, last;
    };
    const Case cases[] = {
        // Quarter arc of radius 50: from the right, upward on the bitmap.
        {{100, 100, 50, 0, 90, 1, 0}, {150, 100}, {100, 50}},
        // Equal angles: a full circle from angle 0.
        {{100, 100, 50, 45, 45, 1, 0}, {150, 100}, {150, 100}},
        // Flatness 0.5: angle 90 at half the radius.
        {{100, 100, 40, 90, 90.5f, 0.5f, 0}, {100, 80}, {100, 80}},
        // Flatness 0.5, tilt 90: angle 0 at the full radius above.
        {{100, 100, 40, 0, 0.5f, 0.5f, 90}, {100, 60}, {100, 60}},
        // Flatness not positive: a circle.
        {{100, 100, 40, 90, 91, 0, 0}, {100, 60}, {99, 60}},
        {{100, 100, 40, 90, 91, -3, 0}, {100, 60}, {99, 60}},
        {{100, 100, 40, 90, 91, NaN, 0}, {100, 60}, {99, 60}},
        // Negative radius: mirrored through the centre, one straight line.
        {{100, 100, -40, 0, 0, 1, 0}, {60, 100}, {60, 100}},
        // 90 to 0 is 90 to 360.
        {{100, 100, 40, 90, 0, 1, 0}, {100, 60}, {140, 100}},
    };
    for (const Case& c : cases) {
        const Recorder r = Trace(c.arc);
        ASSERT_GE(r.ops.size(), 2u);
        EXPECT_EQ(r.Vertices().front(), c.first) << c.arc.startAngle << " flat " << c.arc.flatness;
        EXPECT_EQ(r.Vertices().back(), c.last) << c.arc.startAngle << " flat " << c.arc.flatness;
    }
}

TEST(ArcVertices, CountBelowZeroCollapsesToOneLine) {
    for (const ArcSpec& arc : {ArcSpec{50, 50, 3, 0, 20, 1, 0}, ArcSpec{50, 50, -7, 10, 100, 1, 0},
                               ArcSpec{50, 50, 20, 800, 10, 1, 0}}) {
        const Recorder r = Trace(arc);
        // With count 0 the only other line, to vertex 0, has no length.
        ASSERT_EQ(r.ops.size(), 2u);
        EXPECT_FALSE(r.ops[0].line);
        EXPECT_TRUE(r.ops[1].line);
    }
}

TEST(ArcVertices, NothingForZeroOrNotANumberRadius) {
    for (float bad : {0.0f, -0.0f, NaN}) EXPECT_TRUE(Trace({10, 10, bad, 0, 90, 1, 0}).ops.empty());
    std::vector<std::uint8_t> bits(12 * 4);
    Canvas canvas(bits.data(), 4, 4, 12, RowOrder::BottomUp);
    const std::int32_t colors[8] = {};
    Strokes strokes(canvas, colors);
    canvas.MoveTo(3, 2);
    strokes.DrawArc(1, 1, 0, 0, 0, 1, 0);
    EXPECT_EQ(canvas.CurrentX(), 3);
    EXPECT_EQ(canvas.CurrentY(), 2);
}

// Arcs with wild numbers: each must come back quickly and leave the position
// on its end pixel (or untouched when there is no pixel at all).
TEST(ArcLimits, WildNumbersNeitherHangNorCrash) {
    const ArcSpec wild[] = {
        {100, 100, 1e30f, 0, 0, 1, 0},         {100, 100, -1e30f, 0, 0, 1, 0},
        {100, 100, 3e38f, 0, 360, 3e38f, 45},  {-1e9f, 100, 1e9f, 0, 0, 1, 0},
        {1e9f, 700, 1e9f + 500, 170, 190, 1, 0}, {100, 100, 2e9f, -30000, 30000, 1, 0},
        {100, 100, 1e6f, 0, 0, 200000, 33},    {100, 100, 50, -3e38f, 3e38f, 1, 0},
        {100, 100, 50, 1e30f, 0, 1, 0},        {100, 100, 50, 0, 0, 1, Inf},
        {100, 100, Inf, 0, 0, 1, 0},           {NaN, 100, 50, 0, 0, 1, 0},
        {100, 100, 50, 0, 0, Inf, 0},          {3e38f, -3e38f, 3e38f, 0, 0, 1, 0},
        {100, 100, 1e-30f, 0, 0, 1, 0},        {100, 100, 4e6f, 0, 0, 1, 0},
        // Sub-pixel radii wound round 10^14 and more times.
        {7.44e-27f, 5.96e-12f, -7.96e-14f, 1e30f, 0, -25.9f, -6196.7f},
        {-3.14e6f, 9.33f, -1.91e-19f, 1567.8f, -3e38f, 4.76e9f, -8385},
        // A visible circle wound round about 4000 times: 9.6 million segments,
        // cut short at the vertex budget.
        {100, 100, 2000, 0, 1.44e6f, 0.5f, 0},
    };
    const int width = 2000, height = 1400;
    std::vector<std::uint8_t> bits(std::size_t(width) * 3 * height);
    Canvas canvas(bits.data(), width, height, width * 3, RowOrder::BottomUp);
    const std::int32_t colors[8] = {};
    Strokes strokes(canvas, colors);
    for (const ArcSpec& a : wild) {
        const auto began = std::chrono::steady_clock::now();
        canvas.MoveTo(-77, -77);
        strokes.DrawArc(a.centreX, a.centreY, a.radius, a.startAngle, a.endAngle, a.flatness, a.tilt);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        // A generous bound against hanging, not a speed target.
        EXPECT_LT(seconds, 20.0) << a.centreX << " " << a.radius << " " << a.startAngle;
        if (std::getenv("ARC_TIMES")) std::printf("%g %g %g: %.4f s\n", a.centreX, a.radius, a.startAngle, seconds);
    }
}

TEST(ArcLimits, ChainsOfMoreThan4096TurnsOnlyMoveToTheirEnd) {
    const ArcSpec within{50, 50, 20, 0, 360.0f * 4000, 1, 0}, beyond{50, 50, 20, 0, 360.0f * 4100, 1, 0};
    const Recorder drawn = Trace(within), skipped = Trace(beyond);
    EXPECT_GT(drawn.ops.size(), 90000u);
    ASSERT_EQ(skipped.ops.size(), 1u);
    EXPECT_FALSE(skipped.ops[0].line);
    // 4100 turns end where 0 degrees is.
    EXPECT_EQ(skipped.Vertices()[0], (std::pair<int, int>{70, 50}));
}

struct DirectPath final : PathSink {
    Canvas& c;
    explicit DirectPath(Canvas& canvas) : c(canvas) {}
    void MoveTo(std::int32_t x, std::int32_t y) override { c.MoveTo(x, y); }
    void LineTo(std::int32_t x, std::int32_t y) override { c.LineTo(x, y); }
};

// Draws the arc once with every segment and once as DrawArc does, leaving out
// what cannot reach the bitmap: pixels and final position must agree.
void ExpectSkippingChangesNothing(const ArcSpec& a, int width, int height, TPenStyle style) {
    std::vector<std::uint8_t> full(std::size_t(width) * 3 * height), clipped(full.size());
    Canvas fullCanvas(full.data(), width, height, width * 3, RowOrder::TopDown);
    Canvas clippedCanvas(clipped.data(), width, height, width * 3, RowOrder::TopDown);
    for (Canvas* c : {&fullCanvas, &clippedCanvas}) {
        c->SetPenColor(0xFF);
        c->SetPenStyle(style);
        c->SetBackgroundColor(0xFF00);
    }
    DirectPath fullPath(fullCanvas);
    TraceArc(a, fullPath, nullptr);
    const std::int32_t colors[8] = {};
    Strokes(clippedCanvas, colors).DrawArc(a.centreX, a.centreY, a.radius, a.startAngle, a.endAngle,
                                           a.flatness, a.tilt);
    EXPECT_EQ(full, clipped) << "centre " << a.centreX << "," << a.centreY << " radius " << a.radius
                             << " angles " << a.startAngle << ".." << a.endAngle << " flatness "
                             << a.flatness << " tilt " << a.tilt;
    EXPECT_EQ(fullCanvas.CurrentX(), clippedCanvas.CurrentX());
    EXPECT_EQ(fullCanvas.CurrentY(), clippedCanvas.CurrentY());
}

// Leaving out the segments that cannot reach the bitmap must not change a
// single pixel or the final position.
TEST(ArcLimits, SkippingInvisibleSegmentsKeepsEveryPixel) {
    const ArcSpec arcs[] = {
        {150, 100, 1e5f, 0, 0, 1, 0},           {-99850, 100, 1e5f, 0, 0, 1, 0},
        {150, -2e5f, 2e5f + 50, 0, 0, 1, 0},     {150, 100, 1e5f, 10, 300, 0.3f, 17},
        {150, 100, 3000, 0, 0, 0.02f, 1},        {-400, 50, 500, 0, 0, 1, 0},
        {150, 100, 120, 0, 0, 0.7f, 30},         {1e6f, 1e6f, 1.4142e6f, 0, 0, 1, 0},
        {150, 100, 5e5f, 44, 47, 1, 0},          {150, 100, 50, 0, 0, 1, 0},
        {150, 100, 300, 0, 360 * 150, 1, 0},
    };
    for (const ArcSpec& a : arcs)
        for (TPenStyle style : {psSolid, psDashDot}) ExpectSkippingChangesNothing(a, 300, 200, style);
}

TEST(ArcLimits, SkippingKeepsEveryPixelOfRandomLargeEllipses) {
    scenes::Random rng(515);
    for (int n = 0; n < 40; ++n) {
        // Radii from 100 to 10^5, spread evenly in magnitude, with the curve
        // passing near the 120 x 90 bitmap.
        const float radius = 100 * std::pow(10.0f, rng.Real(0, 3)) * (n % 5 == 0 ? -1 : 1);
        const float flatness = std::pow(10.0f, rng.Real(-2, 1.3f));
        const float angle = rng.Real(-180, 180), tilt = rng.Real(-180, 180);
        const float reach = std::fabs(radius) * (n % 2 ? 1 : flatness);
        const float cx = 60 + reach * std::cos(angle) + rng.Real(-30, 30);
        const float cy = 45 + reach * std::sin(angle) + rng.Real(-30, 30);
        const ArcSpec a{cx, cy, radius, rng.Real(-720, 720), rng.Real(-720, 720), flatness, tilt};
        ExpectSkippingChangesNothing(a, 120, 90, n % 3 ? psSolid : psDash);
    }
}

#if defined(__i386__) || defined(__x86_64__)
TEST(ArcPrecision, ExtendedWhileComputingAndTheCallersWordBack) {
    ASSERT_TRUE(X87Precision::Active);
    const ArcSpec arcs[] = {{100.3f, 99.7f, 77.7f, 12.3f, 300.1f, 0.61f, 33.3f},
                            {0.5f, 0.5f, 1234.5f, 0, 0, 0.999f, 1e-3f}};
    std::vector<Recorder> extended, fromDouble;
    for (const ArcSpec& a : arcs) extended.push_back(Trace(a));
    const std::uint16_t before = X87Precision::ControlWord();
    // 53-bit precision, rounding toward zero, invalid-operation unmasked: a
    // host that wants doubles and traps.
    const std::uint16_t hostWord = static_cast<std::uint16_t>((before & ~0x0F3Fu) | 0x0200u | 0x0C00u | 0x003Eu);
    X87Precision::SetControlWord(hostWord);
    for (const ArcSpec& a : arcs) fromDouble.push_back(Trace(a));
    const std::uint16_t after = X87Precision::ControlWord();
    X87Precision::SetControlWord(before);
    EXPECT_EQ(after, hostWord);
    for (std::size_t i = 0; i < extended.size(); ++i) EXPECT_EQ(extended[i].ops, fromDouble[i].ops) << i;
}

TEST(ArcPrecision, GuardSetsExtendedNearestMaskedAndRestores) {
    const std::uint16_t before = X87Precision::ControlWord();
    const std::uint16_t hostWord = static_cast<std::uint16_t>((before & ~0x0F3Fu) | 0x0200u | 0x0400u | 0x0032u);
    X87Precision::SetControlWord(hostWord);
    {
        X87Precision outer;
        EXPECT_EQ(X87Precision::ControlWord() & 0x0F3Fu, 0x033Fu);
        {
            X87Precision inner;
            EXPECT_EQ(X87Precision::ControlWord() & 0x0F3Fu, 0x033Fu);
        }
        EXPECT_EQ(X87Precision::ControlWord() & 0x0F3Fu, 0x033Fu);
    }
    EXPECT_EQ(X87Precision::ControlWord(), hostWord);
    X87Precision::SetControlWord(before);
}
#endif

}  // namespace
}  // namespace pallowin
