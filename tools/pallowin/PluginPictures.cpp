#include "PluginPictures.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "drawing/Canvas.h"
#include "drawing/Renderers.h"
#include "plugin/Exports.h"
#include "platform/Failures.h"
#include "platform/Platform.h"
#include "plugin/InSPIBody.h"

namespace pallowin::desktop {
namespace {

namespace host = pallowin::platform;

constexpr std::uint32_t MemoryInput = 1;
// IsSupported reads a buffer of exactly this many bytes when given a pointer.
constexpr std::size_t CheckBufferSize = 2048;

// Real drawings are a few megabytes; the cap keeps a device or a stray disk
// image from filling memory.
constexpr std::size_t MaxInputBytes = std::size_t{256} << 20;

constexpr double DrawingRatio = 366.0 / 518.0;  // height per width of the drawing sheet

std::int32_t RoundedAtLeastOne(double value) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(value)));
}

std::int32_t ReadLe32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

// A host block, freed when the tool is done with it, as a host frees it.
struct OwnedBlock {
    host::HostBlock block = nullptr;
    ~OwnedBlock() {
        if (block != nullptr) host::FreeHostBlock(block);
    }
};

std::vector<std::uint8_t> CopyBlock(host::HostBlock block) {
    std::vector<std::uint8_t> bytes(host::HostBlockSize(block));
    if (void* p = host::LockHostBlock(block)) {
        std::memcpy(bytes.data(), p, bytes.size());
        host::UnlockHostBlock(block);
    } else {
        bytes.clear();
    }
    return bytes;
}

void ApplyOptions(TFileKind kind, const RenderOptions& options) {
    TPluginSettings settings = DefaultSettings;
    for (int i = 0; i < ColorCount; ++i)
        if (options.colors[i]) settings.Colors[i] = *options.colors[i];
    settings.ViewMode = options.honourLayers;
    const PictureSize size = SizeFor(kind, options);
    if (kind == fkFigure) {
        settings.JWK_W = size.width;
        settings.JWK_H = size.height;
    } else {
        settings.JWC_W = size.width;
        settings.JWC_H = size.height;
    }
    PluginSettings = settings;
}

// Draws the file again onto a scratch canvas with the settings of the failed
// request, to catch the renderer's own reason.
std::string RendererComplaint(const std::vector<std::uint8_t>& file, TFileKind kind, const PictureSize& size) {
    try {
        const std::size_t stride = (static_cast<std::size_t>(size.width) * 3 + 3) / 4 * 4;
        std::vector<std::uint8_t> bits(stride * static_cast<std::size_t>(size.height));
        Canvas canvas(bits.data(), size.width, size.height, static_cast<std::ptrdiff_t>(stride),
                      RowOrder::BottomUp);
        if (kind == fkDrawing) DrawDrawing(ParseDrawingHeader(file), PluginSettings, canvas, nullptr);
        else if (kind == fkFigure) DrawFigure(ParseFigureHeader(file), PluginSettings, canvas, nullptr);
    } catch (const Failure& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
    }
    return {};
}

std::string FailureReason(std::int32_t code, const std::vector<std::uint8_t>& file,
                          TFileKind kind, const PictureSize& size) {
    switch (code) {
    case rcUnsupportedFormat:
        return "not a JW_CAD file (no drawing or figure signature)";
    case rcNoMemory:
        return "out of memory for a " + std::to_string(size.width) + " x " +
               std::to_string(size.height) + " picture";
    case rcNotImplemented:
        return "the plug-in does not make a picture of this file";
    case rcAborted:
        return "stopped";
    default:
        break;
    }
    // The result codes say little; the parser, or else the renderer, says
    // what is wrong.
    std::string complaint = ParserComplaint(file, kind);
    if (complaint.empty() && code == rcBrokenData) complaint = RendererComplaint(file, kind, size);
    if (!complaint.empty()) return "broken data: " + complaint;
    if (code == rcBrokenData) return "broken data";
    return "the plug-in failed (result " + std::to_string(code) + ")";
}

}  // namespace

PluginSession::PluginSession() : started_(PluginStartup()), loaded_(PluginSettings) {
    PluginSettings = DefaultSettings;
}

PluginSession::~PluginSession() {
    PluginSettings = loaded_;
    PluginShutdown();
}

PictureSize SizeFor(TFileKind kind, const RenderOptions& options) {
    if (options.preview) return {PreviewWidth, PreviewHeight};
    const bool figure = kind == fkFigure;
    const double ratio = figure ? 1.0 : DrawingRatio;
    if (options.width && options.height) return {*options.width, *options.height};
    if (options.width) return {*options.width, RoundedAtLeastOne(*options.width * ratio)};
    if (options.height) return {RoundedAtLeastOne(*options.height / ratio), *options.height};
    return figure ? PictureSize{DefaultSettings.JWK_W, DefaultSettings.JWK_H}
                  : PictureSize{DefaultSettings.JWC_W, DefaultSettings.JWC_H};
}

PictureSize FitInSquare(TFileKind kind, std::int32_t size) {
    if (kind == fkFigure) return {size, size};
    return {size, RoundedAtLeastOne(size * DrawingRatio)};
}

TFileKind RecogniseFile(const std::vector<std::uint8_t>& file, const std::string& name) {
    std::vector<std::uint8_t> first(CheckBufferSize, 0);
    std::copy_n(file.begin(), std::min(file.size(), CheckBufferSize), first.begin());
    if (IsSupported(name.c_str(), first.data()) == 0)
        return fkNone;
    return PluginBody != nullptr ? PluginBody->FFileKind : fkNone;
}

Outcome RenderFile(const std::vector<std::uint8_t>& file, const std::string& name,
                   const RenderOptions& options, DibPicture& picture) {
    const TFileKind kind = RecogniseFile(file, name);
    const PictureSize size = SizeFor(kind, options);
    if (kind == fkNone) return {rcUnsupportedFormat, FailureReason(rcUnsupportedFormat, file, kind, size)};
    if (std::int64_t{size.width} * size.height > MaxPicturePixels)
        return {rcNoMemory, "a " + std::to_string(size.width) + " x " + std::to_string(size.height) +
                                " picture is too large (at most " + std::to_string(MaxPicturePixels) +
                                " pixels)"};
    ApplyOptions(kind, options);

    OwnedBlock info, bits;
    const auto source = reinterpret_cast<const char*>(file.data());
    const auto length = static_cast<HostValue>(file.size());
    const std::int32_t code =
        options.preview
            ? GetPreview(source, length, MemoryInput, &info.block, &bits.block, nullptr, 0)
            : GetPicture(source, length, MemoryInput, &info.block, &bits.block, nullptr, 0);
    if (code != rcOk) return {code, FailureReason(code, file, kind, size)};

    const std::vector<std::uint8_t> header = CopyBlock(info.block);
    if (header.size() < picture.header.size())
        return {rcInternalError, "the plug-in handed over no picture header"};
    std::copy_n(header.begin(), picture.header.size(), picture.header.begin());
    picture.width = ReadLe32(header.data() + 4);
    picture.height = ReadLe32(header.data() + 8);
    picture.bits = CopyBlock(bits.block);
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.bits.size() < picture.Stride() * static_cast<std::size_t>(picture.height))
        return {rcInternalError, "the plug-in handed over an incomplete picture"};
    picture.bits.resize(picture.Stride() * static_cast<std::size_t>(picture.height));
    return {};
}

Outcome DescribeFile(const std::vector<std::uint8_t>& file, PictureDescription& description) {
    PictureInfo info{};
    const std::int32_t code = GetPictureInfo(reinterpret_cast<const char*>(file.data()),
                                             static_cast<HostValue>(file.size()), MemoryInput, &info);
    OwnedBlock text{info.InfoText};
    if (code != rcOk) {
        const TFileKind kind = PluginBody != nullptr ? PluginBody->FFileKind : fkNone;
        return {code, FailureReason(code, file, kind, {0, 0})};
    }
    description.kind = PluginBody != nullptr ? PluginBody->FFileKind : fkNone;
    description.width = info.Width;
    description.height = info.Height;
    description.colorDepth = info.ColorDepth;
    if (text.block != nullptr) {
        std::vector<std::uint8_t> bytes = CopyBlock(text.block);
        auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
        description.text.assign(bytes.begin(), end);
    }
    return {};
}

std::string ParserComplaint(const std::vector<std::uint8_t>& file, TFileKind kind) {
    try {
        if (kind == fkDrawing) ParseDrawingHeader(file);
        else if (kind == fkFigure) ParseFigureHeader(file);
        else return {};
    } catch (const EConvertError& e) {
        return std::string("a header field does not convert: ") + e.what();
    } catch (const Failure& e) {
        return e.what();
    } catch (const std::bad_alloc&) {
        return {};
    }
    // A file shorter than the information fields the header carries.
    if (file.size() < 300) return "the file ends inside its header (" + std::to_string(file.size()) + " bytes)";
    return {};
}

std::optional<std::vector<std::uint8_t>> ReadInputFile(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data;
    std::uint8_t chunk[1 << 16];
    bool tooLarge = false;
    for (;;) {
        std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
        if (data.size() + n > MaxInputBytes) {
            tooLarge = true;
            break;
        }
        data.insert(data.end(), chunk, chunk + n);
        if (n < sizeof chunk) break;
    }
    const bool failed = std::ferror(f) != 0;
    const int readErrno = errno;
    std::fclose(f);
    if (tooLarge) {
        error = "larger than " + std::to_string(MaxInputBytes >> 20) + " MiB: too large for a JW_CAD file";
        return std::nullopt;
    }
    if (failed) {
        error = readErrno == EISDIR ? "cannot open: is a directory"
                                    : std::string("cannot read: ") + std::strerror(readErrno);
        return std::nullopt;
    }
    return data;
}

}  // namespace pallowin::desktop
