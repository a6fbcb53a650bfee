// The drawing sheet (518 x 366 units, y up) at the top-left of the picture,
// scaled by s; every pixel coordinate is rounded on its own.
#include "drawing/PixelMapping.h"
#include "drawing/RenderSteps.h"

namespace pallowin {

namespace {

constexpr std::int32_t SheetWidth = 518;
constexpr std::int32_t SheetHeight = 366;

struct SheetToPixels {
    float s;
    // raise: sheet units the texts are lifted by.
    std::int32_t X(float x) const { return CheckedRound(static_cast<long double>(x) * s); }
    std::int32_t Y(float y, int raise = 0) const {
        return CheckedRound((SheetHeight - static_cast<long double>(y) - raise) * s);
    }
    std::int32_t Length(float r) const { return X(r); }
};

class DrawingPasses {
public:
    DrawingPasses(const DrawingHeader& header, const TPluginSettings& settings, Canvas& canvas,
                  ProgressSink* sink)
        : header_(header),
          settings_(settings),
          canvas_(canvas),
          sink_(sink),
          strokes_(canvas, settings.Colors),
          map_{SheetScale(canvas.Width(), canvas.Height(), SheetWidth, SheetHeight)} {}

    void Run() {
        FillBackground(canvas_, static_cast<std::uint32_t>(settings_.Colors[ciBack]));
        Report(sink_, 5);
        RecordCounter counter(std::int64_t{header_.Lines.count} + header_.Arcs.count +
                                  header_.Texts.count + header_.Points.count,
                              sink_);
        PenTracker pen(strokes_, sink_);
        Lines(pen, counter);
        Arcs(pen, counter);
        Texts(counter);
        Points(counter);
        BeginPass(sink_, RecordPass::None);
        Report(sink_, 110);
    }

private:
    bool Shown(std::uint8_t layer) const {
        return !settings_.ViewMode || header_.LayerTable[layer] == 1;
    }

    void Lines(PenTracker& pen, RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Lines);
        for (std::int32_t i = 0; i < header_.Lines.count; ++i) {
            const TLineRec r = header_.Lines[i];
            if (Shown(r.Layer)) {
                pen.Apply(r.Color, r.LineType);
                strokes_.DrawSegment(map_.X(r.X1), map_.Y(r.Y1), map_.X(r.X2), map_.Y(r.Y2));
            }
            counter.Step();
        }
    }

    void Arcs(PenTracker& pen, RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Arcs);
        for (std::int32_t i = 0; i < header_.Arcs.count; ++i) {
            const TArcRec r = header_.Arcs[i];
            if (Shown(r.Layer)) {
                pen.Apply(r.Color, r.LineType);
                DrawArcRecord(strokes_, static_cast<float>(map_.X(r.X)),
                              static_cast<float>(map_.Y(r.Y)),
                              static_cast<float>(map_.Length(r.Radius)), r);
            }
            counter.Step();
        }
    }

    void Texts(RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Texts);
        // Set directly: the trackers keep what the arcs left.
        canvas_.SetPenStyle(psSolid);
        canvas_.SetPenColor(static_cast<std::uint32_t>(settings_.Colors[ciText]));
        for (std::int32_t i = 0; i < header_.Texts.count; ++i) {
            const TTextRec r = header_.Texts[i];
            if (Shown(r.Layer))
                strokes_.DrawSegment(map_.X(r.X1), map_.Y(r.Y1, 1), map_.X(r.X2),
                                     map_.Y(r.Y2, 1));
            counter.Step();
        }
    }

    void Points(RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Points);
        for (std::int32_t i = 0; i < header_.Points.count; ++i) {
            const TPointRec r = header_.Points[i];
            if (Shown(r.Layer))
                canvas_.SetPixel(map_.X(r.X), map_.Y(r.Y), PenColorForCode(settings_.Colors, r.Color));
            counter.Step();
        }
    }

    const DrawingHeader& header_;
    const TPluginSettings& settings_;
    Canvas& canvas_;
    ProgressSink* sink_;
    Strokes strokes_;
    SheetToPixels map_;
};

}  // namespace

void DrawDrawing(const DrawingHeader& header, const TPluginSettings& settings, Canvas& canvas,
                 ProgressSink* progress) {
    DrawingPasses(header, settings, canvas, progress).Run();
}

}  // namespace pallowin
