// One render each for a drawing and a figure: report, obtain the file image,
// parse, make the host's pixel block and draw straight into it. The pixels
// are drawn once, where the host will read them.
#include <cstring>
#include <utility>

#include "drawing/Renderers.h"
#include "platform/Failures.h"
#include "plugin/DIBSection.h"
#include "plugin/HostFloatState.h"
#include "plugin/InSPIBody.h"
#include "settings/PluginSettings.h"

namespace pallowin {

namespace {

// The host's callback runs under the host's own floating-point state.
void ReportToHost(TInSPIBody& body, std::int32_t num) {
    HostFloatState::CallHost([&] { body.ReportProgress(num, ProgressDenominator); });
}

// The render's scratch fields are empty between renders, whichever way a
// render ends.
class RenderScratch {
public:
    explicit RenderScratch(TInSPIBody& body) : body_(body) {}
    ~RenderScratch() {
        body_.FLines = {};
        body_.FArcs = {};
        body_.FTexts = {};
        body_.FPoints = {};
        body_.FWorkBitmap = nullptr;
        std::vector<std::uint8_t>().swap(body_.FFileData);
    }
    RenderScratch(const RenderScratch&) = delete;
    RenderScratch& operator=(const RenderScratch&) = delete;

private:
    TInSPIBody& body_;
};

// In memory mode the host's bytes stay readable for the whole call, so they
// are drawn from where they are; a file is read whole into FFileData.
ByteSpan ObtainFileImage(TInSPIBody& body, const char* source, HostValue size,
                         std::uint32_t flags) {
    if (IsMemoryInput(flags)) {
        if (size < 0) throw EOutOfMemory("no buffer of a negative size");
        if (size > 0 && source == nullptr) throw EReadError("no image to read");
        return {reinterpret_cast<const std::uint8_t*>(source), static_cast<std::size_t>(size)};
    }
    if (source == nullptr) throw EFOpenError("no file name");
    body.FFileData = platform::ReadWholeFile(source);
    return body.FFileData;
}

// Progress to the host, and the body's view of the pass under way.
template <class Header>
class BodyProgress final : public ProgressSink {
public:
    BodyProgress(TInSPIBody& body, const Header& header) : body_(body), header_(header) {}
    void Report(std::int32_t num) override { ReportToHost(body_, num); }
    void PassBegins(RecordPass pass) override {
        body_.FLines = pass == RecordPass::Lines ? header_.Lines : RecordArray<TLineRec>{};
        body_.FArcs = pass == RecordPass::Arcs ? header_.Arcs : RecordArray<TArcRec>{};
        body_.FTexts = pass == RecordPass::Texts ? header_.Texts : RecordArray<TTextRec>{};
        body_.FPoints = pass == RecordPass::Points ? header_.Points : RecordArray<TPointRec>{};
    }

private:
    TInSPIBody& body_;
    const Header& header_;
};

class LockedSection {
public:
    explicit LockedSection(TDIBSection& dib) : dib_(dib) { dib_.Lock(); }
    ~LockedSection() { dib_.Unlock(); }
    LockedSection(const LockedSection&) = delete;
    LockedSection& operator=(const LockedSection&) = delete;

private:
    TDIBSection& dib_;
};

BitmapInfoHeader PictureHeader(std::int32_t width, std::int32_t height) {
    BitmapInfoHeader h{};
    h.biSize = sizeof(BitmapInfoHeader);
    h.biWidth = width;
    h.biHeight = height;  // positive: rows bottom-up
    h.biPlanes = 1;
    h.biBitCount = 24;
    return h;
}

// Makes the pixel block, draws into it and fills the host's header. Answers
// rcBrokenData, with the header left as it was, when a record cannot be
// placed on the picture.
template <class Header, class Draw>
std::int32_t DrawIntoPixelBlock(TInSPIBody& body, const Header& header, std::int32_t width,
                                std::int32_t height, void* info, TDIBSection& dib, Draw draw) {
    if (width <= 0 || height <= 0) throw Failure("no picture can be made at this size");
    BitmapInfoHeader picture = PictureHeader(width, height);
    dib.Allocate(picture);
    {
        LockedSection locked(dib);
        Canvas canvas(dib.FBits, dib.FWidth, dib.FHeight, dib.FBytesPerLine, RowOrder::BottomUp);
        body.FWorkBitmap = &canvas;
        BodyProgress<Header> progress(body, header);
        try {
            draw(header, PluginSettings, canvas, &progress);
        } catch (const EInvalidGraphic&) {
            body.FWorkBitmap = nullptr;
            return rcBrokenData;
        }
        body.FWorkBitmap = nullptr;
    }
    picture.biSizeImage = static_cast<std::uint32_t>(dib.FBytesPerLine) *
                          static_cast<std::uint32_t>(dib.FHeight);
    std::memcpy(info, &picture, sizeof picture);
    return rcOk;
}

std::int32_t RenderDrawing(TInSPIBody& body, const char* source, HostValue size,
                           std::uint32_t flags, std::int32_t width, std::int32_t height,
                           void* header, TDIBSection& dib) {
    RenderScratch scratch(body);
    ReportToHost(body, 0);
    // Failures to read or convert pass on to the caller's result mapping.
    const ByteSpan file = ObtainFileImage(body, source, size, flags);
    DrawingHeader drawing;
    try {
        drawing = ParseDrawingHeader(file);
    } catch (const EInvalidGraphic&) {
        return rcBrokenData;
    }
    return DrawIntoPixelBlock(body, drawing, width, height, header, dib, DrawDrawing);
}

std::int32_t RenderFigure(TInSPIBody& body, const char* source, HostValue size,
                          std::uint32_t flags, std::int32_t width, std::int32_t height,
                          void* header, TDIBSection& dib) {
    RenderScratch scratch(body);
    ReportToHost(body, 0);
    // A figure that cannot be read or whose count list does not convert gives
    // no picture at all, which the host sees as an internal failure, not as a
    // file error.
    FigureHeader figure;
    FigureCountsSoFar counts;
    // The counts converted before a failing item stay in the body.
    const auto keepCounts = [&] {
        std::int32_t* fields[] = {&body.FLineCount, &body.FArcCount, &body.FPointCount, &body.FTextCount};
        for (int i = 0; i < counts.Parsed && i < 4; ++i) *fields[i] = counts.Counts[i];
    };
    try {
        figure = ParseFigureHeader(ObtainFileImage(body, source, size, flags), &counts);
    } catch (const EInvalidGraphic&) {
        keepCounts();
        return rcBrokenData;
    } catch (...) {
        keepCounts();
        throw Failure("the figure file gave no picture");
    }
    body.FLineCount = figure.LineCount;
    body.FArcCount = figure.ArcCount;
    body.FPointCount = figure.PointCount;
    body.FTextCount = figure.TextCount;
    return DrawIntoPixelBlock(body, figure, width, height, header, dib, DrawFigure);
}

}  // namespace

std::int32_t TInSPIBody::ProduceDrawingDIB(const char* source, HostValue size, std::uint32_t flags,
                                           std::int32_t width, std::int32_t height, void* header,
                                           TDIBSection& dib) {
    ReportToHost(*this, 0);
    if (FAborted) return rcAborted;

    const std::int32_t result = RenderDrawing(*this, source, size, flags, width, height, header, dib);
    if (result != rcOk) return result;
    ReportToHost(*this, 110);
    return rcOk;
}

std::int32_t TInSPIBody::ProduceFigureDIB(const char* source, HostValue size, std::uint32_t flags,
                                          std::int32_t width, std::int32_t height, void* header,
                                          TDIBSection& dib) {
    ReportToHost(*this, 0);
    if (FAborted) return rcAborted;

    const std::int32_t result = RenderFigure(*this, source, size, flags, width, height, header, dib);
    if (result != rcOk) return result;
    ReportToHost(*this, 110);
    return rcOk;
}

}  // namespace pallowin
