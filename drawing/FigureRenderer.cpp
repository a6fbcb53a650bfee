// The figure sheet (100 x 100 units, y up) scaled by m, the figure placed by
// its origin and scale factor. The record term and the origin term of each
// coordinate are rounded apart, then added.
#include "drawing/PixelMapping.h"
#include "drawing/RenderSteps.h"

namespace pallowin {

namespace {

constexpr std::int32_t FigureSheetSize = 100;
constexpr std::uint32_t OriginMarkColor = 255;

struct FigureToPixels {
    float scale, m;
    std::int32_t height;
    std::int32_t originX, originY;  // Round(ox * m), Round(oy * m)

    FigureToPixels(const FigureHeader& h, float sheetScale, std::int32_t pictureHeight)
        : scale(h.Scale),
          m(sheetScale),
          height(pictureHeight),
          originX(CheckedRound(static_cast<long double>(h.OriginX) * sheetScale)),
          originY(CheckedRound(static_cast<long double>(h.OriginY) * sheetScale)) {}

    std::int32_t Term(float v) const {
        return CheckedRound(static_cast<long double>(v) * scale * m);
    }
    std::int32_t X(float x) const { return CheckedPixel(std::int64_t{Term(x)} + originX); }
    std::int32_t Y(float y) const {
        return CheckedPixel(std::int64_t{height} - Term(y) - originY);
    }
};

class FigurePasses {
public:
    FigurePasses(const FigureHeader& header, const TPluginSettings& settings, Canvas& canvas,
                 ProgressSink* sink)
        : header_(header),
          settings_(settings),
          canvas_(canvas),
          sink_(sink),
          strokes_(canvas, settings.Colors),
          m_(SheetScale(canvas.Width(), canvas.Height(), FigureSheetSize, FigureSheetSize)),
          map_(header, m_, canvas.Height()) {}

    void Run() {
        FillBackground(canvas_, static_cast<std::uint32_t>(settings_.Colors[ciBack]));
        RecordCounter counter(std::int64_t{header_.Lines.count} + header_.Arcs.count +
                                  header_.Texts.count + header_.Points.count,
                              sink_);
        PenTracker pen(strokes_, sink_);
        Report(sink_, 5);
        Lines(pen, counter);
        Arcs(pen, counter);
        Points(counter);
        Texts(counter);
        BeginPass(sink_, RecordPass::None);
        OriginMark();
        Report(sink_, 110);
    }

private:
    void Lines(PenTracker& pen, RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Lines);
        for (std::int32_t i = 0; i < header_.Lines.count; ++i) {
            const TLineRec r = header_.Lines[i];
            pen.Apply(r.Color, r.LineType);
            strokes_.DrawSegment(map_.X(r.X1), map_.Y(r.Y1), map_.X(r.X2), map_.Y(r.Y2));
            counter.Step();
        }
    }

    void Arcs(PenTracker& pen, RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Arcs);
        for (std::int32_t i = 0; i < header_.Arcs.count; ++i) {
            const TArcRec r = header_.Arcs[i];
            pen.Apply(r.Color, r.LineType);
            DrawArcRecord(strokes_, static_cast<float>(map_.X(r.X)),
                          static_cast<float>(map_.Y(r.Y)),
                          static_cast<float>(map_.Term(r.Radius)), r);
            counter.Step();
        }
    }

    void Points(RecordCounter& counter) {
        BeginPass(sink_, RecordPass::Points);
        for (std::int32_t i = 0; i < header_.Points.count; ++i) {
            const TPointRec r = header_.Points[i];
            canvas_.SetPixel(map_.X(r.X), map_.Y(r.Y), PenColorForCode(settings_.Colors, r.Color));
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
            strokes_.DrawSegment(map_.X(r.X1), map_.Y(r.Y1), map_.X(r.X2), map_.Y(r.Y2));
            counter.Step();
        }
    }

    // Radius 2 in red on top of everything, its centre not rounded. The
    // origin terms were checked when the mapping was made, so the centre is
    // a finite value near the picture's range.
    void OriginMark() {
        canvas_.SetPenColor(OriginMarkColor);
        const float cx = static_cast<float>(static_cast<long double>(header_.OriginX) * m_);
        const float cy =
            static_cast<float>(canvas_.Height() - static_cast<long double>(header_.OriginY) * m_);
        strokes_.DrawArc(cx, cy, 2, 0, 0, 1, 0);
    }

    const FigureHeader& header_;
    const TPluginSettings& settings_;
    Canvas& canvas_;
    ProgressSink* sink_;
    Strokes strokes_;
    float m_;
    FigureToPixels map_;
};

}  // namespace

void DrawFigure(const FigureHeader& header, const TPluginSettings& settings, Canvas& canvas,
                ProgressSink* progress) {
    FigurePasses(header, settings, canvas, progress).Run();
}

}  // namespace pallowin
