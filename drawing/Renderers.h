// The two renderers' drawing work, from a parsed header onto a canvas.
// Reading the file and making the canvas are the caller's affair.
#pragma once
#include <cstdint>

#include "drawing/Canvas.h"
#include "drawing/JwFormat.h"
#include "settings/PluginSettings.h"

namespace pallowin {

constexpr std::int32_t ProgressInterval = 500;

// Receives progress on the scale of 110.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void Report(std::int32_t num) = 0;
};

// Fill with the background, report 5, draw lines, arcs, texts and points,
// report 110. Throws EInvalidGraphic for a record whose pixel coordinate or
// radius is not a number or does not fit 32 bits. progress may be null.
void DrawDrawing(const DrawingHeader& header, const TPluginSettings& settings, Canvas& canvas,
                 ProgressSink* progress);
// The same for a figure: lines, arcs, points, texts, then the red origin mark.
void DrawFigure(const FigureHeader& header, const TPluginSettings& settings, Canvas& canvas,
                ProgressSink* progress);

}  // namespace pallowin
