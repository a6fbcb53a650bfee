// Writes realistic JW_CAD drawing (*.jwc) and figure (*.jwk) files for tests,
// fuzz seeds and examples: a test states what a file holds, the writer lays
// out the bytes as the CAD program does (identification line, text lines
// ending in LF, count line with settings, far-pointer block bounds, layer
// tables, records, string pool, name area). Raw overrides make broken files.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drawing/JwFormat.h"

namespace pallowin::jwwriter {

// A raw patch applied after the file is laid out: bytes at an offset.
struct Patch {
    std::size_t offset;
    std::string bytes;
};

template <std::size_t N>
std::array<std::uint8_t, N> FilledArray(std::uint8_t value) {
    std::array<std::uint8_t, N> a;
    a.fill(value);
    return a;
}

struct DrawingSpec {
    std::string memo;          // Shift-JIS; more than 63 bytes leaves the memo field without a NUL
    bool longLayout = true;    // byte 22 'f'; false writes '.' and the 32-byte shorter tables
    std::vector<TLineRec> lines;
    std::vector<TArcRec> arcs;
    std::vector<TTextRec> texts;
    std::vector<TPointRec> points;
    // One Shift-JIS string per text record for the string pool; missing ones
    // get a default. The pool length becomes the block bounds' difference.
    std::vector<std::string> textStrings;
    // The visible table: group flags and layer flags (1 shows).
    std::array<std::uint8_t, 16> groupVisible = FilledArray<16>(1);
    std::array<std::uint8_t, 256> layerVisible = FilledArray<256>(1);
    std::string segment = "4000";  // of the far pointers in the block bounds

    // Raw overrides for broken files. The count line and block bounds replace
    // the text of their header line from its first byte; NULs pad the rest of
    // the line up to its LF.
    std::optional<std::string> countLineOverride;
    std::optional<std::string> blockBoundsOverride;
    std::vector<Patch> patches;
    std::optional<std::size_t> truncateTo;
};

struct FigureSpec {
    std::string memo;
    std::vector<TLineRec> lines;
    std::vector<TArcRec> arcs;
    std::vector<TPointRec> points;
    std::vector<TTextRec> texts;
    std::vector<std::string> textStrings;
    float originX = 50, originY = 50, scale = 1;

    std::optional<std::string> countLineOverride;  // replaces the whole count line text
    std::vector<Patch> patches;
    std::optional<std::size_t> truncateTo;
};

std::vector<std::uint8_t> WriteDrawing(const DrawingSpec& spec);
std::vector<std::uint8_t> WriteFigure(const FigureSpec& spec);

// The count line the writer puts at byte 200, without its NUL and padding.
std::string DrawingCountLine(const DrawingSpec& spec);
std::string FigureCountLine(const FigureSpec& spec);

// Records as a test states them. Angles in degrees, flatness as a ratio
// (1 = circle); they are stored x 65536 and x 10000.
TLineRec Line(float x1, float y1, float x2, float y2, std::uint8_t color = 1, std::uint8_t lineType = 1,
              std::uint8_t layer = 0);
TArcRec Arc(float x, float y, float radius, double startDeg, double endDeg, double flatness = 1.0,
            double tiltDeg = 0, std::uint8_t color = 1, std::uint8_t lineType = 1, std::uint8_t layer = 0);
TArcRec Circle(float x, float y, float radius, std::uint8_t color = 1, std::uint8_t lineType = 1,
               std::uint8_t layer = 0);
TTextRec Text(float x1, float y1, float x2, float y2, std::uint8_t layer = 0);
TPointRec Point(float x, float y, std::uint8_t color = 1, std::uint8_t layer = 0);

// Layer index as the CAD program numbers it: group g, layer l within it.
constexpr std::uint8_t LayerOf(int group, int layer) { return static_cast<std::uint8_t>(group * 16 + layer); }

// Writes bytes to a file; false when it cannot.
bool SaveFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pallowin::jwwriter
