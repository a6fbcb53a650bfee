// The arc walk near the bitmap: huge flat ellipses whose tip lies on it keep
// every pixel, cost about their visible vertices, and the arcs too big to be
// exact share one budget per render.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "drawing/ArcPath.h"
#include "drawing/Strokes.h"
#include "tests/canvas/Scenes.h"

namespace pallowin {
namespace {

struct CanvasPath final : PathSink {
    Canvas& c;
    explicit CanvasPath(Canvas& canvas) : c(canvas) {}
    void MoveTo(std::int32_t x, std::int32_t y) override { c.MoveTo(x, y); }
    void LineTo(std::int32_t x, std::int32_t y) override { c.LineTo(x, y); }
};

struct Counter final : PathSink {
    long lines = 0, moves = 0;
    PixelPoint last{};
    const VisibleArea* near = nullptr;  // counts the line ends within 8 pixels of it
    long nearLines = 0;
    void MoveTo(std::int32_t x, std::int32_t y) override {
        ++moves;
        last = {x, y};
    }
    void LineTo(std::int32_t x, std::int32_t y) override {
        ++lines;
        last = {x, y};
        if (near && x >= -8 && y >= -8 && x < near->width + 8 && y < near->height + 8) ++nearLines;
    }
};

// A flat ellipse placed so that the end of its long axis (angle 0, or 180
// with `farTip`) lies on pixel (x, y).
ArcSpec TippedAt(float x, float y, float radius, float flatness, float tilt, float start, float end,
                 bool farTip = false) {
    const double tau = tilt * 3.14159265358979323846 / 180;
    const double u = radius * std::cos(tau) * (farTip ? -1 : 1), v = radius * std::sin(tau) * (farTip ? -1 : 1);
    return {static_cast<float>(x - u), static_cast<float>(y + v), radius, start, end, flatness, tilt};
}

void ExpectSameAsFullChain(const ArcSpec& a, int width, int height, TPenStyle style) {
    std::vector<std::uint8_t> full(std::size_t(width) * 3 * height), walked(full.size());
    Canvas fullCanvas(full.data(), width, height, width * 3, RowOrder::TopDown);
    Canvas walkedCanvas(walked.data(), width, height, width * 3, RowOrder::TopDown);
    for (Canvas* c : {&fullCanvas, &walkedCanvas}) {
        c->SetPenColor(0xFF);
        c->SetPenStyle(style);
        c->SetBackgroundColor(0xFF00);
    }
    CanvasPath fullPath(fullCanvas), walkedPath(walkedCanvas);
    TraceArc(a, fullPath, nullptr);
    const VisibleArea area{width, height};
    TraceArc(a, walkedPath, &area);
    EXPECT_EQ(full, walked) << "centre " << a.centreX << "," << a.centreY << " radius " << a.radius
                            << " angles " << a.startAngle << ".." << a.endAngle << " flatness "
                            << a.flatness << " tilt " << a.tilt;
    EXPECT_EQ(fullCanvas.CurrentX(), walkedCanvas.CurrentX());
    EXPECT_EQ(fullCanvas.CurrentY(), walkedCanvas.CurrentY());
}

TEST(ArcWalk, FlatEllipsesTippedOnTheBitmapKeepEveryPixel) {
    const int width = 120, height = 90;
    scenes::Random rng(8080);
    for (int n = 0; n < 36; ++n) {
        // Radii from 10^4 to 10^6 pixels, flatness 10^-4 to 10^-1, the tip
        // anywhere on the bitmap or just off its edge.
        const float radius = std::pow(10.0f, rng.Real(4, 6)) * (n % 6 == 0 ? -1 : 1);
        const float flatness = std::pow(10.0f, rng.Real(-4, -1));
        const float tilt = rng.Real(-180, 180);
        const bool farTip = n % 4 == 1;
        const float tipAngle = farTip ? 180 : 0;
        float start = tipAngle - rng.Real(0.5f, 170), end = tipAngle + rng.Real(0.5f, 170);
        if (n % 5 == 0) start = end = 0;  // the whole ellipse
        const ArcSpec a = TippedAt(rng.Real(-10, width + 10), rng.Real(-10, height + 10), radius, flatness,
                                   tilt, start, end, farTip);
        ASSERT_LE(ArcSegmentCount(a), ModerateArcSegments);
        ExpectSameAsFullChain(a, width, height, n % 3 ? psSolid : psDashDotDot);
    }
}

// Near its tip a flat ellipse moves far slower than its radius, yet a walk
// must cost about the vertices that come near the bitmap, with the tip on
// it or just beside it.
TEST(ArcWalk, NearTheTipOnlyTheVerticesNearTheBitmapAreWalked) {
    const VisibleArea area{40, 30};
    struct Case {
        float x, y, flatness, tilt;
    };
    // 1.2 million segments each.
    const Case cases[] = {
        {20, 15, 1e-4f, 30}, {20, 15, 1e-3f, 0},     // on the bitmap
        {20, -40, 1e-4f, 0}, {20, 70, 1e-4f, 180},  // above and below it
        {-30, 15, 1e-4f, 90}, {20, -40, 1e-4f, -10}, {70, 45, 1e-3f, 200},
    };
    for (const Case& c : cases) {
        const ArcSpec tip = TippedAt(c.x, c.y, 2e6f, c.flatness, c.tilt, -90, 90);
        Counter full, walked;
        full.near = &area;
        TraceArc(tip, full, nullptr);
        TraceArc(tip, walked, &area);
        ASSERT_GT(full.lines, 1000000);
        EXPECT_LE(walked.lines, 2 * full.nearLines + 100)
            << "tip " << c.x << "," << c.y << ": " << full.nearLines << " near the bitmap";
        EXPECT_EQ(walked.last.x, full.last.x);
        EXPECT_EQ(walked.last.y, full.last.y);
    }
}

TEST(ArcWalk, ImmoderateArcsShareOneBudget) {
    const VisibleArea area{518, 366};
    // Radius 10^9 pixels: about 1.2 million vertices near the picture each.
    std::vector<ArcSpec> immoderate;
    for (int i = 0; i < 6; ++i) immoderate.push_back(TippedAt(100 + 50 * i, 183, 1e9f, 1e-4f, 0, 0, 0));
    for (const ArcSpec& a : immoderate) ASSERT_GT(ArcSegmentCount(a), ModerateArcSegments);

    ImmoderateArcBudget shared;
    long lines = 0;
    for (const ArcSpec& a : immoderate) {
        Counter c;
        TraceArc(a, c, &area, &shared);
        lines += c.lines;
        // Spent or not, the arc leaves the position on its end pixel.
        Counter alone;
        ImmoderateArcBudget fresh;
        TraceArc(a, alone, &area, &fresh);
        EXPECT_EQ(c.last.x, alone.last.x);
        EXPECT_EQ(c.last.y, alone.last.y);
    }
    EXPECT_LE(lines, ImmoderateVertexBudget);
    EXPECT_EQ(shared.vertices, 0);
    Counter spent;
    TraceArc(immoderate[3], spent, &area, &shared);
    EXPECT_EQ(spent.lines, 0);
    EXPECT_EQ(spent.moves, 1);

    // A moderate arc is not charged and stays whole.
    const ArcSpec moderate = TippedAt(259, 183, 1e5f, 1e-3f, 10, 0, 0);
    Counter afterwards, unbudgeted;
    TraceArc(moderate, afterwards, &area, &shared);
    TraceArc(moderate, unbudgeted, &area);
    EXPECT_EQ(afterwards.lines, unbudgeted.lines);
    EXPECT_GT(afterwards.lines, 100);
}

// Angles of 1/65536 degree reach +-32768 degrees: a record can wind its
// chain 182 times round a flat ellipse whose tip lies on the picture.
TEST(ArcWalk, WoundChainsShareTheBudgetButOneTurnStaysWhole) {
    const VisibleArea area{518, 366};
    const ArcSpec wound = TippedAt(259, 183, 19200, 1e-4f, 0, -32768, 32767);
    ASSERT_LE(ArcSegmentCount(wound), ModerateArcSegments);
    ImmoderateArcBudget shared;
    long lines = 0;
    for (int i = 0; i < 20; ++i) {
        Counter c;
        TraceArc(wound, c, &area, &shared);
        lines += c.lines;
    }
    EXPECT_LE(lines, ImmoderateVertexBudget);
    EXPECT_EQ(shared.vertices, 0);

    const ArcSpec once = TippedAt(259, 183, 19200, 1e-4f, 0, 0, 360);
    Counter budgeted, unbudgeted;
    TraceArc(once, budgeted, &area, &shared);
    TraceArc(once, unbudgeted, &area);
    EXPECT_EQ(budgeted.lines, unbudgeted.lines);
    EXPECT_GT(budgeted.lines, 100);
}

TEST(ArcWalk, OneStrokesBoundsTheImmoderateArcsOfItsRender) {
    const int width = 518, height = 366;
    const std::int32_t colors[8] = {};
    std::vector<std::uint8_t> blank(std::size_t(width) * 3 * height), used(blank.size()), fresh(blank.size());
    Canvas usedCanvas(used.data(), width, height, width * 3, RowOrder::BottomUp);
    Canvas freshCanvas(fresh.data(), width, height, width * 3, RowOrder::BottomUp);
    usedCanvas.SetPenColor(0xFFFFFF);
    freshCanvas.SetPenColor(0xFFFFFF);
    Strokes render(usedCanvas, colors), other(freshCanvas, colors);
    const ArcSpec first = TippedAt(100, 100, 1e9f, 1e-4f, 0, 0, 0), second = TippedAt(400, 300, 1e9f, 1e-4f, 0, 0, 0);
    // The first spends the render's whole budget.
    render.DrawArc(first.centreX, first.centreY, first.radius, 0, 0, first.flatness, 0);
    const std::vector<std::uint8_t> afterFirst = used;
    EXPECT_NE(afterFirst, blank);
    render.DrawArc(second.centreX, second.centreY, second.radius, 0, 0, second.flatness, 0);
    other.DrawArc(second.centreX, second.centreY, second.radius, 0, 0, second.flatness, 0);
    EXPECT_EQ(used, afterFirst);
    EXPECT_NE(fresh, blank);
    EXPECT_EQ(usedCanvas.CurrentX(), freshCanvas.CurrentX());
    EXPECT_EQ(usedCanvas.CurrentY(), freshCanvas.CurrentY());
}

}  // namespace
}  // namespace pallowin
