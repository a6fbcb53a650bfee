// The four stroke primitives both renderers draw with: pen colour from a
// colour code, pen style from a line type, a segment, and an arc drawn as a
// chain of segments with the plug-in's exact arithmetic.
#pragma once
#include <cstdint>

#include "drawing/ArcPath.h"
#include "drawing/Canvas.h"

namespace pallowin {

constexpr std::uint32_t GreyPenColor = 8421504;

std::uint32_t PenColorForCode(const std::int32_t (&colors)[8], std::int32_t code);
TPenStyle PenStyleForLineType(std::int32_t lineType);

class Strokes {
public:
    Strokes(Canvas& canvas, const std::int32_t (&colors)[8]) : canvas_(canvas), colors_(colors) {}

    void SelectPenColor(std::int32_t code);
    void SelectPenStyle(std::int32_t lineType);
    void DrawSegment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void DrawArc(float centreX, float centreY, float radius, float startAngle, float endAngle,
                 float flatness, float tilt);

    Canvas& Surface() { return canvas_; }

private:
    Canvas& canvas_;
    const std::int32_t (&colors_)[8];
    // A Strokes lives for one render, so this bounds the render's immoderate arcs.
    ImmoderateArcBudget immoderateArcs_;
};

}  // namespace pallowin
