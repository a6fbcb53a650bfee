// Every row of the failure table, as the host sees it: the answer, and which
// block it holds afterwards.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "tests/produce/HostSession.h"

namespace pallowin {
namespace {

using jwwriter::DrawingSpec;
using jwwriter::FigureSpec;
using testing::HostPicture;
using testing::HostSession;
namespace portable = testing::portable;

enum class Handed { Nothing, OnlyBiSize };

struct Request {
    std::vector<std::uint8_t> file;
    bool fileMode = false;
    std::string path;
};

struct FailureRow {
    const char* name;
    TFileKind kind;
    std::function<void(Request&)> arrange;  // after the check, before the request
    std::int32_t rc;
    Handed handed;
};
void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.name; }

std::vector<std::uint8_t> Drawing(DrawingSpec spec = {}) {
    spec.lines.push_back(jwwriter::Line(1, 1, 100, 100));
    spec.arcs.push_back(jwwriter::Circle(50, 50, 20));
    return jwwriter::WriteDrawing(spec);
}
std::vector<std::uint8_t> Figure(FigureSpec spec = {}) {
    spec.lines.push_back(jwwriter::Line(1, 1, 10, 10));
    spec.points.push_back(jwwriter::Point(5, 5));
    return jwwriter::WriteFigure(spec);
}

void MissingFile(Request& r) {
    r.fileMode = true;
    r.path = testing::TempPath("no-such-drawing.jwc");
}
void FileThatFailsToRead(Request& r) {
    r.fileMode = true;
    r.path = testing::TempPath("read-fails.bin");
    ASSERT_TRUE(jwwriter::SaveFile(r.path, r.file));
    portable::FailNthFileRead(1);
}

class FailureRows : public HostSession, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailureRows, AnswerAndBlocksAsTheTableSays) {
    const FailureRow& row = GetParam();
    Request r;
    r.file = row.kind == fkFigure ? Figure() : Drawing();
    ASSERT_TRUE(Check(r.file));
    row.arrange(r);
    HostPicture p = r.fileMode ? GetFile(r.path) : Get(r.file);
    EXPECT_EQ(p.rc, row.rc);
    EXPECT_EQ(p.bits, nullptr);
    if (row.handed == Handed::OnlyBiSize) {
        ExpectOnlyBiSize(p);
    } else {
        EXPECT_EQ(p.info, nullptr);
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u) << "both blocks freed";
    }
    EXPECT_TRUE(PluginBody->FFileData.empty());
    EXPECT_EQ(PluginBody->FWorkBitmap, nullptr);
    p.Free();
}

std::vector<FailureRow> Rows() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    return {
        {"DrawingFileMissing", fkDrawing, MissingFile, rcFileError, Handed::Nothing},
        {"DrawingReadFails", fkDrawing, FileThatFailsToRead, rcFileError, Handed::Nothing},
        // A figure that cannot be read gives no picture: an internal failure.
        {"FigureFileMissing", fkFigure, MissingFile, rcInternalError, Handed::Nothing},
        {"FigureReadFails", fkFigure, FileThatFailsToRead, rcInternalError, Handed::Nothing},
        {"DrawingCountWithoutComma", fkDrawing,
         [](Request& r) {
             DrawingSpec spec;
             spec.countLineOverride = "1,0,0,0";
             r.file = jwwriter::WriteDrawing(spec);
         },
         rcInternalError, Handed::Nothing},
        {"FigureCountListCut", fkFigure,
         [](Request& r) {
             FigureSpec spec;
             spec.countLineOverride = "2,0,0,0";
             r.file = jwwriter::WriteFigure(spec);
         },
         rcInternalError, Handed::Nothing},
        {"DrawingRecordsOutsideTheFile", fkDrawing,
         [](Request& r) { r.file.resize(2421 + 10); }, rcBrokenData, Handed::OnlyBiSize},
        {"FigureRecordsOutsideTheFile", fkFigure, [](Request& r) { r.file.resize(400 + 30); },
         rcBrokenData, Handed::OnlyBiSize},
        {"DrawingCoordinateNotANumber", fkDrawing,
         [nan](Request& r) {
             DrawingSpec spec;
             spec.arcs.push_back(jwwriter::Circle(10, nan, 5));
             r.file = Drawing(spec);
         },
         rcBrokenData, Handed::OnlyBiSize},
        {"FigurePointOffTheRange", fkFigure,
         [](Request& r) {
             FigureSpec spec;
             spec.points.push_back(jwwriter::Point(4e9f, 1));
             r.file = Figure(spec);
         },
         rcBrokenData, Handed::OnlyBiSize},
        {"NoInfoBlock", fkDrawing, [](Request&) { portable::FailNthHostAllocation(1); }, rcNoMemory,
         Handed::Nothing},
        {"NoPixelBlock", fkDrawing, [](Request&) { portable::FailNthHostAllocation(2); }, rcNoMemory,
         Handed::Nothing},
        {"FigureNoPixelBlock", fkFigure, [](Request&) { portable::FailNthHostAllocation(2); },
         rcNoMemory, Handed::Nothing},
        {"BlockOver32Bits", fkDrawing,
         [](Request&) { PluginSettings.JWC_W = PluginSettings.JWC_H = 100000; }, rcNoMemory,
         Handed::Nothing},
        {"RowOver32Bits", fkFigure,
         [](Request&) {
             PluginSettings.JWK_W = std::numeric_limits<std::int32_t>::max();
             PluginSettings.JWK_H = 1;
         },
         rcNoMemory, Handed::Nothing},
        {"ZeroWidth", fkDrawing, [](Request&) { PluginSettings.JWC_W = 0; }, rcInternalError,
         Handed::Nothing},
        {"NegativeHeight", fkDrawing, [](Request&) { PluginSettings.JWC_H = -366; },
         rcInternalError, Handed::Nothing},
        {"FigureZeroHeight", fkFigure, [](Request&) { PluginSettings.JWK_H = 0; },
         rcInternalError, Handed::Nothing},
        {"EmptyMemoryImage", fkDrawing, [](Request& r) { r.file.clear(); }, rcBrokenData,
         Handed::OnlyBiSize},
    };
}

INSTANTIATE_TEST_SUITE_P(Table, FailureRows, ::testing::ValuesIn(Rows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostSession, FigureCountsBeforeAFailingItemStayInTheBody) {
    FigureSpec spec;
    spec.countLineOverride = "7,3,0";  // the text count has no comma after it
    const auto file = jwwriter::WriteFigure(spec);
    ASSERT_TRUE(Check(file));
    PluginBody->FPointCount = 99;
    HostPicture p = Get(file);
    EXPECT_EQ(p.rc, rcInternalError);
    EXPECT_EQ(PluginBody->FLineCount, 7);
    EXPECT_EQ(PluginBody->FArcCount, 3);
    EXPECT_EQ(PluginBody->FPointCount, 99);
    p.Free();
}

// Damaged files, of both kinds and both modes of damage (header text and
// record bytes), answer one of the table's codes with the blocks it names,
// and nothing leaks or reads outside the image.
TEST_F(HostSession, DamagedFilesAnswerATableCode) {
    DrawingSpec drawingSpec;
    for (int i = 0; i < 30; ++i) {
        drawingSpec.lines.push_back(jwwriter::Line(float(i), float(2 * i), 300, 100, std::uint8_t(i), std::uint8_t(i)));
        drawingSpec.arcs.push_back(jwwriter::Arc(100, 100, float(i + 1), i * 10, i * 20, 0.7, i));
    }
    drawingSpec.texts.assign(5, jwwriter::Text(1, 2, 30, 40));
    drawingSpec.points.assign(5, jwwriter::Point(10, 20, 3));
    FigureSpec figureSpec;
    figureSpec.lines.assign(20, jwwriter::Line(-10, -10, 30, 40, 2));
    figureSpec.arcs.assign(10, jwwriter::Circle(5, 5, 12, 3));
    figureSpec.points.assign(5, jwwriter::Point(1, 1, 4));
    figureSpec.texts.assign(5, jwwriter::Text(0, 0, 9, 9));
    const std::vector<std::uint8_t> originals[] = {jwwriter::WriteDrawing(drawingSpec),
                                                   jwwriter::WriteFigure(figureSpec)};
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return std::uint32_t(state >> 33);
    };
    int answered[10] = {};
    for (int round = 0; round < 600; ++round) {
        std::vector<std::uint8_t> file = originals[round % 2];
        const bool header = next() % 2 == 0;
        const std::size_t from = header ? 200 : (round % 2 ? 400 : 2421);
        const std::size_t span = header ? 500 : file.size() - from;
        for (int k = 1 + next() % 6; k > 0; --k) file[from + next() % span] = std::uint8_t(next());
        if (next() % 8 == 0) file.resize(next() % file.size());
        ASSERT_TRUE(Check(originals[round % 2]));
        HostPicture p = Get(file, next() % 2 == 0);
        ASSERT_TRUE(p.rc == rcOk || p.rc == rcBrokenData || p.rc == rcInternalError) << "round " << round << ": " << p.rc;
        ++answered[p.rc];
        if (p.rc == rcOk) {
            EXPECT_NE(p.bits, nullptr);
        } else {
            EXPECT_EQ(p.bits, nullptr);
            EXPECT_EQ(p.info == nullptr, p.rc == rcInternalError) << "round " << round;
        }
        p.Free();
        ASSERT_EQ(portable::LiveHostBlockCount(), 0u) << "round " << round;
    }
    // The damage reaches every answer, so the loop tests what it claims.
    EXPECT_GT(answered[rcOk], 0);
    EXPECT_GT(answered[rcBrokenData], 0);
    EXPECT_GT(answered[rcInternalError], 0);
}

// No buffer can be made for a memory image of a negative size.
TEST_F(HostSession, NegativeMemorySizeIsNoMemoryForADrawing) {
    const auto file = Drawing();
    ASSERT_TRUE(Check(file));
    HostPicture p;
    p.rc = GetPicture(reinterpret_cast<const char*>(file.data()), -1, 1, &p.info, &p.bits, nullptr, 0);
    EXPECT_EQ(p.rc, rcNoMemory);
    EXPECT_EQ(p.info, nullptr);
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

TEST_F(HostSession, NullHandleArgumentsAreRefused) {
    const auto file = Drawing();
    ASSERT_TRUE(Check(file));
    platform::HostBlock info = nullptr;
    EXPECT_EQ(GetPicture(reinterpret_cast<const char*>(file.data()), HostValue(file.size()), 1,
                         &info, nullptr, nullptr, 0),
              rcInternalError);
    EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
}

}  // namespace
}  // namespace pallowin
