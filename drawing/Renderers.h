// The two renderers' drawing work, from a parsed header onto a canvas.
// Reading the file and making the canvas are the caller's affair.
#pragma once
#include <cstdint>

#include "drawing/Canvas.h"
#include "drawing/JwFormat.h"
#include "settings/PluginSettings.h"

namespace pallowin {

constexpr std::int32_t ProgressInterval = 500;

enum class RecordPass { None, Lines, Arcs, Texts, Points };

// What a render tells its caller on the way: progress on the scale of 110,
// the record pass under way (the body keeps a view of that pass's records),
// and every pen change the trackers ask for (tests and benchmarks count them).
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Report(std::int32_t num) = 0;
    virtual void PassBegins(RecordPass) {}
    virtual void PenColorSelected(std::int32_t /*code*/) {}
    virtual void PenStyleSelected(std::int32_t /*lineType*/) {}
};

// Fill with the background, report 5, draw lines, arcs, texts and points,
// report 110. Throws EInvalidGraphic for a drawn record whose pixel coordinate
// or radius is not a number or does not fit 32 bits. progress may be null.
void DrawDrawing(const DrawingHeader& header, const TPluginSettings& settings, Canvas& canvas,
                 ProgressSink* progress);
// The same for a figure: lines, arcs, points, texts, then the red origin mark.
void DrawFigure(const FigureHeader& header, const TPluginSettings& settings, Canvas& canvas,
                ProgressSink* progress);

// Pixels per sheet unit: the smaller of width / sheetWidth and
// height / sheetHeight, each held as a float.
float SheetScale(std::int32_t width, std::int32_t height, std::int32_t sheetWidth,
                 std::int32_t sheetHeight);

}  // namespace pallowin
