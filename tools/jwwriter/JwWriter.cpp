#include "tools/jwwriter/JwWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>

namespace pallowin::jwwriter {

namespace {

using Bytes = std::vector<std::uint8_t>;

// The header text lines of the CAD program: 199 bytes of text, NUL-ended and
// space-padded, then a LF.
constexpr std::size_t TextLineLength = 200;

const std::string DefaultTextString = "\x95\xB6\x8E\x9A";  // a two-character word in Shift-JIS

void Put(Bytes& out, std::size_t offset, const void* data, std::size_t n) {
    if (out.size() < offset + n) out.resize(offset + n, 0);
    std::memcpy(out.data() + offset, data, n);
}
void Put(Bytes& out, std::size_t offset, std::string_view text) { Put(out, offset, text.data(), text.size()); }

template <class T>
void PutValue(Bytes& out, std::size_t offset, T value) {
    Put(out, offset, &value, sizeof value);
}

// A text line from `start`: text, NUL, spaces up to the LF at start + 199.
void PutTextLine(Bytes& out, std::size_t start, std::string_view text) {
    std::string line(text.substr(0, TextLineLength - 2));
    line += '\0';
    line.resize(TextLineLength - 1, ' ');
    line += '\n';
    Put(out, start, line);
}

// A raw line: the bytes as given, NULs up to the LF.
void PutRawLine(Bytes& out, std::size_t start, std::string_view text) {
    std::string line(text.substr(0, TextLineLength - 1));
    line.resize(TextLineLength - 1, '\0');
    line += '\n';
    Put(out, start, line);
}

std::string Decimal(float value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return std::string(buffer, result.ptr);
}

std::string Hex4(std::size_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) s[i] = digits[value & 15];
    return s;
}

// Shift-JIS strings, NUL-ended, in text record order; each text record points
// into the pool (offset, segment) unless the test filled those bytes itself.
std::string BuildPool(std::vector<TTextRec>& texts, const std::vector<std::string>& strings,
                      std::uint16_t segment) {
    std::string pool;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        TTextRec& t = texts[i];
        bool untouched = std::all_of(std::begin(t.Unused1), std::end(t.Unused1), [](auto b) { return b == 0; });
        if (untouched) {
            std::uint16_t offset = static_cast<std::uint16_t>(pool.size());
            std::memcpy(&t.Unused1[0], &offset, 2);
            std::memcpy(&t.Unused1[2], &segment, 2);
        }
        pool += i < strings.size() ? strings[i] : DefaultTextString;
        pool += '\0';
    }
    return pool;
}

template <class Rec>
void PutRecords(Bytes& out, const std::vector<Rec>& records) {
    if (records.empty()) return;
    std::size_t at = out.size();
    out.resize(at + records.size() * sizeof(Rec));
    std::memcpy(out.data() + at, records.data(), records.size() * sizeof(Rec));
}

void PutIdentificationAndMemo(Bytes& out, std::string_view identification, std::string_view memo) {
    PutTextLine(out, 0, "");  // the line's padding; identification and memo go over it
    Put(out, 0, identification);
    std::string memoText(memo.substr(0, TextLineLength - 1 - MemoOffset));
    if (memoText.size() < TextLineLength - 1 - MemoOffset) memoText += '\0';
    Put(out, MemoOffset, memoText);
}

void Finish(Bytes& out, const std::vector<Patch>& patches, std::optional<std::size_t> truncateTo) {
    for (const Patch& p : patches) Put(out, p.offset, p.bytes);
    if (truncateTo && *truncateTo < out.size()) out.resize(*truncateTo);
}

std::uint16_t SegmentValue(const std::string& segment) {
    unsigned value = 0;
    std::from_chars(segment.data(), segment.data() + segment.size(), value, 16);
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string DrawingCountLine(const DrawingSpec& spec) {
    // Counts, then settings as the CAD program writes them: temporary points,
    // scale, write layer, paper size and more.
    return std::to_string(spec.lines.size()) + "," + std::to_string(spec.arcs.size()) + "," +
           std::to_string(spec.texts.size()) + "," + std::to_string(spec.points.size()) +
           ",0,3,2,1,1,1,0,3,2,1,0,0,1,0,0,0,1,1,0,0,2,0,0,1,0,0,0,";
}

std::string FigureCountLine(const FigureSpec& spec) {
    std::size_t poolLength = 0;
    for (std::size_t i = 0; i < spec.texts.size(); ++i)
        poolLength += (i < spec.textStrings.size() ? spec.textStrings[i].size() : DefaultTextString.size()) + 1;
    return std::to_string(spec.lines.size()) + "," + std::to_string(spec.arcs.size()) + "," +
           std::to_string(spec.points.size()) + "," + std::to_string(spec.texts.size()) + "," +
           Decimal(spec.originX) + "," + Decimal(spec.originY) + "," + Decimal(spec.scale) + "," +
           std::to_string(poolLength) + ",100";
}

std::vector<std::uint8_t> WriteDrawing(const DrawingSpec& spec) {
    Bytes out;
    std::string identification(IdentificationLength, '.');
    std::memcpy(identification.data(), "jw_cad(c)data", 13);
    identification[20] = 'a';
    identification[LayoutMarkerOffset] = spec.longLayout ? 'f' : '.';
    identification[24] = 'm';
    PutIdentificationAndMemo(out, identification, spec.memo);

    std::vector<TTextRec> texts = spec.texts;
    std::uint16_t segment = SegmentValue(spec.segment);
    std::string pool = BuildPool(texts, spec.textStrings, segment);

    if (spec.countLineOverride)
        PutRawLine(out, CountListOffset, *spec.countLineOverride);
    else
        PutTextLine(out, CountListOffset, DrawingCountLine(spec));
    PutTextLine(out, 400, "0,0,0,0,1,1,1,0,0,0,5,0,0,0,0,0,2,0,0,0,0,0,1,0,");
    if (spec.blockBoundsOverride)
        PutRawLine(out, BlockBoundsOffset, *spec.blockBoundsOverride);
    else
        PutTextLine(out, BlockBoundsOffset,
                    spec.segment + ":0000," + spec.segment + ":" + Hex4(pool.size()) + ",0,0,0,0,0,0,");

    // Binary settings: text size presets, then the 16 group scales (floats in
    // the long layout, 16-bit words in the short one, hence the 32 bytes).
    const std::size_t shift = spec.longLayout ? 0 : 32;
    out.resize(LongFirstLineOffset - shift, 0);
    for (int i = 0; i < 10; ++i) {
        PutValue<float>(out, 1500 + i * 16, 2.0f + i);       // width
        PutValue<float>(out, 1504 + i * 16, 2.0f + i);       // height
        PutValue<float>(out, 1508 + i * 16, 0.0f);           // spacing
        PutValue<std::int32_t>(out, 1512 + i * 16, i % 9 + 1);  // colour
    }
    for (int g = 0; g < 16; ++g) {
        if (spec.longLayout)
            PutValue<float>(out, 1797 + g * 4, 100.0f);
        else
            PutValue<std::int16_t>(out, 1797 + g * 2, 100);
    }
    const std::size_t editable = 1861 - shift;
    std::memset(out.data() + editable, 1, GroupCount + LayerCount);
    const std::size_t visible = LongGroupFlagsOffset - shift;
    Put(out, visible, spec.groupVisible.data(), GroupCount);
    Put(out, visible + GroupCount, spec.layerVisible.data(), LayerCount);
    // 16 write layers, one per group, then the records.
    for (int g = 0; g < 16; ++g) out[visible + GroupCount + LayerCount + g] = static_cast<std::uint8_t>(g % 4);

    PutRecords(out, spec.lines);
    PutRecords(out, spec.arcs);
    PutRecords(out, texts);
    out.insert(out.end(), pool.begin(), pool.end());
    PutRecords(out, spec.points);

    // Name area: 256 layer names of 8 bytes, then 16 group names of 16.
    std::size_t names = out.size();
    out.resize(names + 256 * 8 + 16 * 16, 0);
    for (int g = 0; g < 16; ++g) Put(out, names + 256 * 8 + g * 16, "Group" + std::to_string(g));

    Finish(out, spec.patches, spec.truncateTo);
    return out;
}

std::vector<std::uint8_t> WriteFigure(const FigureSpec& spec) {
    Bytes out;
    std::string identification(IdentificationLength, '.');
    std::memcpy(identification.data(), "jw_cad(c)sym", 12);
    identification[IdentificationLength - 1] = '\0';
    PutIdentificationAndMemo(out, identification, spec.memo);

    if (spec.countLineOverride)
        PutRawLine(out, CountListOffset, *spec.countLineOverride);
    else
        PutTextLine(out, CountListOffset, FigureCountLine(spec));

    std::vector<TTextRec> texts = spec.texts;
    std::string pool = BuildPool(texts, spec.textStrings, 0);
    PutRecords(out, spec.lines);
    PutRecords(out, spec.arcs);
    PutRecords(out, spec.points);
    PutRecords(out, texts);
    out.insert(out.end(), pool.begin(), pool.end());

    Finish(out, spec.patches, spec.truncateTo);
    return out;
}

TLineRec Line(float x1, float y1, float x2, float y2, std::uint8_t color, std::uint8_t lineType,
              std::uint8_t layer) {
    TLineRec r{};
    r.X1 = x1, r.Y1 = y1, r.X2 = x2, r.Y2 = y2;
    r.LineType = lineType, r.Color = color, r.Layer = layer;
    return r;
}

TArcRec Arc(float x, float y, float radius, double startDeg, double endDeg, double flatness, double tiltDeg,
            std::uint8_t color, std::uint8_t lineType, std::uint8_t layer) {
    TArcRec r{};
    r.X = x, r.Y = y, r.Radius = radius;
    r.Flatness = static_cast<std::int16_t>(std::lround(flatness * 10000));
    r.StartAngle = static_cast<std::int32_t>(std::lround(startDeg * 65536));
    r.EndAngle = static_cast<std::int32_t>(std::lround(endDeg * 65536));
    r.Tilt = static_cast<std::int32_t>(std::lround(tiltDeg * 65536));
    r.LineType = lineType, r.Color = color, r.Layer = layer;
    return r;
}

TArcRec Circle(float x, float y, float radius, std::uint8_t color, std::uint8_t lineType, std::uint8_t layer) {
    return Arc(x, y, radius, 0, 0, 1.0, 0, color, lineType, layer);
}

TTextRec Text(float x1, float y1, float x2, float y2, std::uint8_t layer) {
    TTextRec r{};
    r.X1 = x1, r.Y1 = y1, r.X2 = x2, r.Y2 = y2;
    r.Layer = layer;
    return r;
}

TPointRec Point(float x, float y, std::uint8_t color, std::uint8_t layer) {
    TPointRec r{};
    r.X = x, r.Y = y, r.Layer = layer, r.Color = color;
    return r;
}

bool SaveFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace pallowin::jwwriter
