#include <gtest/gtest.h>

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

FigureSpec SmallFigure() {
    FigureSpec spec;
    spec.lines = {Line(0, 0, 10, 10, 2), Line(1, 2, 3, 4, 3)};
    spec.arcs = {Circle(5, 5, 2)};
    spec.points = {Point(1, 1, 4), Point(2, 2, 5), Point(3, 3, 6)};
    spec.texts = {Text(0, 0, 8, 0)};
    spec.originX = 4.0f;
    spec.originY = 27.153f;
    spec.scale = 0.733333f;
    return spec;
}

TEST(FigureHeader, PointsComeBeforeTexts) {
    const auto file = WriteFigure(SmallFigure());
    EXPECT_EQ(FigureCountLine(SmallFigure()), "2,1,3,1,4.000000,27.153000,0.733333,5,100");
    const FigureHeader h = ParseFigureHeader(file);
    EXPECT_EQ(h.LineCount, 2);
    EXPECT_EQ(h.ArcCount, 1);
    EXPECT_EQ(h.PointCount, 3);
    EXPECT_EQ(h.TextCount, 1);
    EXPECT_EQ(h.OriginX, 4.0f);
    EXPECT_EQ(h.OriginY, 27.153f);
    EXPECT_EQ(h.Scale, 0.733333f);
    EXPECT_EQ(OffsetIn(file, h.Lines.first), 400);
    EXPECT_EQ(OffsetIn(file, h.Arcs.first), 444);
    EXPECT_EQ(OffsetIn(file, h.Points.first), 476);
    EXPECT_EQ(OffsetIn(file, h.Texts.first), 512);
    EXPECT_EQ(+h.Points[2].Color, 6);
    EXPECT_EQ(+h.Texts[0].X2, 8.0f);
    EXPECT_EQ(+h.Arcs[0].Flatness, 10000);
}

struct CountListCase {
    std::string list;
    std::optional<std::string> failingField;  // nullopt: parses
    int parsedCounts;                          // counts converted before the failure
};

class FigureCountList : public testing::TestWithParam<CountListCase> {};

TEST_P(FigureCountList, ParsesOrFailsAtItsField) {
    const CountListCase& c = GetParam();
    FigureSpec spec;
    spec.lines = {Line(0, 0, 1, 1), Line(1, 1, 2, 2)};
    spec.points = {Point(0, 0)};
    spec.countLineOverride = c.list;
    const auto file = WriteFigure(spec);
    FigureCountsSoFar soFar;
    if (!c.failingField) {
        const FigureHeader h = ParseFigureHeader(file, &soFar);
        EXPECT_EQ(soFar.Parsed, 4);
        EXPECT_EQ(h.LineCount, soFar.Counts[0]);
        return;
    }
    try {
        ParseFigureHeader(file, &soFar);
        FAIL() << "parsed " << c.list;
    } catch (const EConvertError& e) {
        EXPECT_NE(std::string(e.what()).find(*c.failingField), std::string::npos) << e.what();
    }
    EXPECT_EQ(soFar.Parsed, c.parsedCounts);
    if (c.parsedCounts > 0) {
        EXPECT_EQ(soFar.Counts[0], 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FigureCountList,
    testing::Values(CountListCase{"2,0,1,0,50,50,1", std::nullopt, 4},  // item 7 ends at the NUL
                    CountListCase{"2,0,1,0,50,50,1,0,100", std::nullopt, 4},
                    CountListCase{"2,0,1,0,4.000000,27.153000,0.733333,0,100", std::nullopt, 4},
                    CountListCase{"2,0,1,0, 50 ,50,1e0,", std::nullopt, 4},
                    CountListCase{"2,0,1,0", "text count", 3},  // no comma after item 4
                    CountListCase{"2,0,x,0,50,50,1", "point count", 2},
                    CountListCase{"2,0,1,0,50,50,", "scale factor", 4},  // item 7 empty
                    CountListCase{"2,0,1,0,5O,50,1", "origin x", 4},
                    CountListCase{"2,0,1,0,50,5,0,1", std::nullopt, 4},  // "5,0" is two fields
                    CountListCase{"2,0,1,0,50;50,1", "origin x", 4},
                    CountListCase{",0,1,0,50,50,1", "line count", 0}));

TEST(FigureCountList, ItemSevenNeedsACommaOrANul) {
    FigureSpec spec;
    spec.countLineOverride = "0,0,0,0,50,50,1";
    auto file = WriteFigure(spec);
    std::fill(file.begin() + 215, file.begin() + 300, ' ');
    EXPECT_THROW(ParseFigureHeader(file), EConvertError);
}

TEST(FigureHeader, BrokenData) {
    struct Case {
        std::optional<std::string> list;
        std::optional<std::size_t> truncateTo;
        std::string reason;
    };
    // SmallFigure: records 400..536, pool 5: 541 bytes.
    const Case cases[] = {
        {std::nullopt, 299, "the count list ends at byte 300 but the file has 299 bytes"},
        {"-2,1,3,1,4,27,1,", std::nullopt, "the line count is -2"},
        {"2,1,3,-1,4,27,1,", std::nullopt, "the text count is -1"},
        {"2,1,3,2,4,27,1,", std::nullopt, "text records end at byte 560 but the file has 541 bytes"},
        {"2,1,30,1,4,27,1,", std::nullopt, "point records end at byte 836 but the file has 541 bytes"},
        {std::nullopt, 530, "text records end at byte 536 but the file has 530 bytes"},
        {"0,0,0,0,4,27,1,", 350, "line records end at byte 400 but the file has 350 bytes"},
        {"2147483647,0,0,0,4,27,1,", std::nullopt, "line records end at byte 47244640634, beyond 32-bit offsets"},
    };
    for (const Case& c : cases) {
        FigureSpec spec = SmallFigure();
        spec.countLineOverride = c.list;
        spec.truncateTo = c.truncateTo;
        try {
            ParseFigureHeader(WriteFigure(spec));
            ADD_FAILURE() << "parsed: " << c.reason;
        } catch (const EInvalidGraphic& e) {
            EXPECT_EQ(e.what(), c.reason);
        }
    }
}

TEST(FigureHeader, EveryTruncationIsSafe) {
    const auto whole = WriteFigure(SmallFigure());
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        std::vector<std::uint8_t> part(whole.begin(), whole.begin() + n);
        try {
            const FigureHeader h = ParseFigureHeader(part);
            EXPECT_GE(n, 536u);
            EXPECT_EQ(h.TextCount, 1);
        } catch (const EInvalidGraphic&) {
            EXPECT_LT(n, 536u);
        }
    }
}

TEST(FigureFile, LooksLikeTheRealThing) {
    FigureSpec spec = SmallFigure();
    spec.memo = "\x90\x7D\x8C\x60";  // Shift-JIS memo
    const auto file = WriteFigure(spec);
    const std::string head(file.begin(), file.begin() + 400);
    EXPECT_EQ(head.substr(0, 40), "jw_cad(c)sym" + std::string(27, '.') + '\0');
    EXPECT_EQ(head.substr(40, 5), "\x90\x7D\x8C\x60"s + '\0');
    EXPECT_EQ(head[399], '\n');
    EXPECT_EQ(head[398], ' ');
    EXPECT_EQ(head.substr(200, 42), "2,1,3,1,4.000000,27.153000,0.733333,5,100"s + '\0');
}

TEST(DrawingFile, LooksLikeTheRealThing) {
    DrawingSpec spec;
    spec.memo = "ABC";
    spec.texts = {Text(0, 0, 1, 0)};
    spec.textStrings = {std::string(0x123, 'x')};
    const auto file = WriteDrawing(spec);
    const std::string head(file.begin(), file.begin() + 800);
    EXPECT_EQ(head.substr(0, 40), "jw_cad(c)data.......a.f.m...............");
    for (std::size_t lf : {199, 399, 599, 799}) EXPECT_EQ(head[lf], '\n') << lf;
    EXPECT_EQ(head.substr(40, 4), "ABC"s + '\0');
    EXPECT_EQ(head.substr(200, 8), "0,0,1,0,");
    EXPECT_EQ(head.substr(600, 20), "4000:0000,4000:0124,");  // pool: 0x123 bytes and a NUL
    spec.longLayout = false;
    EXPECT_EQ(WriteDrawing(spec)[22], '.');
}

}  // namespace
}  // namespace pallowin
