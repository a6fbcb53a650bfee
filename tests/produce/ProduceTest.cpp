#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "drawing/Renderers.h"
#include "drawing/X87Precision.h"
#include "tests/produce/HostSession.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace pallowin {
namespace {

using jwwriter::DrawingSpec;
using jwwriter::FigureSpec;
using testing::HostPicture;
using testing::HostSession;

// A little of everything, on several layers and pens.
DrawingSpec SampleDrawing(int lines = 40) {
    DrawingSpec spec;
    spec.memo = "sample";
    for (int i = 0; i < lines; ++i)
        spec.lines.push_back(jwwriter::Line(float(i * 12 % 500), float(i * 7 % 360), float(i * 5 % 510),
                                            float(360 - i * 9 % 360), std::uint8_t(i % 9), std::uint8_t(i % 10),
                                            std::uint8_t(i % 3)));
    for (int i = 0; i < 8; ++i)
        spec.arcs.push_back(jwwriter::Arc(100.f + i * 40, 180, 10.f + i * 7, i * 30, i * 45 + 10, 0.5 + i * 0.1,
                                          i * 11, std::uint8_t(i % 8), std::uint8_t(i)));
    spec.texts.push_back(jwwriter::Text(20, 30, 200, 40));
    spec.points = {jwwriter::Point(5, 5, 3), jwwriter::Point(500, 350, 9)};
    return spec;
}

FigureSpec SampleFigure() {
    FigureSpec spec;
    spec.originX = 40;
    spec.originY = 45;
    spec.scale = 0.75f;
    spec.lines = {jwwriter::Line(-30, -30, 40, 30, 2), jwwriter::Line(-30, 30, 40, -30, 3, 4)};
    spec.arcs = {jwwriter::Circle(0, 0, 25, 4), jwwriter::Arc(10, 10, 15, 0, 90, 0.6, 30, 5, 5)};
    spec.points = {jwwriter::Point(5, -5, 6)};
    spec.texts = {jwwriter::Text(-20, 35, 20, 35)};
    return spec;
}

// The picture the renderer draws for these bytes, laid out as the host's
// pixel block.
template <class Header, class Draw>
std::vector<std::uint8_t> Expected(const Header& header, Draw draw, int w, int h) {
    const int stride = (w * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> bits(std::size_t(stride) * h, 0);
    Canvas canvas(bits.data(), w, h, stride, RowOrder::BottomUp);
    draw(header, PluginSettings, canvas, nullptr);
    return bits;
}

struct SizeCase {
    TFileKind kind;
    bool preview;
    std::int32_t settingW, settingH;
    std::int32_t w, h, bytesPerLine;
};
void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << (c.kind == fkDrawing ? "drawing " : "figure ") << (c.preview ? "preview" : "picture") << " with settings "
        << c.settingW << "x" << c.settingH;
}

class PictureSizes : public HostSession, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(PictureSizes, HeaderAndBlocksAsTheHostReadsThem) {
    const SizeCase c = GetParam();
    std::vector<std::uint8_t> file;
    if (c.kind == fkDrawing) {
        PluginSettings.JWC_W = c.settingW;
        PluginSettings.JWC_H = c.settingH;
        file = jwwriter::WriteDrawing(SampleDrawing());
    } else {
        PluginSettings.JWK_W = c.settingW;
        PluginSettings.JWK_H = c.settingH;
        file = jwwriter::WriteFigure(SampleFigure());
    }
    ASSERT_TRUE(Check(file));
    HostPicture p = Get(file, c.preview);
    ASSERT_EQ(p.rc, rcOk);
    ASSERT_NE(p.info, nullptr);
    ASSERT_NE(p.bits, nullptr);
    EXPECT_EQ(testing::portable::LiveHostBlockCount(), 2u);
    EXPECT_FALSE(testing::portable::IsHostBlockLocked(p.info));
    EXPECT_FALSE(testing::portable::IsHostBlockLocked(p.bits));

    const std::vector<std::uint8_t> info = p.Bytes(p.info);
    ASSERT_EQ(info.size(), BitmapInfoBlockSize);
    EXPECT_TRUE(std::all_of(info.begin() + 40, info.end(), [](auto b) { return b == 0; }));
    const BitmapInfoHeader h = p.Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, c.w);
    EXPECT_EQ(h.biHeight, c.h);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, std::uint32_t(c.bytesPerLine * c.h));
    EXPECT_EQ(h.biXPelsPerMeter, 0);
    EXPECT_EQ(h.biYPelsPerMeter, 0);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biClrImportant, 0u);

    const std::vector<std::uint8_t> pixels = p.Pixels();
    ASSERT_EQ(pixels.size(), std::size_t(c.bytesPerLine) * c.h);
    if (c.kind == fkDrawing)
        EXPECT_EQ(pixels, Expected(ParseDrawingHeader(file), DrawDrawing, c.w, c.h));
    else
        EXPECT_EQ(pixels, Expected(ParseFigureHeader(file), DrawFigure, c.w, c.h));
    p.Free();
}

INSTANTIATE_TEST_SUITE_P(
    Table, PictureSizes,
    ::testing::Values(SizeCase{fkDrawing, false, 518, 366, 518, 366, 1556},
                      SizeCase{fkFigure, false, 100, 100, 100, 100, 300},
                      SizeCase{fkDrawing, true, 1036, 700, 128, 90, 384},
                      SizeCase{fkFigure, true, 300, 300, 128, 90, 384},
                      SizeCase{fkDrawing, false, 101, 80, 101, 80, 304},
                      SizeCase{fkFigure, false, 1, 1, 1, 1, 4}));

TEST_F(HostSession, PixelRowsAreBottomUpBlueGreenRed) {
    DrawingSpec spec;
    spec.points = {jwwriter::Point(3, 366, 7), jwwriter::Point(0, 1, 4)};  // top row, last row
    PluginSettings.Colors[ciText] = 0x112233;
    const auto file = jwwriter::WriteDrawing(spec);
    ASSERT_TRUE(Check(file));
    HostPicture p = Get(file);
    ASSERT_EQ(p.rc, rcOk);
    const auto px = p.Pixels();
    const std::size_t top = std::size_t(365) * 1556;  // the top row is stored last
    EXPECT_EQ(px[top + 9], 0x11);
    EXPECT_EQ(px[top + 10], 0x22);
    EXPECT_EQ(px[top + 11], 0x33);
    EXPECT_EQ(px[0], 0x00);  // yellow 0x00FFFF: blue 0, green 255, red 255
    EXPECT_EQ(px[1], 0xFF);
    EXPECT_EQ(px[2], 0xFF);
    p.Free();
}

struct ProgressCase {
    TFileKind kind;
    int records;
    std::vector<std::int32_t> reports;
};
void PrintTo(const ProgressCase& c, std::ostream* os) {
    *os << (c.kind == fkDrawing ? "drawing of " : "figure of ") << c.records << " records";
}

class HostProgress : public HostSession, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(HostProgress, HostSeesZeroZeroFiveStepsThenTwice110) {
    const ProgressCase c = GetParam();
    std::vector<std::uint8_t> file;
    if (c.kind == fkDrawing) {
        DrawingSpec spec;
        // Spread over all four passes: every record counts.
        for (int i = 0; i < c.records; ++i) {
            switch (i % 4) {
                case 0: spec.lines.push_back(jwwriter::Line(1, 1, 9, 9)); break;
                case 1: spec.arcs.push_back(jwwriter::Circle(9, 9, 3)); break;
                case 2: spec.texts.push_back(jwwriter::Text(1, 2, 3, 4)); break;
                default: spec.points.push_back(jwwriter::Point(5, 5)); break;
            }
        }
        file = jwwriter::WriteDrawing(spec);
    } else {
        FigureSpec spec;
        spec.lines.assign(c.records / 2, jwwriter::Line(1, 1, 9, 9));
        spec.texts.assign(c.records - c.records / 2, jwwriter::Text(1, 2, 3, 4));
        file = jwwriter::WriteFigure(spec);
    }
    ASSERT_TRUE(Check(file));
    HostPicture p = Get(file, true);
    EXPECT_EQ(p.rc, rcOk);
    EXPECT_EQ(Reports(), c.reports);
    p.Free();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostProgress,
    ::testing::Values(ProgressCase{fkDrawing, 0, {0, 0, 5, 110, 110}},
                      ProgressCase{fkDrawing, 499, {0, 0, 5, 110, 110}},
                      ProgressCase{fkDrawing, 500, {0, 0, 5, 105, 110, 110}},
                      ProgressCase{fkDrawing, 1000, {0, 0, 5, 55, 105, 110, 110}},
                      ProgressCase{fkDrawing, 1200, {0, 0, 5, 47, 88, 110, 110}},
                      ProgressCase{fkFigure, 0, {0, 0, 5, 110, 110}},
                      ProgressCase{fkFigure, 1000, {0, 0, 5, 55, 105, 110, 110}}));

TEST_F(HostSession, AbortAtTheFirstReportRendersNothing) {
    for (bool figure : {false, true}) {
        const auto file = figure ? jwwriter::WriteFigure(SampleFigure()) : jwwriter::WriteDrawing(SampleDrawing());
        ASSERT_TRUE(Check(file));
        log = {};
        log.stopFromCall = 0;
        HostPicture p = Get(file);
        EXPECT_EQ(p.rc, rcAborted);
        EXPECT_EQ(log.calls.size(), 1u);
        ExpectOnlyBiSize(p);
        p.Free();
    }
}

TEST_F(HostSession, AbortAskedLaterIsNotHonoured) {
    const auto file = jwwriter::WriteDrawing(SampleDrawing(1000));
    ASSERT_TRUE(Check(file));
    HostPicture quiet = Get(file, false, false);
    ASSERT_EQ(quiet.rc, rcOk);
    EXPECT_TRUE(log.calls.empty()) << "no reports without a callback";

    for (std::size_t from : {1u, 2u, 4u}) {
        log = {};
        log.stopFromCall = from;
        HostPicture p = Get(file);
        EXPECT_EQ(p.rc, rcOk) << from;
        EXPECT_EQ(Reports(), (std::vector<std::int32_t>{0, 0, 5, 54, 104, 110, 110}));  // of 1011
        EXPECT_EQ(p.Pixels(), quiet.Pixels()) << "the same picture with and without a callback";
        p.Free();
    }
    quiet.Free();
}

TEST_F(HostSession, RendersByTheKindTheLastCheckRecorded) {
    const auto figure = jwwriter::WriteFigure(SampleFigure());
    const auto drawing = jwwriter::WriteDrawing(DrawingSpec{});
    ASSERT_TRUE(Check(figure));
    // The drawing's bytes go to the figure renderer, at the figure's size.
    HostPicture p = Get(drawing);
    ASSERT_EQ(p.rc, rcOk);
    EXPECT_EQ(p.Header().biWidth, PluginSettings.JWK_W);
    EXPECT_EQ(p.Pixels(), Expected(ParseFigureHeader(drawing), DrawFigure, 100, 100));
    p.Free();
}

TEST_F(HostSession, NoCheckYetAnswersNotImplemented) {
    HostPicture p = Get(jwwriter::WriteDrawing(SampleDrawing()));
    EXPECT_EQ(p.rc, rcNotImplemented);
    EXPECT_TRUE(log.calls.empty());
    ExpectOnlyBiSize(p);
    p.Free();

    // An unrecognised file forgets the kind again.
    ASSERT_TRUE(Check(jwwriter::WriteDrawing(SampleDrawing())));
    std::vector<std::uint8_t> other(100, 'x');
    ASSERT_FALSE(Check(other));
    HostPicture again = Get(jwwriter::WriteDrawing(SampleDrawing()));
    EXPECT_EQ(again.rc, rcNotImplemented);
    again.Free();
}

TEST_F(HostSession, FileModeReadsTheWholeFileAndGivesTheSamePicture) {
    for (bool figure : {false, true}) {
        const auto file = figure ? jwwriter::WriteFigure(SampleFigure()) : jwwriter::WriteDrawing(SampleDrawing());
        const std::string path = testing::TempPath(figure ? "produce-sample.jwk" : "produce-sample.jwc");
        ASSERT_TRUE(jwwriter::SaveFile(path, file));
        ASSERT_TRUE(Check(file));
        HostPicture fromMemory = Get(file);
        HostPicture fromFile = GetFile(path);
        ASSERT_EQ(fromMemory.rc, rcOk);
        ASSERT_EQ(fromFile.rc, rcOk);
        EXPECT_EQ(fromFile.Pixels(), fromMemory.Pixels());
        EXPECT_EQ(fromFile.Bytes(fromFile.info), fromMemory.Bytes(fromMemory.info));
        fromMemory.Free();
        fromFile.Free();
    }
}

// The render's scratch: the host's bytes are drawn from where they are in
// memory mode, the file image lives only during a file-mode render, the
// record view only during its pass, and everything is empty afterwards.
TEST_F(HostSession, ScratchLivesOnlyDuringTheRender) {
    const auto file = jwwriter::WriteDrawing(SampleDrawing(600));
    const std::string path = testing::TempPath("produce-scratch.jwc");
    ASSERT_TRUE(jwwriter::SaveFile(path, file));
    ASSERT_TRUE(Check(file));
    for (bool fileMode : {false, true}) {
        log = {};
        std::vector<std::size_t> imageSizes;
        std::vector<bool> drawing;
        std::vector<std::int32_t> lineViews, arcViews;
        log.onCall = [&] {
            imageSizes.push_back(PluginBody->FFileData.size());
            drawing.push_back(PluginBody->FWorkBitmap != nullptr);
            lineViews.push_back(PluginBody->FLines.count);
            arcViews.push_back(PluginBody->FArcs.count);
        };
        HostPicture p = fileMode ? GetFile(path) : Get(file);
        ASSERT_EQ(p.rc, rcOk);
        ASSERT_EQ(Reports(), (std::vector<std::int32_t>{0, 0, 5, 87, 110, 110}));
        // Report 87 comes at the 500th record, in the line pass.
        const std::size_t image = fileMode ? file.size() : 0;
        EXPECT_EQ(imageSizes, (std::vector<std::size_t>{0, 0, image, image, image, 0}));
        EXPECT_EQ(drawing, (std::vector<bool>{false, false, true, true, true, false}));
        EXPECT_EQ(lineViews, (std::vector<std::int32_t>{0, 0, 0, 600, 0, 0}));
        EXPECT_EQ(arcViews, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(PluginBody->FFileData.empty());
        EXPECT_EQ(PluginBody->FFileData.capacity(), 0u);
        EXPECT_EQ(PluginBody->FWorkBitmap, nullptr);
        EXPECT_EQ(PluginBody->FLines.first, nullptr);
        EXPECT_EQ(PluginBody->FPoints.first, nullptr);
        p.Free();
    }
}

TEST_F(HostSession, FigureCountsStayInTheBody) {
    const auto file = jwwriter::WriteFigure(SampleFigure());
    ASSERT_TRUE(Check(file));
    HostPicture p = Get(file);
    ASSERT_EQ(p.rc, rcOk);
    EXPECT_EQ(PluginBody->FLineCount, 2);
    EXPECT_EQ(PluginBody->FArcCount, 2);
    EXPECT_EQ(PluginBody->FPointCount, 1);
    EXPECT_EQ(PluginBody->FTextCount, 1);
    p.Free();
}

#if defined(__SSE__) && (defined(__i386__) || defined(__x86_64__))
// A host may run with 53-bit x87 precision, another rounding and unmasked
// exceptions: the picture must not change, the host's callback runs under
// the host's own state, a callback that changes the state changes nothing
// either, and the host gets its state back on success and on failure alike.
TEST_F(HostSession, HostFloatingPointStateIsLeftAsFound) {
    const auto good = jwwriter::WriteDrawing(SampleDrawing(600));
    DrawingSpec brokenSpec = SampleDrawing(5);
    brokenSpec.lines.push_back(jwwriter::Line(NAN, 1, 2, 3));
    const auto broken = jwwriter::WriteDrawing(brokenSpec);
    ASSERT_TRUE(Check(good));
    HostPicture reference = Get(good);
    ASSERT_EQ(reference.rc, rcOk);

    struct HostState {
        std::uint16_t x87;
        unsigned sse;  // control bits only
    };
    const HostState hosts[] = {{0x027F & ~0x0001, 0x1F80 | 0x4000},  // 53 bits, invalid unmasked; SSE up
                               {0x0A7F, 0x1F80 | 0x2000}};          // 53 bits rounding up; SSE down
    for (const HostState host : hosts) {
        for (bool callbackMeddles : {false, true}) {
            std::vector<HostState> seen;
            log = {};
            log.onCall = [&] {
                seen.push_back({X87Precision::ControlWord(), _mm_getcsr() & 0xFFC0u});
                if (callbackMeddles) {  // as a host resetting its floating-point unit would
                    X87Precision::SetControlWord(0x0E7F);
                    _mm_setcsr(0x1F80 | 0x6000);
                }
            };
            const std::uint16_t savedWord = X87Precision::ControlWord();
            const unsigned savedCsr = _mm_getcsr();
            X87Precision::SetControlWord(host.x87);
            _mm_setcsr(host.sse);
            HostPicture p = Get(good);
            HostPicture b = Get(broken);
            const HostState after{X87Precision::ControlWord(), _mm_getcsr() & 0xFFC0u};
            X87Precision::SetControlWord(savedWord);
            _mm_setcsr(savedCsr);

            EXPECT_EQ(after.x87, host.x87);
            EXPECT_EQ(after.sse, host.sse & 0xFFC0u);
            ASSERT_EQ(p.rc, rcOk);
            EXPECT_EQ(p.Pixels(), reference.Pixels()) << (callbackMeddles ? "meddling callback" : "");
            EXPECT_EQ(b.rc, rcBrokenData);
            ASSERT_FALSE(seen.empty());
            for (const HostState& s : seen) {
                EXPECT_EQ(s.x87, host.x87) << "the callback runs under the host's own state";
                EXPECT_EQ(s.sse, host.sse & 0xFFC0u);
                if (callbackMeddles) break;  // later calls see what the callback set
            }
            p.Free();
            b.Free();
        }
    }
    reference.Free();
}
#endif

}  // namespace
}  // namespace pallowin
