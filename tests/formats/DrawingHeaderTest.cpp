#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>

#include "drawing/JwFormat.h"
#include "platform/Failures.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin {
namespace {

using namespace jwwriter;
using namespace std::literals;

std::ptrdiff_t OffsetIn(const std::vector<std::uint8_t>& file, const std::uint8_t* p) { return p - file.data(); }

DrawingSpec OneOfEach() {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.lines = {Line(0, 0, 518, 366, 2, 1, 3), Line(10, 20, 30, 40, 5, 2, 17)};
    spec.arcs = {Arc(100, 100, 50, 0, 90, 0.5, 88.99968, 3, 4, 33)};
    spec.texts = {Text(1, 2, 3, 4, 5)};
    spec.points = {Point(7, 8, 6, 9), Point(9, 10, 1, 255)};
    spec.textStrings = {"\x90\x7D\x96\xCA"};  // two Shift-JIS characters
    return spec;
}

TEST(DrawingHeader, ReadsCountsAndRecordsInFileOrder) {
    const DrawingSpec spec = OneOfEach();
    const auto file = WriteDrawing(spec);
    const DrawingHeader h = ParseDrawingHeader(file);
    EXPECT_EQ(h.LineCount, 2);
    EXPECT_EQ(h.ArcCount, 1);
    EXPECT_EQ(h.TextCount, 1);
    EXPECT_EQ(h.PointCount, 2);
    EXPECT_TRUE(h.LongLayout);
    EXPECT_EQ(h.F1, 0);
    EXPECT_EQ(h.F2, 5);  // the pool: four bytes and a NUL
    EXPECT_EQ(OffsetIn(file, h.Lines.first), 2421);
    EXPECT_EQ(OffsetIn(file, h.Arcs.first), 2421 + 44);
    EXPECT_EQ(OffsetIn(file, h.Texts.first), 2421 + 44 + 32);
    EXPECT_EQ(OffsetIn(file, h.Points.first), 2421 + 44 + 32 + 24 + 5);
    EXPECT_EQ(file.size(), 2421u + 44 + 32 + 24 + 5 + 24 + 2304);

    // The records come back whole, although the arc fields lie unaligned.
    EXPECT_EQ(+h.Lines[1].X2, 30.0f);
    EXPECT_EQ(+h.Lines[1].Layer, 17);
    // Packed fields are read by value (+): a reference to them would be unaligned.
    const TArcRec arc = h.Arcs[0];
    EXPECT_EQ(+arc.Flatness, 5000);
    EXPECT_EQ(+arc.EndAngle, 90 * 65536);
    EXPECT_EQ(+arc.Tilt, +spec.arcs[0].Tilt);
    EXPECT_EQ(+arc.Tilt, 5832683);  // 88.99968 degrees x 65536
    EXPECT_EQ(+arc.Layer, 33);
    EXPECT_EQ(+h.Texts[0].Y2, 4.0f);
    EXPECT_EQ(+h.Texts[0].Layer, 5);
    EXPECT_EQ(+h.Points[1].Layer, 255);
    EXPECT_EQ(+h.Points[0].Color, 6);
}

TEST(DrawingHeader, EmptyDrawingsHaveTheSizesOfRealOnes) {
    DrawingSpec spec;
    EXPECT_EQ(WriteDrawing(spec).size(), 4725u);
    spec.lines = {Line(1, 1, 2, 2)};
    EXPECT_EQ(WriteDrawing(spec).size(), 4747u);
}

TEST(DrawingHeader, ZeroCountsGiveEmptyArraysAtTheSameOffset) {
    DrawingSpec spec;
    spec.points = {Point(1, 1)};
    const auto file = WriteDrawing(spec);
    const DrawingHeader h = ParseDrawingHeader(file);
    EXPECT_EQ(h.Lines.count, 0);
    EXPECT_EQ(h.Lines.first, h.Arcs.first);
    EXPECT_EQ(h.Arcs.first, h.Texts.first);
    EXPECT_EQ(h.Texts.first, h.Points.first);
    EXPECT_EQ(OffsetIn(file, h.Points.first), 2421);
}

// The marker byte alone moves the layer tables and records by 32 bytes.
TEST(DrawingHeader, LayoutMarkerMovesTablesAndRecords) {
    DrawingSpec spec;
    spec.lines = {Line(1, 2, 3, 4)};
    spec.layerVisible[5] = 0;
    for (bool longLayout : {true, false}) {
        spec.longLayout = longLayout;
        const auto file = WriteDrawing(spec);
        const DrawingHeader h = ParseDrawingHeader(file);
        EXPECT_EQ(h.LongLayout, longLayout);
        EXPECT_EQ(OffsetIn(file, h.Lines.first), longLayout ? 2421 : 2389);
        EXPECT_EQ(+h.Lines[0].Y2, 4.0f);
        EXPECT_EQ(h.LayerTable[5], 0);
        EXPECT_EQ(h.LayerTable[4], 1);
    }
    // Any marker but 'f' is the short layout.
    for (char marker : {'.', 'F', '\0', 'e'}) {
        DrawingSpec other = spec;
        other.longLayout = false;
        other.patches = {{22, std::string(1, marker)}};
        const auto file = WriteDrawing(other);
        EXPECT_FALSE(ParseDrawingHeader(file).LongLayout) << int(marker);
        EXPECT_EQ(OffsetIn(file, ParseDrawingHeader(file).Lines.first), 2389);
    }
}

TEST(DrawingHeader, ShortLayoutWithoutRecordsMayEndInsideTheHeaderBlock) {
    DrawingSpec spec;
    spec.longLayout = false;
    spec.truncateTo = 2389;
    const auto file = WriteDrawing(spec);
    ASSERT_EQ(file.size(), 2389u);
    EXPECT_EQ(ParseDrawingHeader(file).LineCount, 0);
}

TEST(LayerTable, GroupFlagZeroHidesItsSixteenLayersAndOnlyOneShows) {
    DrawingSpec spec;
    spec.groupVisible[2] = 0;  // layers 32..47
    spec.groupVisible[3] = 7;  // any non-zero value keeps the group's own flags
    spec.layerVisible[50] = 2;
    spec.layerVisible[51] = 3;
    spec.layerVisible[52] = 0;
    spec.layerVisible[53] = 255;
    for (bool longLayout : {true, false}) {
        spec.longLayout = longLayout;
        const DrawingHeader h = ParseDrawingHeader(WriteDrawing(spec));
        for (int layer = 0; layer < 256; ++layer) {
            const bool shown = !(layer >= 32 && layer < 48) && !(layer >= 50 && layer <= 53);
            EXPECT_EQ(h.LayerTable[layer] == 1, shown) << "layer " << layer << " long " << longLayout;
        }
        EXPECT_EQ(h.LayerTable[50], 2);  // hidden, as stored
    }
}

TEST(BlockBounds, FieldFormsAndTheGapBeforeThePoints) {
    struct Case {
        std::string bounds;
        std::int32_t f1, f2;
    };
    const Case cases[] = {
        {"000000100,000000180\0"s, 0x100, 0x180},  // nine characters, second ends at NUL
        {"000000100,000000180,0,0,"s, 0x100, 0x180},
        {"0000010,0000080,"s, 0x10, 0x80},          // seven characters: two hex digits
        {"6097:0000,6097:0128,"s, 0, 0x128},        // far pointers
        {"4000:00ff,4000:0100\0"s, 0xFF, 0x100},
    };
    for (const Case& c : cases) {
        DrawingSpec spec;
        spec.blockBoundsOverride = c.bounds;
        spec.points = {Point(1, 2)};
        spec.patches = {};
        auto file = WriteDrawing(spec);
        // Make room for the gap the bounds claim, before the points.
        file.insert(file.begin() + 2421, static_cast<std::size_t>(c.f2 - c.f1), 0xEE);
        const DrawingHeader h = ParseDrawingHeader(file);
        EXPECT_EQ(h.F1, c.f1) << c.bounds;
        EXPECT_EQ(h.F2, c.f2) << c.bounds;
        EXPECT_EQ(OffsetIn(file, h.Points.first), 2421 + c.f2 - c.f1) << c.bounds;
    }
}

// Conversion errors: each names its field.
TEST(DrawingHeader, ConversionErrors) {
    struct Case {
        std::optional<std::string> counts, bounds;
        const char* field;
    };
    const Case cases[] = {
        {"3,1,0,2"s, std::nullopt, "point count"},  // the last comma is missing
        {"3,1,,2,"s, std::nullopt, "text count"},
        {"3 ,1,0,2,"s, std::nullopt, "line count"},
        {"3,x,0,2,"s, std::nullopt, "arc count"},
        {""s, std::nullopt, "line count"},
        {std::nullopt, "4000:0000"s, "first block bound"},  // no comma at all
        {std::nullopt, "4000:0000,4000:0010"s, "second block bound"},  // neither comma nor NUL
        {std::nullopt, "4000,4000:0010,"s, "first block bound"},     // too short for characters 6-9
        {std::nullopt, "4000:0000,4000:00g0,"s, "second block bound"},
    };
    for (const Case& c : cases) {
        DrawingSpec spec;
        spec.countLineOverride = c.counts;
        spec.blockBoundsOverride = c.bounds;
        auto file = WriteDrawing(spec);
        if (c.bounds && c.bounds->size() == 19) std::memset(file.data() + 619, ' ', 81);  // no NUL left
        try {
            ParseDrawingHeader(file);
            ADD_FAILURE() << "no conversion error for " << c.field;
        } catch (const EConvertError& e) {
            EXPECT_NE(std::string(e.what()).find(c.field), std::string::npos) << e.what();
        }
    }
}

struct BrokenCase {
    const char* name;
    DrawingSpec spec;
    std::string reason;  // the whole message
};

DrawingSpec Broken(std::function<void(DrawingSpec&)> change) {
    DrawingSpec spec = OneOfEach();
    change(spec);
    return spec;
}

class BrokenDrawing : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDrawing, IsInvalidGraphicWithAPrintableReason) {
    const auto file = WriteDrawing(GetParam().spec);
    try {
        ParseDrawingHeader(file);
        FAIL() << "parsed";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.what(), GetParam().reason);
    }
}

// OneOfEach: lines 2421..2465, arcs ..2497, texts ..2521, pool 5, points
// 2526..2550, then the 2304-byte name area: 4854 bytes.
INSTANTIATE_TEST_SUITE_P(
    Table, BrokenDrawing,
    testing::Values(
        BrokenCase{"TooShortForCountList", Broken([](auto& s) { s.truncateTo = 299; }),
                   "the count list ends at byte 300 but the file has 299 bytes"},
        BrokenCase{"Empty", Broken([](auto& s) { s.truncateTo = 0; }),
                   "the count list ends at byte 300 but the file has 0 bytes"},
        BrokenCase{"TooShortForBlockBounds", Broken([](auto& s) { s.truncateTo = 650; }),
                   "the block bounds end at byte 700 but the file has 650 bytes"},
        BrokenCase{"TooShortForLayerTable", Broken([](auto& s) { s.truncateTo = 2404; }),
                   "the layer table ends at byte 2405 but the file has 2404 bytes"},
        BrokenCase{"ShortLayoutTooShortForLayerTable",
                   Broken([](auto& s) { s.longLayout = false, s.truncateTo = 2372; }),
                   "the layer table ends at byte 2373 but the file has 2372 bytes"},
        BrokenCase{"NegativeLineCount", Broken([](auto& s) { s.countLineOverride = "-1,0,0,0,"; }),
                   "the line count is -1"},
        BrokenCase{"NegativePointCount", Broken([](auto& s) { s.countLineOverride = "0,0,0,-5,"; }),
                   "the point count is -5"},
        BrokenCase{"BoundsBackwards",
                   Broken([](auto& s) { s.blockBoundsOverride = "4000:0180,4000:0100,"; }),
                   "the block bounds end at 256, before their start at 384"},
        BrokenCase{"LinesBeyondTheEnd", Broken([](auto& s) { s.countLineOverride = "200,0,0,0,"; }),
                   "line records end at byte 6821 but the file has 4854 bytes"},
        BrokenCase{"ArcsBeyondTheEnd", Broken([](auto& s) { s.countLineOverride = "2,100,0,0,"; }),
                   "arc records end at byte 5665 but the file has 4854 bytes"},
        BrokenCase{"TextsBeyondTheEnd", Broken([](auto& s) { s.countLineOverride = "2,1,100,0,"; }),
                   "text records end at byte 4897 but the file has 4854 bytes"},
        BrokenCase{"PointsBeyondTheEnd", Broken([](auto& s) { s.truncateTo = 2540; }),
                   "point records end at byte 2550 but the file has 2540 bytes"},
        BrokenCase{"GapPushesPointsOut",
                   Broken([](auto& s) { s.blockBoundsOverride = "4000:0000,4000:FFFF,"; }),
                   "point records end at byte 68080 but the file has 4854 bytes"},
        BrokenCase{"OffsetsOverflow32Bits",
                   Broken([](auto& s) { s.countLineOverride = "2147483647,2147483647,0,0,"; }),
                   "line records end at byte 47244642655, beyond 32-bit offsets"},
        BrokenCase{"EmptyArrayPastTheEnd",
                   Broken([](auto& s) { s.lines = {}, s.arcs = {}, s.texts = {}, s.points = {}, s.longLayout = false, s.truncateTo = 2380; }),
                   "line records end at byte 2389 but the file has 2380 bytes"}),
    [](const auto& info) { return std::string(info.param.name); });

// A count list error is a conversion error even when the file is also too
// short for its records, but a file too short for the count list is broken
// before any conversion.
TEST(DrawingHeader, ConversionErrorsComeBeforeRecordChecks) {
    DrawingSpec spec = OneOfEach();
    spec.countLineOverride = "99999,0,0,x,";
    EXPECT_THROW(ParseDrawingHeader(WriteDrawing(spec)), EConvertError);
    spec.blockBoundsOverride = "4000:0180,4000:0100,";
    spec.countLineOverride = "-1,0,0,0,";
    EXPECT_THROW(ParseDrawingHeader(WriteDrawing(spec)), EInvalidGraphic);
    spec.countLineOverride = "x,0,0,0,";
    spec.truncateTo = 299;
    EXPECT_THROW(ParseDrawingHeader(WriteDrawing(spec)), EInvalidGraphic);
}

// Every shorter image of a valid file either parses to arrays inside it or
// is broken data: nothing is read beyond its end (the sanitizer build checks).
TEST(DrawingHeader, EveryTruncationIsSafe) {
    const auto whole = WriteDrawing(OneOfEach());
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        std::vector<std::uint8_t> part(whole.begin(), whole.begin() + n);
        try {
            const DrawingHeader h = ParseDrawingHeader(part);
            EXPECT_LE(OffsetIn(part, h.Points.first) + 12 * h.PointCount, static_cast<std::ptrdiff_t>(n));
        } catch (const EInvalidGraphic&) {
            EXPECT_LT(n, 2550u);
        }
    }
}

TEST(Signatures, KindOfTheFirstTwentyBytes) {
    EXPECT_EQ(KindOfSignature(WriteDrawing({})), fkDrawing);
    EXPECT_EQ(KindOfSignature(WriteFigure({})), fkFigure);
    auto file = WriteDrawing({});
    EXPECT_EQ(KindOfSignature(ByteSpan(file).first(19)), fkNone);
    file[19] = ',';
    EXPECT_EQ(KindOfSignature(file), fkNone);
    file[19] = '.';
    file[0] = 'J';
    EXPECT_EQ(KindOfSignature(file), fkNone);
}

}  // namespace
}  // namespace pallowin
