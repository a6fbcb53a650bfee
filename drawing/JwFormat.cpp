#include "drawing/JwFormat.h"

#include <limits>
#include <string>

#include "drawing/HeaderFields.h"
#include "platform/Failures.h"

namespace pallowin {

namespace {

// The one place that decides whether a header or record range lies in the image.
// `what` reads as the start of the reason: "the count list ends".
void RequireBytes(ByteSpan file, std::size_t end, const char* what) {
    if (file.size() < end)
        throw EInvalidGraphic(std::string(what) + " at byte " + std::to_string(end) +
                              " but the file has " + std::to_string(file.size()) + " bytes");
}

void RequireNotNegative(std::int32_t count, const char* what) {
    if (count < 0) throw EInvalidGraphic(std::string("the ") + what + " is " + std::to_string(count));
}

template <class Rec>
RecordArray<Rec> PlaceRecords(ByteSpan file, std::int64_t& offset, std::int32_t count, const char* what) {
    std::int64_t end = offset + std::int64_t{count} * static_cast<std::int64_t>(sizeof(Rec));
    if (end > std::numeric_limits<std::int32_t>::max())
        throw EInvalidGraphic(std::string(what) + " end at byte " + std::to_string(end) +
                              ", beyond 32-bit offsets");
    if (end > static_cast<std::int64_t>(file.size()))
        throw EInvalidGraphic(std::string(what) + " end at byte " + std::to_string(end) +
                              " but the file has " + std::to_string(file.size()) + " bytes");
    RecordArray<Rec> records{file.data() + offset, count};
    offset = end;
    return records;
}

std::string_view CountListWindow(ByteSpan file) {
    RequireBytes(file, CountListOffset + CountListLength, "the count list ends");
    return HeaderField(file, CountListOffset + 1, CountListOffset + CountListLength);
}

}  // namespace

TFileKind KindOfSignature(ByteSpan first20) {
    if (first20.size() < SignatureLength) return fkNone;
    if (std::memcmp(first20.data(), DrawingSignature, SignatureLength) == 0) return fkDrawing;
    if (std::memcmp(first20.data(), FigureSignature, SignatureLength) == 0) return fkFigure;
    return fkNone;
}

std::array<std::uint8_t, LayerCount> MakeLayerTable(const std::uint8_t* groupFlags,
                                                    const std::uint8_t* layerFlags) {
    std::array<std::uint8_t, LayerCount> table;
    std::memcpy(table.data(), layerFlags, LayerCount);
    for (std::size_t g = 0; g < GroupCount; ++g)
        if (groupFlags[g] == 0) std::memset(table.data() + g * 16, 0, 16);
    return table;
}

DrawingHeader ParseDrawingHeader(ByteSpan file) {
    DrawingHeader h{};
    std::string_view counts = CountListWindow(file);
    h.LineCount = ConvertInteger(NextField(counts), "line count");
    h.ArcCount = ConvertInteger(NextField(counts), "arc count");
    h.TextCount = ConvertInteger(NextField(counts), "text count");
    h.PointCount = ConvertInteger(NextField(counts), "point count");

    RequireBytes(file, BlockBoundsOffset + BlockBoundsLength, "the block bounds end");
    std::string_view bounds = HeaderField(file, BlockBoundsOffset + 1, BlockBoundsOffset + BlockBoundsLength);
    h.F1 = ParseHexField(NextField(bounds), "first block bound");
    h.F2 = ParseHexField(LastField(bounds), "second block bound");

    h.LongLayout = file[LayoutMarkerOffset] == 'f';
    std::size_t groupFlags = h.LongLayout ? LongGroupFlagsOffset : ShortGroupFlagsOffset;
    RequireBytes(file, groupFlags + GroupCount + LayerCount, "the layer table ends");
    h.LayerTable = MakeLayerTable(file.data() + groupFlags, file.data() + groupFlags + GroupCount);

    RequireNotNegative(h.LineCount, "line count");
    RequireNotNegative(h.ArcCount, "arc count");
    RequireNotNegative(h.TextCount, "text count");
    RequireNotNegative(h.PointCount, "point count");
    if (h.F2 < h.F1)
        throw EInvalidGraphic("the block bounds end at " + std::to_string(h.F2) + ", before their start at " +
                              std::to_string(h.F1));

    std::int64_t offset = h.LongLayout ? LongFirstLineOffset : ShortFirstLineOffset;
    h.Lines = PlaceRecords<TLineRec>(file, offset, h.LineCount, "line records");
    h.Arcs = PlaceRecords<TArcRec>(file, offset, h.ArcCount, "arc records");
    h.Texts = PlaceRecords<TTextRec>(file, offset, h.TextCount, "text records");
    offset += std::int64_t{h.F2} - h.F1;
    h.Points = PlaceRecords<TPointRec>(file, offset, h.PointCount, "point records");
    return h;
}

FigureHeader ParseFigureHeader(ByteSpan file, FigureCountsSoFar* soFar) {
    FigureCountsSoFar local;
    FigureCountsSoFar& parsed = soFar ? *soFar : local;
    parsed = {};
    std::string_view list = CountListWindow(file);
    static const char* const countNames[4] = {"line count", "arc count", "point count", "text count"};
    for (int i = 0; i < 4; ++i) {
        parsed.Counts[i] = ConvertInteger(NextField(list), countNames[i]);
        parsed.Parsed = i + 1;
    }
    FigureHeader h{};
    h.LineCount = parsed.Counts[0];
    h.ArcCount = parsed.Counts[1];
    h.PointCount = parsed.Counts[2];
    h.TextCount = parsed.Counts[3];
    h.OriginX = ConvertDecimal(NextField(list), "origin x");
    h.OriginY = ConvertDecimal(NextField(list), "origin y");
    h.Scale = ConvertDecimal(LastField(list), "scale factor");

    RequireNotNegative(h.LineCount, "line count");
    RequireNotNegative(h.ArcCount, "arc count");
    RequireNotNegative(h.PointCount, "point count");
    RequireNotNegative(h.TextCount, "text count");
    std::int64_t offset = FigureFirstLineOffset;
    h.Lines = PlaceRecords<TLineRec>(file, offset, h.LineCount, "line records");
    h.Arcs = PlaceRecords<TArcRec>(file, offset, h.ArcCount, "arc records");
    h.Points = PlaceRecords<TPointRec>(file, offset, h.PointCount, "point records");
    h.Texts = PlaceRecords<TTextRec>(file, offset, h.TextCount, "text records");
    return h;
}

}  // namespace pallowin
