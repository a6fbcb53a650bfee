#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/Failures.h"
#include "tests/render/RenderFixture.h"

namespace pallowin {
namespace {

using jwwriter::DrawingSpec;
using jwwriter::LayerOf;
using testing::DrawFile;
using testing::Picture;
using testing::Recorder;
using testing::TestSettings;

constexpr std::uint32_t White = 16777215, Green = 65280, Yellow = 65535;

// Horizontal lines over the whole sheet, one per sheet unit: whatever shows
// lies on the sheet's image.
DrawingSpec WholeSheet() {
    DrawingSpec spec;
    for (int y = 0; y <= 366; ++y) spec.lines.push_back(jwwriter::Line(0, float(y), 518, float(y), 2));
    return spec;
}

struct SheetCase {
    std::int32_t w, h;
    int lastColumn, lastRow;  // of the sheet's image, inclusive
};
void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.w << "x" << c.h; }

class SheetPlacement : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SheetPlacement, SheetLandsTopLeftAtTheSmallerScale) {
    const SheetCase c = GetParam();
    const Picture p = DrawFile(WholeSheet(), TestSettings(), c.w, c.h);
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            const bool onSheet = x <= c.lastColumn && y <= c.lastRow;
            ASSERT_EQ(p.At(x, y), onSheet ? White : 0x102030u) << "pixel " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SheetPlacement,
                         ::testing::Values(SheetCase{518, 366, 517, 365},   // s = 1
                                           SheetCase{1036, 366, 517, 365},  // right half stays back
                                           SheetCase{259, 366, 258, 183},   // s = 0.5: top 183 rows
                                           SheetCase{128, 90, 126, 89}));   // the preview

struct PointCase {
    std::int32_t w, h;
    float x, y;
    int px, py;
};
void PrintTo(const PointCase& c, std::ostream* os) {
    *os << "(" << c.x << ", " << c.y << ") at " << c.w << "x" << c.h;
}

class HalvesToEven : public ::testing::TestWithParam<PointCase> {};

TEST_P(HalvesToEven, EachCoordinateRoundsOnItsOwn) {
    const PointCase c = GetParam();
    DrawingSpec spec;
    spec.points.push_back(jwwriter::Point(c.x, c.y, 4));
    const Picture p = DrawFile(spec, TestSettings(), c.w, c.h);
    const auto found = p.Where(Yellow);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], std::make_pair(c.px, c.py));
}

INSTANTIATE_TEST_SUITE_P(Table, HalvesToEven,
                         ::testing::Values(PointCase{518, 366, 0.5f, 300, 0, 66},
                                           PointCase{518, 366, 1.5f, 300, 2, 66},
                                           PointCase{518, 366, 2.5f, 300, 2, 66},
                                           PointCase{518, 366, 3.5f, 300, 4, 66},
                                           PointCase{518, 366, 10, 365.5f, 10, 0},
                                           PointCase{518, 366, 10, 364.5f, 10, 2},
                                           // s = 0.5: the products are the halves
                                           PointCase{259, 366, 1, 365, 0, 0},
                                           PointCase{259, 366, 3, 363, 2, 2},
                                           PointCase{259, 366, 5, 361, 2, 2}));

TEST(DrawingRender, TextIsRaisedOneSheetUnitAboveItsLine) {
    for (const auto& [w, textRow, lineRow, firstX, endX] :
         {std::tuple{518, 345, 346, 10, 30}, std::tuple{259, 172, 173, 5, 15}}) {
        DrawingSpec spec;
        spec.lines.push_back(jwwriter::Line(10, 20, 30, 20, 2));
        spec.texts.push_back(jwwriter::Text(10, 20, 30, 20));
        const Picture p = DrawFile(spec, TestSettings(), w, 366);
        for (int x = firstX; x < endX; ++x) {
            EXPECT_EQ(p.At(x, textRow), 0x00C0FFu) << w << ": text at " << x;
            EXPECT_EQ(p.At(x, lineRow), White) << w << ": line at " << x;
        }
        EXPECT_EQ(p.At(endX, textRow), 0x102030u) << "the end pixel is left out";
    }
}

TEST(DrawingRender, PassesDrawLinesThenTextsThenPoints) {
    DrawingSpec spec;
    spec.lines.push_back(jwwriter::Line(10, 51, 30, 51, 3));  // row 315
    spec.texts.push_back(jwwriter::Text(10, 50, 30, 50));     // raised onto row 315
    spec.points.push_back(jwwriter::Point(15, 51, 4));
    const Picture p = DrawFile(spec, TestSettings(), 518, 366);
    EXPECT_EQ(p.At(12, 315), 0x00C0FFu);
    EXPECT_EQ(p.At(15, 315), Yellow);
}

TEST(DrawingRender, PointColoursFollowTheTableAndGreyAboveIt) {
    DrawingSpec spec;
    spec.points = {jwwriter::Point(10, 300, 3), jwwriter::Point(11, 300, 7),
                   jwwriter::Point(12, 300, 9), jwwriter::Point(13, 300, 255),
                   jwwriter::Point(14, 300, 0)};
    TPluginSettings settings = TestSettings();
    settings.ViewMode = false;  // points are drawn then too
    const Picture p = DrawFile(spec, settings, 518, 366);
    EXPECT_EQ(p.At(10, 66), Green);
    EXPECT_EQ(p.At(11, 66), 0x00C0FFu);
    EXPECT_EQ(p.At(12, 66), 8421504u);
    EXPECT_EQ(p.At(13, 66), 8421504u);
    EXPECT_EQ(p.At(14, 66), 0x102030u);
}

TEST(DrawingRender, GapsOfBrokenPensShowTheBackground) {
    DrawingSpec spec;
    spec.lines.push_back(jwwriter::Line(0, 266, 100, 266, 2, 1));
    spec.lines.push_back(jwwriter::Line(0, 266, 100, 266, 3, 4));  // dashes: 18 on, 6 off
    const Picture p = DrawFile(spec, TestSettings(), 518, 366);
    EXPECT_EQ(p.At(0, 100), Green);
    EXPECT_EQ(p.At(17, 100), Green);
    for (int x = 18; x < 24; ++x) EXPECT_EQ(p.At(x, 100), 0x102030u) << x;
    EXPECT_EQ(p.At(24, 100), Green);
}

// One record of a kind on a layer; what shows with ViewMode on and off.
enum class Kind { Line, Arc, Text, Point };

DrawingSpec OneRecord(Kind kind, std::uint8_t layer) {
    DrawingSpec spec;
    spec.groupVisible[1] = 0;  // hides layers 16 to 31 whatever their flags
    spec.layerVisible[5] = 2;  // only 1 shows
    switch (kind) {
        case Kind::Line: spec.lines.push_back(jwwriter::Line(100, 100, 200, 100, 2, 1, layer)); break;
        case Kind::Arc: spec.arcs.push_back(jwwriter::Circle(150, 150, 40, 2, 1, layer)); break;
        case Kind::Text: spec.texts.push_back(jwwriter::Text(100, 100, 200, 100, layer)); break;
        case Kind::Point: spec.points.push_back(jwwriter::Point(100, 100, 2, layer)); break;
    }
    return spec;
}

struct LayerCase {
    Kind kind;
    std::uint8_t layer;
    bool viewMode;
    bool shows;
};
void PrintTo(const LayerCase& c, std::ostream* os) {
    *os << "kind " << int(c.kind) << " layer " << int(c.layer) << (c.viewMode ? " ViewMode on" : " ViewMode off");
}

class HiddenLayers : public ::testing::TestWithParam<LayerCase> {};

TEST_P(HiddenLayers, ViewModeHonoursTheLayerTable) {
    const LayerCase c = GetParam();
    TPluginSettings settings = TestSettings();
    settings.ViewMode = c.viewMode;
    const Picture p = DrawFile(OneRecord(c.kind, c.layer), settings, 518, 366);
    const bool drawn = p.Where(0x102030u).size() != std::size_t(518) * 366;
    EXPECT_EQ(drawn, c.shows);
}

std::vector<LayerCase> LayerCases() {
    std::vector<LayerCase> cases;
    for (Kind k : {Kind::Line, Kind::Arc, Kind::Text, Kind::Point}) {
        cases.push_back({k, 0, true, true});
        cases.push_back({k, LayerOf(1, 3), true, false});  // group hidden
        cases.push_back({k, 5, true, false});              // layer flag 2
        cases.push_back({k, LayerOf(1, 3), false, true});
        cases.push_back({k, 5, false, true});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, HiddenLayers, ::testing::ValuesIn(LayerCases()));

TEST(DrawingRender, TrackersChangeThePenOnlyForADifferentRecord) {
    DrawingSpec spec;
    spec.lines = {jwwriter::Line(1, 1, 9, 1, 2, 1),  // the pen the render starts with
                  jwwriter::Line(1, 2, 9, 2, 2, 1),
                  jwwriter::Line(1, 3, 9, 3, 3, 1),   // colour only
                  jwwriter::Line(1, 4, 9, 4, 3, 4),   // style only
                  jwwriter::Line(1, 5, 9, 5, 5, 7, LayerOf(1, 0)),  // hidden with ViewMode
                  jwwriter::Line(1, 6, 9, 6, 3, 4)};
    spec.arcs = {jwwriter::Circle(50, 50, 5, 3, 4), jwwriter::Circle(50, 50, 6, 4, 4)};
    spec.texts = {jwwriter::Text(1, 9, 9, 9)};  // sets the pen itself, trackers untouched
    spec.groupVisible[1] = 0;

    TPluginSettings settings = TestSettings();
    settings.ViewMode = true;
    Recorder shown;
    DrawFile(spec, settings, 518, 366, &shown);
    EXPECT_EQ(shown.colors, (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(shown.styles, (std::vector<std::int32_t>{4}));

    settings.ViewMode = false;
    Recorder all;
    DrawFile(spec, settings, 518, 366, &all);
    EXPECT_EQ(all.colors, (std::vector<std::int32_t>{3, 5, 3, 4}));
    EXPECT_EQ(all.styles, (std::vector<std::int32_t>{4, 7, 4}));
}

TEST(DrawingRender, ProgressCountsEveryRecordHiddenOrNot) {
    struct Case {
        int lines, hidden, points;
        std::vector<std::int32_t> reports;
    };
    for (const Case& c : {Case{0, 0, 0, {5, 110}}, Case{499, 0, 0, {5, 110}},
                          Case{250, 250, 0, {5, 105, 110}}, Case{600, 0, 600, {5, 47, 88, 110}}}) {
        DrawingSpec spec;
        spec.groupVisible[1] = 0;
        for (int i = 0; i < c.lines; ++i) spec.lines.push_back(jwwriter::Line(1, 1, 5, 5));
        for (int i = 0; i < c.hidden; ++i)
            spec.lines.push_back(jwwriter::Line(1, 1, 5, 5, 1, 1, LayerOf(1, 1)));
        for (int i = 0; i < c.points; ++i) spec.points.push_back(jwwriter::Point(3, 3));
        TPluginSettings settings = TestSettings();
        settings.ViewMode = true;
        Recorder r;
        DrawFile(spec, settings, 128, 90, &r);
        EXPECT_EQ(r.reports, c.reports) << c.lines << "+" << c.hidden << "+" << c.points;
    }
}

// Records that cannot be placed on the picture make the file broken data,
// in whichever pass they are met.
TEST(DrawingRender, RecordsOffThe32BitRangeAreBrokenData) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<DrawingSpec> broken(7);
    broken[0].lines.push_back(jwwriter::Line(nan, 1, 2, 2));
    broken[1].lines.push_back(jwwriter::Line(1, 1, 2, 3e9f));
    broken[2].arcs.push_back(jwwriter::Circle(10, 10, inf));
    broken[3].arcs.push_back(jwwriter::Circle(1e10f, 10, 5));
    broken[4].texts.push_back(jwwriter::Text(1, 1, -1e10f, 1));
    broken[5].points.push_back(jwwriter::Point(1, nan));
    broken[6].lines.push_back(jwwriter::Line(1, 1, 2, 2));
    broken[6].points.push_back(jwwriter::Point(3e9f, 1));
    for (std::size_t i = 0; i < broken.size(); ++i)
        EXPECT_THROW(DrawFile(broken[i], TestSettings(), 518, 366), EInvalidGraphic) << "case " << i;
}

TEST(DrawingRender, ArcsMapCentreAndRadiusToWholePixels) {
    // Radius 0.5 at s = 1 rounds to 0 pixels: nothing is drawn.
    DrawingSpec tiny;
    tiny.arcs.push_back(jwwriter::Circle(100, 100, 0.5f, 2));
    EXPECT_EQ(DrawFile(tiny, TestSettings(), 518, 366).Where(White).size(), 0u);
    // Centre 100.5 rounds to 100, radius 2.5 to 2: the circle's right and
    // left vertices lie at columns 102 and 98 of row 166.
    DrawingSpec small;
    small.arcs.push_back(jwwriter::Circle(100.5f, 200, 2.5f, 2));
    const Picture p = DrawFile(small, TestSettings(), 518, 366);
    EXPECT_EQ(p.At(102, 166), White);
    EXPECT_EQ(p.At(98, 166), White);
    EXPECT_EQ(p.At(103, 166), 0x102030u);
}

}  // namespace
}  // namespace pallowin
