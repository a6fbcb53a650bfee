#include "drawing/RenderSteps.h"

#include "drawing/PixelMapping.h"

namespace pallowin {

float SheetScale(std::int32_t width, std::int32_t height, std::int32_t sheetWidth,
                 std::int32_t sheetHeight) {
    float scale = static_cast<float>(static_cast<long double>(width) / sheetWidth);
    const long double byHeight = static_cast<long double>(height) / sheetHeight;
    if (byHeight < scale) scale = static_cast<float>(byHeight);
    return scale;
}

void FillBackground(Canvas& canvas, std::uint32_t back) {
    canvas.SetBrushColor(back);
    canvas.SetBackgroundColor(back);
    canvas.SetPenStyle(psSolid);
    canvas.SetPenColor(back);
    canvas.Rectangle(0, 0, canvas.Width() + 1, canvas.Height() + 1);
}

PenTracker::PenTracker(Strokes& strokes, ProgressSink* sink) : strokes_(strokes), sink_(sink) {
    strokes_.SelectPenColor(color_);
    strokes_.SelectPenStyle(lineType_);
}

void PenTracker::Apply(std::int32_t colorCode, std::int32_t lineType) {
    if (colorCode != color_) {
        strokes_.SelectPenColor(colorCode);
        color_ = colorCode;
        if (sink_ != nullptr) sink_->PenColorSelected(colorCode);
    }
    if (lineType != lineType_) {
        strokes_.SelectPenStyle(lineType);
        lineType_ = lineType;
        if (sink_ != nullptr) sink_->PenStyleSelected(lineType);
    }
}

void DrawArcRecord(Strokes& strokes, float centreX, float centreY, float radius,
                   const TArcRec& arc) {
    strokes.DrawArc(centreX, centreY, radius, static_cast<float>(arc.StartAngle / 65536.0L),
                    static_cast<float>(arc.EndAngle / 65536.0L),
                    static_cast<float>(arc.Flatness / 10000.0L),
                    static_cast<float>(arc.Tilt / 65536.0L));
}

void RecordCounter::ReportShare() {
    sink_->Report(CheckedRound(static_cast<long double>(n_) / total_ * 100) + 5);
}

}  // namespace pallowin
