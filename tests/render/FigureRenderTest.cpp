#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Failures.h"
#include "tests/render/RenderFixture.h"

namespace pallowin {
namespace {

using jwwriter::FigureSpec;
using testing::DrawFile;
using testing::Picture;
using testing::Recorder;
using testing::TestSettings;

constexpr std::uint32_t Back = 0x102030, Red = 255, White = 16777215, Green = 65280,
                        Yellow = 65535, TextColor = 0x00C0FF;

struct TransformCase {
    std::int32_t w, h;
    float ox, oy, scale;
    float x, y;
    int px, py;
};
void PrintTo(const TransformCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ") origin (" << c.ox << ", " << c.oy << ") scale " << c.scale << " at "
        << c.w << "x" << c.h;
}

class FigureTransform : public ::testing::TestWithParam<TransformCase> {};

TEST_P(FigureTransform, RoundsTheRecordAndOriginTermsApart) {
    const TransformCase c = GetParam();
    FigureSpec spec;
    spec.originX = c.ox;
    spec.originY = c.oy;
    spec.scale = c.scale;
    spec.points.push_back(jwwriter::Point(c.x, c.y, 4));
    const Picture p = DrawFile(spec, TestSettings(), c.w, c.h);
    const auto found = p.Where(Yellow);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], std::make_pair(c.px, c.py));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FigureTransform,
    ::testing::Values(TransformCase{100, 100, 0, 0, 1, 50, 50, 50, 50},
                      TransformCase{100, 100, 10, 20, 2, 5, 5, 20, 70},
                      TransformCase{100, 100, 0.5f, 0, 1, 2.5f, 50, 2, 50},
                      TransformCase{100, 100, 0.5f, 0, 1, 3.5f, 50, 4, 50},
                      // rounding the sums instead would give (3, 49)
                      TransformCase{100, 100, 0.5f, 0.5f, 1, 2.5f, 50.5f, 2, 50},
                      TransformCase{200, 100, 0, 0, 1, 50, 50, 50, 50},    // m = 1
                      TransformCase{128, 90, 0, 0, 1, 50, 50, 45, 45},     // m = 0.9
                      TransformCase{128, 90, 0, 0, 1, 5, 5, 4, 86},        // 4.5 to 4
                      TransformCase{500, 500, 20, 20, 0.5f, 10, 10, 125, 375}));

TEST(FigureRender, TheFigureOriginPointFallsOneRowBelowThePicture) {
    FigureSpec spec;
    spec.originX = 0;
    spec.originY = 0;
    spec.points.push_back(jwwriter::Point(0, 0, 4));
    EXPECT_TRUE(DrawFile(spec, TestSettings(), 100, 100).Where(Yellow).empty());
}

std::vector<std::pair<int, int>> Sorted(std::vector<std::pair<int, int>> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(FigureRender, OriginMarkIsARedCircleOfRadiusTwoOnTop) {
    FigureSpec spec;  // origin (50, 50), scale 1
    spec.lines.push_back(jwwriter::Line(-10, 0, 10, 0, 2));  // through the mark's row
    const Picture p = DrawFile(spec, TestSettings(), 100, 100);
    // Eight segments at 45-degree steps from (52, 50); each leaves out its
    // end pixel, which is the next one's start.
    EXPECT_EQ(Sorted(p.Where(Red)),
              Sorted({{52, 50}, {51, 49}, {50, 48}, {49, 49}, {48, 50}, {49, 51}, {50, 52}, {51, 51}}));
    EXPECT_EQ(p.At(50, 50), White);
    EXPECT_EQ(p.At(53, 50), White);
}

TEST(FigureRender, OriginMarkCentreIsNotRounded) {
    FigureSpec spec;
    spec.originX = 50.4f;
    const Picture p = DrawFile(spec, TestSettings(), 100, 100);
    EXPECT_EQ(p.At(52, 49), Red);  // 50.4 + 1.41 rounds to 52
    EXPECT_EQ(p.At(51, 49), Back);
}

TEST(FigureRender, PassesDrawLinesArcsPointsThenTexts) {
    FigureSpec spec;
    spec.originX = spec.originY = 0;
    spec.lines.push_back(jwwriter::Line(10, 50, 30, 50, 3));
    spec.points.push_back(jwwriter::Point(15, 50, 4));
    spec.points.push_back(jwwriter::Point(20, 50, 4));
    spec.texts.push_back(jwwriter::Text(20, 40, 20, 60));
    const Picture p = DrawFile(spec, TestSettings(), 100, 100);
    EXPECT_EQ(p.At(25, 50), Green);
    EXPECT_EQ(p.At(15, 50), Yellow);
    EXPECT_EQ(p.At(20, 50), TextColor);
}

TEST(FigureRender, ColoursAndPensAsTheTablesSay) {
    FigureSpec spec;
    spec.originX = spec.originY = 0;
    spec.lines = {jwwriter::Line(10, 90, 30, 90, 9), jwwriter::Line(10, 80, 30, 80, 0),
                  jwwriter::Line(10, 70, 30, 70, 2, 4)};
    spec.texts = {jwwriter::Text(10, 60, 40, 60)};
    spec.points = {jwwriter::Point(50, 50, 200)};
    const Picture p = DrawFile(spec, TestSettings(), 100, 100);
    EXPECT_EQ(p.At(12, 10), 8421504u);
    EXPECT_EQ(p.At(12, 20), Back);
    EXPECT_EQ(p.At(10 + 17, 30), White);  // dashed: 18 on
    EXPECT_EQ(p.At(10 + 18, 30), Back);   // then the gap
    for (int x = 10; x < 40; ++x) ASSERT_EQ(p.At(x, 40), TextColor) << "texts are solid: " << x;
    EXPECT_EQ(p.At(50, 50), 8421504u);
}

TEST(FigureRender, ArcRadiusScalesWithoutTheOrigin) {
    FigureSpec spec;
    spec.originX = 30;
    spec.originY = 30;
    spec.scale = 2;
    spec.arcs = {jwwriter::Circle(10, 10, 5, 2), jwwriter::Circle(0, 0, 0.2f, 2)};
    const Picture p = DrawFile(spec, TestSettings(), 100, 100);
    // Centre (20 + 30, 100 - 20 - 30) = (50, 50), radius 10.
    EXPECT_EQ(p.At(60, 50), White);
    EXPECT_EQ(p.At(40, 50), White);
    EXPECT_EQ(p.At(50, 40), White);
    EXPECT_EQ(p.At(61, 50), Back);
    // The second maps to radius Round(0.4) = 0 and draws nothing at (30, 70).
    EXPECT_EQ(p.At(30, 70), Back);
}

TEST(FigureRender, ProgressRunsFromFiveOverAllRecords) {
    for (const auto& [lines, points, texts, expected] :
         {std::tuple{0, 0, 0, std::vector<std::int32_t>{5, 110}},
          std::tuple{400, 300, 300, std::vector<std::int32_t>{5, 55, 105, 110}}}) {
        FigureSpec spec;
        spec.lines.assign(lines, jwwriter::Line(1, 1, 5, 5));
        spec.points.assign(points, jwwriter::Point(3, 3));
        spec.texts.assign(texts, jwwriter::Text(1, 1, 4, 4));
        Recorder r;
        DrawFile(spec, TestSettings(), 100, 100, &r);
        EXPECT_EQ(r.reports, expected);
    }
}

TEST(FigureRender, PixelsOffThe32BitRangeAreBrokenData) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<FigureSpec> broken(5);
    broken[0].lines.push_back(jwwriter::Line(nan, 1, 2, 2));
    broken[1].scale = 1e30f;  // every record term overflows
    broken[1].points.push_back(jwwriter::Point(1, 1));
    broken[2].arcs.push_back(jwwriter::Circle(1, 1, 3e9f));
    broken[3].originX = 1e12f;  // the origin itself cannot be placed
    // Two terms that fit apart but not together.
    broken[4].originX = 2e9f;
    broken[4].scale = 1;
    broken[4].texts.push_back(jwwriter::Text(0, 0, 1.5e9f, 0));
    for (std::size_t i = 0; i < broken.size(); ++i)
        EXPECT_THROW(DrawFile(broken[i], TestSettings(), 100, 100), EInvalidGraphic) << "case " << i;
}

}  // namespace
}  // namespace pallowin
