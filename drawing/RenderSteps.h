// Steps both renderers share: the fill, the pen trackers and the progress
// count over all passes.
#pragma once
#include <cstdint>

#include "drawing/Renderers.h"
#include "drawing/Strokes.h"

namespace pallowin {

// Paints every pixel in the background colour, outline included, and keeps
// that colour for the gaps of broken pens.
void FillBackground(Canvas& canvas, std::uint32_t back);

// Mirrors the pen the strokes last selected for a line or arc record, so a
// run of like records changes nothing.
class PenTracker {
public:
    PenTracker(Strokes& strokes, ProgressSink* sink);
    void Apply(std::int32_t colorCode, std::int32_t lineType);

private:
    Strokes& strokes_;
    ProgressSink* sink_;
    std::int32_t color_ = 2;
    std::int32_t lineType_ = 1;
};

// An arc record at its pixel centre and radius: angles from 1/65536 degree
// and flatness from 1/10000, each held as a float.
void DrawArcRecord(Strokes& strokes, float centreX, float centreY, float radius,
                   const TArcRec& arc);

// Counts every record, drawn or not, and reports each ProgressInterval-th.
class RecordCounter {
public:
    RecordCounter(std::int64_t total, ProgressSink* sink) : total_(total), sink_(sink) {}
    void Step() {
        if (++n_ % ProgressInterval == 0 && sink_ != nullptr) ReportShare();
    }

private:
    void ReportShare();
    std::int64_t n_ = 0;
    std::int64_t total_;
    ProgressSink* sink_;
};

inline void Report(ProgressSink* sink, std::int32_t num) {
    if (sink != nullptr) sink->Report(num);
}
inline void BeginPass(ProgressSink* sink, RecordPass pass) {
    if (sink != nullptr) sink->PassBegins(pass);
}

}  // namespace pallowin
