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

// Throw EConvertError for a field that does not convert and EInvalidGraphic
// for a file whose header or records do not lie in the image.
DrawingHeader ParseDrawingHeader(ByteSpan file);
FigureHeader ParseFigureHeader(ByteSpan file);

}  // namespace pallowin
