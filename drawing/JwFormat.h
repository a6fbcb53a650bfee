// The two JW_CAD file layouts, as far as the plug-in reads them: signatures,
// header fields, layer table and record positions. Parsing is a pure function
// of the file image; nothing is read outside it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace pallowin {

using ByteSpan = std::span<const std::uint8_t>;

constexpr char DrawingSignature[] = "jw_cad(c)data.......";  // 20 bytes, no NUL
constexpr char FigureSignature[] = "jw_cad(c)sym........";
constexpr std::size_t SignatureLength = 20;

enum TFileKind : std::int32_t { fkNone = 0, fkDrawing = 1, fkFigure = 2 };

// fkNone unless the first 20 bytes are one of the signatures.
TFileKind KindOfSignature(ByteSpan first20);

// Where the header fields lie (0-based byte offsets).
constexpr std::size_t IdentificationLength = 40;
constexpr std::size_t LayoutMarkerOffset = 22;  // 'f' selects the long layout
constexpr std::size_t MemoOffset = 40, MemoLength = 64;
constexpr std::size_t CountListOffset = 200, CountListLength = 100;
constexpr std::size_t BlockBoundsOffset = 600, BlockBoundsLength = 100;
constexpr std::size_t DrawingHeaderLength = 2421, FigureHeaderLength = 400;
// The short layout has everything from the group flags on 32 bytes earlier.
constexpr std::size_t LongGroupFlagsOffset = 2133, ShortGroupFlagsOffset = 2101;
constexpr std::size_t GroupCount = 16, LayerCount = 256;
constexpr std::size_t LongFirstLineOffset = 2421, ShortFirstLineOffset = 2389;
constexpr std::size_t FigureFirstLineOffset = 400;

// Packed records: take their fields by value. A reference to a field (as
// std::min or EXPECT_EQ bind one) may be an unaligned access; write +r.Tilt.
#pragma pack(push, 1)
struct TLineRec {
    float X1, Y1, X2, Y2;
    std::uint8_t LineType, Color, Layer;
    std::uint8_t Unused[3];
};
struct TArcRec {
    float X, Y, Radius;
    std::int16_t Flatness;  // x 10000
    std::int32_t StartAngle, EndAngle, Tilt;  // degrees x 65536
    std::uint8_t LineType, Color, Layer;
    std::uint8_t Unused[3];
};
struct TTextRec {
    float X1, Y1, X2, Y2;
    std::uint8_t Unused1[5];
    std::uint8_t Layer;
    std::uint8_t Unused2[2];
};
struct TPointRec {
    float X, Y;
    std::uint8_t Layer, Color;
    std::uint8_t Unused[2];
};
#pragma pack(pop)
static_assert(sizeof(TLineRec) == 22 && sizeof(TArcRec) == 32);
static_assert(sizeof(TTextRec) == 24 && sizeof(TPointRec) == 12);

// A record array lying wholly inside the file image (checked by the parser).
template <class Rec>
struct RecordArray {
    const std::uint8_t* first = nullptr;
    std::int32_t count = 0;

    Rec operator[](std::int32_t i) const {
        Rec r;
        std::memcpy(&r, first + static_cast<std::size_t>(i) * sizeof(Rec), sizeof(Rec));
        return r;
    }
};

struct DrawingHeader {
    std::int32_t LineCount, ArcCount, TextCount, PointCount;
    std::int32_t F1, F2;  // block bounds; F2 - F1 bytes lie between texts and points
    bool LongLayout;
    std::array<std::uint8_t, 256> LayerTable;  // a layer shows when its entry is 1
    RecordArray<TLineRec> Lines;
    RecordArray<TArcRec> Arcs;
    RecordArray<TTextRec> Texts;
    RecordArray<TPointRec> Points;
};

struct FigureHeader {
    std::int32_t LineCount, ArcCount, PointCount, TextCount;
    float OriginX, OriginY, Scale;
    RecordArray<TLineRec> Lines;
    RecordArray<TArcRec> Arcs;
    RecordArray<TPointRec> Points;
    RecordArray<TTextRec> Texts;
};

// The figure counts converted so far, in file order (lines, arcs, points,
// texts): they stay with the caller when a later item fails.
struct FigureCountsSoFar {
    std::int32_t Counts[4] = {};
    int Parsed = 0;
};

// Throw EConvertError for a field that does not convert and EInvalidGraphic
// (with a printable reason) for a file too short for a field it needs, a
// negative count, F2 below F1, or records that do not lie wholly inside the
// image. Conversion errors of the count list come before the record checks.
DrawingHeader ParseDrawingHeader(ByteSpan file);
FigureHeader ParseFigureHeader(ByteSpan file, FigureCountsSoFar* soFar = nullptr);

// The layer table: groups whose flag is 0 hide their 16 layers.
std::array<std::uint8_t, LayerCount> MakeLayerTable(const std::uint8_t* groupFlags,
                                                    const std::uint8_t* layerFlags);

}  // namespace pallowin
