// Hostile files and settings, each with the answer it must get. Every call
// must also end within a second at its size (a hang guard, not a speed
// target) and use no more memory than the picture it was asked for: the
// pixel and info blocks, the file image in file mode, and a little to spare.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

#include "drawing/Strokes.h"
#include "tests/faults/HostCalls.h"
#include "tests/hostile/HeapMeter.h"

namespace pallowin {
namespace {

using namespace hostcalls;
namespace jw = jwwriter;

constexpr double TimeLimitSeconds = 1.0;
constexpr std::size_t SpareBytes = 256 * 1024;  // the body's own bookkeeping
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float Inf = std::numeric_limits<float>::infinity();
constexpr std::int32_t MaxI = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t MinI = std::numeric_limits<std::int32_t>::min();

struct Slowest {
    std::string name;
    double seconds = 0;
} slowest;

std::size_t PictureBytes(Call call, TFileKind kind) {
    std::int64_t w = kind == fkFigure ? PluginSettings.JWK_W : PluginSettings.JWC_W;
    std::int64_t h = kind == fkFigure ? PluginSettings.JWK_H : PluginSettings.JWC_H;
    if (call == Call::Preview) w = 128, h = 90;
    if (call == Call::Info || w <= 0 || h <= 0) return 0;
    return static_cast<std::size_t>((24 * w + 31) / 32 * 4 * h);
}

class Hostile : public HostCalls {
protected:
    // One call, timed and metered; the blocks handed over match the answer.
    Answer Measure(const std::string& name, Call call, TFileKind kind, const Bytes& file,
                   const std::string& path = {}) {
        const std::size_t allowed =
            PictureBytes(call, kind) + BitmapInfoBlockSize + (path.empty() ? 0 : file.size()) + SpareBytes;
        heapmeter::StartPeak();
        const auto begin = std::chrono::steady_clock::now();
        Answer a = Make(call, file, path);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        const std::size_t peak = heapmeter::PeakAboveStart();

        EXPECT_LE(seconds, TimeLimitSeconds) << name << " took " << seconds << " s";
        if (heapmeter::Measured()) {
            EXPECT_LE(peak, allowed) << name << " used " << peak << " bytes";
        }
        if (seconds > slowest.seconds) slowest = {name, seconds};
        ExpectOnlyHandedAlive(a);
        ExpectBlocksMatchAnswer(a, call);
        return a;
    }

    static void ExpectBlocksMatchAnswer(const Answer& a, Call call) {
        if (call == Call::Info) {
            EXPECT_EQ(a.info.InfoText != nullptr, a.rc == rcOk);
            return;
        }
        const bool infoKept = a.rc == rcOk || a.rc == rcNotImplemented || a.rc == rcAborted || a.rc == rcBrokenData;
        EXPECT_EQ(a.infoBlock != nullptr, infoKept) << "answer " << a.rc;
        EXPECT_EQ(a.bitsBlock != nullptr, a.rc == rcOk) << "answer " << a.rc;
    }
};

// ---- The table ------------------------------------------------------------

struct HostileCase {
    std::string name;
    TFileKind kind;
    std::function<Bytes()> file;
    std::int32_t expected;                     // for GetPicture and GetPreview
    std::function<void()> settings = [] {};   // before the calls
    bool previewToo = true;                    // the preview expects the same answer
};

jw::DrawingSpec PlainDrawing() {
    jw::DrawingSpec spec;
    spec.lines = {jw::Line(0, 0, 518, 366)};
    spec.arcs = {jw::Circle(259, 183, 100)};
    spec.texts = {jw::Text(20, 40, 120, 40)};
    spec.points = {jw::Point(200, 200, 7)};
    return spec;
}
jw::FigureSpec PlainFigure() {
    jw::FigureSpec spec;
    spec.lines = {jw::Line(-40, -40, 40, 40)};
    spec.arcs = {jw::Circle(0, 0, 20)};
    spec.points = {jw::Point(3, 4, 6)};
    spec.texts = {jw::Text(-30, -30, 10, -30)};
    return spec;
}

HostileCase DrawingCounts(std::string name, std::string counts, std::int32_t expected) {
    return {std::move(name), fkDrawing,
            [counts] {
                jw::DrawingSpec spec = PlainDrawing();
                spec.countLineOverride = counts;
                return jw::WriteDrawing(spec);
            },
            expected};
}
HostileCase FigureCounts(std::string name, std::string counts, std::int32_t expected) {
    return {std::move(name), fkFigure,
            [counts] {
                jw::FigureSpec spec = PlainFigure();
                spec.countLineOverride = counts;
                return jw::WriteFigure(spec);
            },
            expected};
}
HostileCase DrawingBounds(std::string name, std::string bounds, std::int32_t expected) {
    return {std::move(name), fkDrawing,
            [bounds] {
                jw::DrawingSpec spec = PlainDrawing();
                spec.blockBoundsOverride = bounds;
                return jw::WriteDrawing(spec);
            },
            expected};
}
HostileCase DrawingWith(std::string name, std::function<void(jw::DrawingSpec&)> change, std::int32_t expected,
                        std::function<void()> settings = [] {}) {
    return {std::move(name), fkDrawing,
            [change] {
                jw::DrawingSpec spec = PlainDrawing();
                change(spec);
                return jw::WriteDrawing(spec);
            },
            expected, std::move(settings)};
}
HostileCase FigureWith(std::string name, std::function<void(jw::FigureSpec&)> change, std::int32_t expected,
                       std::function<void()> settings = [] {}) {
    return {std::move(name), fkFigure,
            [change] {
                jw::FigureSpec spec = PlainFigure();
                change(spec);
                return jw::WriteFigure(spec);
            },
            expected, std::move(settings)};
}

TArcRec RawArc(float x, float y, float radius, std::int16_t flatness, std::int32_t start, std::int32_t end,
               std::int32_t tilt) {
    TArcRec a = jw::Circle(x, y, radius);
    a.Flatness = flatness;
    a.StartAngle = start;
    a.EndAngle = end;
    a.Tilt = tilt;
    return a;
}

std::vector<HostileCase> Cases() {
    const auto size = [](std::int32_t w, std::int32_t h) {
        return [w, h] {
            PluginSettings.JWC_W = PluginSettings.JWK_W = w;
            PluginSettings.JWC_H = PluginSettings.JWK_H = h;
        };
    };
    const auto viewMode = [] { PluginSettings.ViewMode = true; };
    std::vector<HostileCase> cases = {
        // Counts and offsets.
        DrawingCounts("DrawingNegativeLineCount", "-1,0,0,0,", rcBrokenData),
        DrawingCounts("DrawingNegativePointCount", "1,1,1,-2147483648,", rcBrokenData),
        DrawingCounts("DrawingHugeLineCount", "2147483647,0,0,0,", rcBrokenData),
        DrawingCounts("DrawingHugeCounts", "2147483647,2147483647,2147483647,2147483647,", rcBrokenData),
        DrawingCounts("DrawingCountBeyond32Bits", "4294967297,0,0,0,", rcInternalError),
        DrawingCounts("DrawingRecordsEndBeyond32BitOffsets", "97612894,0,0,0,", rcBrokenData),
        DrawingCounts("DrawingArcsEndBeyond32BitOffsets", "1,67108800,0,0,", rcBrokenData),
        DrawingBounds("DrawingBlockBoundsReversed", "00000FFFF,000000000", rcBrokenData),
        DrawingBounds("DrawingBlockBoundsPushPointsOut", "000000000,00000FFFF", rcBrokenData),
        FigureCounts("FigureNegativeArcCount", "0,-1,0,0,50,50,1", rcBrokenData),
        FigureCounts("FigureHugeCounts", "2147483647,2147483647,2147483647,2147483647,50,50,1", rcBrokenData),
        FigureCounts("FigureCountBeyond32Bits", "99999999999,0,0,0,50,50,1", rcInternalError),
        FigureCounts("FigureRecordsEndBeyond32BitOffsets", "1,1,1,89478470,50,50,1", rcBrokenData),

        // Coordinates and radii that are no number, infinite, or far off.
        DrawingWith("DrawingLineNaN", [](auto& s) { s.lines.push_back(jw::Line(NaN, 1, 2, 3)); }, rcBrokenData),
        DrawingWith("DrawingLineInfinite", [](auto& s) { s.lines.push_back(jw::Line(1, -Inf, 2, 3)); }, rcBrokenData),
        DrawingWith("DrawingLine1e30", [](auto& s) { s.lines.push_back(jw::Line(1, 2, 1e30f, 3)); }, rcBrokenData),
        DrawingWith("DrawingLineNaNOnHiddenLayer",
                    [](auto& s) {
                        s.lines.push_back(jw::Line(NaN, NaN, NaN, NaN, 1, 1, jw::LayerOf(3, 3)));
                        s.groupVisible[3] = 0;
                    },
                    rcOk, viewMode),
        DrawingWith("DrawingArcCentreNaN", [](auto& s) { s.arcs.push_back(jw::Circle(NaN, 10, 5)); }, rcBrokenData),
        DrawingWith("DrawingArcRadiusNaN", [](auto& s) { s.arcs.push_back(jw::Circle(10, 10, NaN)); }, rcBrokenData),
        DrawingWith("DrawingArcRadiusInfinite", [](auto& s) { s.arcs.push_back(jw::Circle(10, 10, Inf)); }, rcBrokenData),
        DrawingWith("DrawingArcRadius1e30", [](auto& s) { s.arcs.push_back(jw::Circle(10, 10, 1e30f)); }, rcBrokenData),
        DrawingWith("DrawingArcRadiusNegative", [](auto& s) { s.arcs.push_back(jw::Circle(259, 183, -100)); }, rcOk),
        // Radii just inside 32 bits whose curves cross the picture.
        DrawingWith("DrawingHugeCircleThroughThePicture",
                    [](auto& s) { s.arcs.push_back(jw::Circle(259, 2e9f + 183, 2e9f)); }, rcOk),
        DrawingWith("DrawingHugeEllipseThroughThePicture",
                    [](auto& s) { s.arcs.push_back(RawArc(259, 183 - 6e8f, 6e8f, 32767, 0, 0, 90 * 65536)); }, rcOk),
        DrawingWith("DrawingHugeArcSlivers",
                    [](auto& s) {
                        for (int i = 0; i < 50; ++i)
                            s.arcs.push_back(RawArc(259 + i, 1e9f, 1e9f, 10000, 269 * 65536, 271 * 65536, 0));
                    },
                    rcOk),
        // Start and end angles 65534 degrees apart: 182 turns of one circle.
        DrawingWith("DrawingArcsWoundAHundredAndEightyTurns",
                    [](auto& s) {
                        for (int i = 0; i < 1000; ++i)
                            s.arcs.push_back(RawArc(259, 183, 150 + i % 50, 10000, -32767 * 65536, 32767 * 65536, 0));
                    },
                    rcOk),
        DrawingWith("DrawingTextNaN", [](auto& s) { s.texts.push_back(jw::Text(1, NaN, 2, 3)); }, rcBrokenData),
        DrawingWith("DrawingPointInfinite", [](auto& s) { s.points.push_back(jw::Point(Inf, 3)); }, rcBrokenData,
                    viewMode),
        DrawingWith("DrawingPointFarOff", [](auto& s) { s.points.push_back(jw::Point(-1e9f, 3e8f)); }, rcOk, viewMode),

        // Flatness, angles and codes at the ends of their fields.
        DrawingWith("DrawingFlatnessZero", [](auto& s) { s.arcs.push_back(RawArc(259, 183, 90, 0, 0, 0, 0)); }, rcOk),
        DrawingWith("DrawingFlatnessMostNegative",
                    [](auto& s) { s.arcs.push_back(RawArc(259, 183, 90, -32768, 0, 0, 0)); }, rcOk),
        DrawingWith("DrawingFlatness32767",
                    [](auto& s) { s.arcs.push_back(RawArc(259, 183, 90, 32767, 10 * 65536, 350 * 65536, 33 * 65536)); },
                    rcOk),
        DrawingWith("DrawingAnglesAtTheEndsOfTheirField",
                    [](auto& s) {
                        s.arcs.push_back(RawArc(259, 183, 150, 5000, MaxI, MinI, MaxI));
                        s.arcs.push_back(RawArc(259, 183, 120, 5000, MinI, MaxI, MinI));
                        s.arcs.push_back(RawArc(259, 183, 100, 5000, MaxI, MaxI - 1, 0));
                    },
                    rcOk),
        DrawingWith("DrawingCodesAt255",
                    [](auto& s) {
                        s.lines.push_back(jw::Line(1, 1, 300, 200, 255, 255, 255));
                        s.points.push_back(jw::Point(5, 5, 255, 255));
                    },
                    rcOk),

        // Figure scale and origin.
        FigureWith("FigureScaleZero", [](auto& s) { s.scale = 0; }, rcOk),
        FigureCounts("FigureScaleNaNText", "1,1,1,1,50,50,nan", rcInternalError),
        FigureWith("FigureScale1e30", [](auto& s) { s.scale = 1e30f; }, rcBrokenData),
        // Beyond single precision the text does not convert.
        FigureCounts("FigureScaleBeyondFloatRange", "1,1,1,1,50,50,1e39", rcInternalError),
        FigureCounts("FigureScale1e30AllAtTheOrigin", "0,0,0,0,50,50,1e30", rcOk),
        FigureCounts("FigureOrigin1e30", "0,0,0,0,1e30,50,1", rcBrokenData),
        FigureWith("FigureLineNaN", [](auto& s) { s.lines.push_back(jw::Line(NaN, 0, 1, 1)); }, rcBrokenData),
        FigureWith("FigureArcRadius1e30", [](auto& s) { s.arcs.push_back(jw::Circle(0, 0, 1e30f)); }, rcBrokenData),
        FigureWith("FigurePointColour255", [](auto& s) { s.points.push_back(jw::Point(1, 1, 255)); }, rcOk),

        // Picture sizes.
        DrawingWith("DrawingWidthZero", [](auto&) {}, rcInternalError, size(0, 366)),
        DrawingWith("DrawingHeightMinusOne", [](auto&) {}, rcInternalError, size(518, -1)),
        DrawingWith("DrawingOneByHundredThousand", [](auto&) {}, rcOk, size(1, 100000)),
        DrawingWith("DrawingHundredThousandByOne", [](auto&) {}, rcOk, size(100000, 1)),
        FigureWith("FigureSizeZero", [](auto&) {}, rcInternalError, size(0, 0)),
        FigureWith("FigureMinusOneByMinusOne", [](auto&) {}, rcInternalError, size(-1, -1)),
        FigureWith("FigureOneByHundredThousand", [](auto&) {}, rcOk, size(1, 100000)),
    };
    // The preview ignores the size settings.
    for (auto& c : cases)
        if (c.name.find("By") != std::string::npos || c.name.find("Zero") != std::string::npos ||
            c.name.find("MinusOne") != std::string::npos)
            c.previewToo = c.name.find("Scale") != std::string::npos;
    return cases;
}

class HostileTable : public Hostile, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileTable, AnswersInTimeWithinThePicturesMemory) {
    const HostileCase& c = GetParam();
    c.settings();
    const Bytes file = c.file();
    const std::string path = TempPath(c.name + (c.kind == fkDrawing ? ".jwc" : ".jwk"));
    ASSERT_TRUE(jw::SaveFile(path, file));

    std::vector<std::pair<Call, std::string>> requests = {{Call::Picture, ""}, {Call::Picture, path}};
    if (c.previewToo) requests.push_back({Call::Preview, ""});
    for (const auto& [call, where] : requests) {
        SCOPED_TRACE(std::string(call == Call::Preview ? "preview" : "picture") + (where.empty() ? " from memory" : " from file"));
        ASSERT_TRUE(Check(file));
        Answer a = Measure(c.name, call, c.kind, file, where);
        // A figure that cannot be parsed gives no picture, whatever the mode.
        EXPECT_EQ(a.rc, c.expected);
        a.FreeAsHost();
    }
    // The description never renders: it reads the header fields only.
    Answer info = Measure(c.name + "Info", Call::Info, c.kind, file);
    EXPECT_EQ(info.rc, rcOk);
    info.FreeAsHost();
}

INSTANTIATE_TEST_SUITE_P(Table, HostileTable, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// ---- Files cut at every byte of their header ------------------------------

struct CutFile {
    const char* name;
    TFileKind kind;
    Bytes (*make)();
    std::size_t headerLength;
};

class CutHeader : public Hostile, public ::testing::WithParamInterface<CutFile> {};

TEST_P(CutHeader, EveryCutAnswersAsBrokenAndInTime) {
    const CutFile& c = GetParam();
    const Bytes whole = c.make();
    ASSERT_GE(whole.size(), c.headerLength);
    const std::string path = TempPath(std::string(c.name) + "-cut");
    for (std::size_t n = 0; n < c.headerLength; ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const Bytes cut(whole.begin(), whole.begin() + n);
        const std::string name = std::string(c.name) + "Cut" + std::to_string(n);

        // The host's buffer holds the file's bytes and zeros after them.
        EXPECT_EQ(Check(cut), n >= 20);
        Answer info = Measure(name, Call::Info, c.kind, cut);
        EXPECT_EQ(info.rc, n < 40 ? rcUnsupportedFormat : n < 300 ? rcFileError : rcOk);
        info.FreeAsHost();

        ASSERT_TRUE(Check(whole));  // the kind stays recorded for the picture
        Answer picture = Measure(name, Call::Picture, c.kind, cut);
        EXPECT_EQ(picture.rc, rcBrokenData);
        picture.FreeAsHost();
        if (n % 61 == 0) {
            ASSERT_TRUE(jw::SaveFile(path, cut));
            Answer fromFile = Measure(name + "File", Call::Preview, c.kind, cut, path);
            EXPECT_EQ(fromFile.rc, rcBrokenData);
            fromFile.FreeAsHost();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CutHeader,
    ::testing::Values(CutFile{"LongDrawing", fkDrawing, [] { return SampleDrawing(true); }, 2421},
                      CutFile{"ShortDrawing", fkDrawing, [] { return SampleDrawing(false); }, 2421},
                      CutFile{"Figure", fkFigure, SampleFigure, 400}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The arc primitive with angles no file can hold ------------------------

TEST(HostileArc, AnglesOfAThousandMillionDegreesEndInTime) {
    std::vector<std::uint8_t> pixels(304 * 100, 0);
    Canvas canvas(pixels.data(), 100, 100, 304, RowOrder::TopDown);
    const std::int32_t colors[8] = {0, 0xFF, 0xFF00, 0xFF0000, 0xFFFFFF, 1, 2, 3};
    Strokes strokes(canvas, colors);
    strokes.SelectPenColor(1);
    const float angles[][3] = {{1e9f, -1e9f, 1e9f}, {-1e9f, 1e9f, 0},   {1e9f, 1e9f + 64, 1e9f},
                               {NaN, 10, 0},       {0, Inf, -Inf},     {3e38f, -3e38f, 3e38f}};
    for (const auto& a : angles) {
        const auto begin = std::chrono::steady_clock::now();
        strokes.DrawArc(50, 50, 40, a[0], a[1], 0.5f, a[2]);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_LE(seconds, TimeLimitSeconds) << a[0] << " " << a[1] << " " << a[2];
        if (seconds > slowest.seconds) slowest = {"ArcAngles", seconds};
    }
}

// ---- Offsets of file mode outside the file ---------------------------------

// A negative offset (or one no file position can hold) cannot be sought: a
// file error. One at or past the end leaves fewer than 40 bytes to check.
TEST_F(Hostile, InfoOffsetsOutsideTheFile) {
    const Bytes file = SampleDrawing();
    const std::string path = TempPath("offsets.jwc");
    ASSERT_TRUE(jw::SaveFile(path, file));
    const HostValue size = HostValue(file.size());
    const struct {
        HostValue offset;
        std::int32_t rc;
    } rows[] = {
        {-1, rcFileError},
        {-2421, rcFileError},
        {std::numeric_limits<HostValue>::min(), rcFileError},
        {size - 39, rcUnsupportedFormat},
        {size, rcUnsupportedFormat},
        {size + 1, rcUnsupportedFormat},
        {std::numeric_limits<std::int32_t>::max(), rcUnsupportedFormat},
        {std::numeric_limits<HostValue>::max(), rcFileError},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("offset " + std::to_string(row.offset));
        ASSERT_TRUE(Check(file));
        PictureInfo info;
        std::memset(&info, 0x5A, sizeof info);
        const auto begin = std::chrono::steady_clock::now();
        EXPECT_EQ(GetPictureInfo(path.c_str(), row.offset, 0, &info), row.rc);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        EXPECT_LE(seconds, TimeLimitSeconds);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
        EXPECT_TRUE(std::all_of(bytes, bytes + sizeof info, [](std::uint8_t b) { return b == 0; }));
        // Only a check that runs records a kind; a failed seek comes before it.
        EXPECT_EQ(PluginBody->FFileKind, row.rc == rcFileError ? fkDrawing : fkNone);
        EXPECT_EQ(portable::LiveHostBlockCount(), 0u);
    }
}

// ---- Arcs too big to be exact ------------------------------------------------

// A very flat ellipse of radius 1e9 whose tip lies on the picture has about
// a million vertices on it; a file of many such records must still come
// back within the bound.
TEST_F(Hostile, FlatHugeEllipsesWithTheirTipOnThePicture) {
    jw::DrawingSpec spec = PlainDrawing();
    for (int i = 0; i < 200; ++i) spec.arcs.push_back(RawArc(259 - 1e9f, 183, 1e9f, 1, 0, 0, 0));
    const Bytes file = jw::WriteDrawing(spec);
    ASSERT_TRUE(Check(file));
    Answer a = Measure("FlatHugeEllipses", Call::Picture, fkDrawing, file);
    EXPECT_EQ(a.rc, rcOk);
    a.FreeAsHost();
}

// ---- A picture no 32-bit host can hold ------------------------------------

// 30000 x 30000 pixels need 2.7 GB: no 32-bit host can take such a block, and
// the 64-bit plug-in should refuse it alike (rcNoMemory at once) rather than
// spend seconds zeroing and filling it.
TEST_F(Hostile, PicturesOverTwoGigabytesAreRefusedAtOnce) {
    for (TFileKind kind : {fkDrawing, fkFigure}) {
        PluginSettings.JWC_W = PluginSettings.JWC_H = PluginSettings.JWK_W = PluginSettings.JWK_H = 30000;
        const Bytes file = kind == fkDrawing ? SampleDrawing() : SampleFigure();
        ASSERT_TRUE(Check(file));
        Answer a = Measure("30000By30000", Call::Picture, kind, file);
        EXPECT_EQ(a.rc, rcNoMemory);
        a.FreeAsHost();
        // One row of 4 bytes, 2^29 rows: 2^31 bytes, one too many.
        PluginSettings.JWC_W = PluginSettings.JWK_W = 1;
        PluginSettings.JWC_H = PluginSettings.JWK_H = 1 << 29;
        ASSERT_TRUE(Check(file));
        Answer b = Measure("1By2^29", Call::Picture, kind, file);
        EXPECT_EQ(b.rc, rcNoMemory);
        b.FreeAsHost();
    }
}

// The slowest case, for the record.
class ReportSlowest : public ::testing::Environment {
public:
    void TearDown() override {
        std::printf("slowest hostile input: %s, %.3f s\n", slowest.name.c_str(), slowest.seconds);
    }
};
const auto* const reportSlowest = ::testing::AddGlobalTestEnvironment(new ReportSlowest);

}  // namespace
}  // namespace pallowin

