#include "drawing/Strokes.h"

#include "drawing/ArcPath.h"

namespace pallowin {

std::uint32_t PenColorForCode(const std::int32_t (&colors)[8], std::int32_t code) {
    if (code >= 0 && code <= 7) return static_cast<std::uint32_t>(colors[code]);
    return GreyPenColor;
}

TPenStyle PenStyleForLineType(std::int32_t lineType) {
    switch (lineType) {
    case 2:
    case 3:
    case 9: return psDot;
    case 4: return psDash;
    case 5:
    case 6: return psDashDot;
    case 7:
    case 8: return psDashDotDot;
    default: return psSolid;
    }
}

void Strokes::SelectPenColor(std::int32_t code) { canvas_.SetPenColor(PenColorForCode(colors_, code)); }

void Strokes::SelectPenStyle(std::int32_t lineType) {
    canvas_.SetPenStyle(PenStyleForLineType(lineType));
}

void Strokes::DrawSegment(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    canvas_.MoveTo(x1, y1);
    canvas_.LineTo(x2, y2);
}

namespace {
class CanvasPath final : public PathSink {
public:
    explicit CanvasPath(Canvas& canvas) : canvas_(canvas) {}
    void MoveTo(std::int32_t x, std::int32_t y) override { canvas_.MoveTo(x, y); }
    void LineTo(std::int32_t x, std::int32_t y) override { canvas_.LineTo(x, y); }

private:
    Canvas& canvas_;
};
}  // namespace

void Strokes::DrawArc(float centreX, float centreY, float radius, float startAngle,
                      float endAngle, float flatness, float tilt) {
    CanvasPath path(canvas_);
    const VisibleArea area{canvas_.Width(), canvas_.Height()};
    TraceArc({centreX, centreY, radius, startAngle, endAngle, flatness, tilt}, path, &area,
             &immoderateArcs_);
}

}  // namespace pallowin
