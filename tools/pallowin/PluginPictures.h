// Pictures and picture information made by the plug-in's own exports, in
// memory mode, so a desktop tool hands out exactly the pixels a host gets.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DibPicture.h"
#include "drawing/JwFormat.h"
#include "settings/PluginSettings.h"

namespace pallowin::desktop {

// Starts the plug-in body for the tool's lifetime. The settings it loaded
// are put back before it saves them, so a tool never changes what a host
// finds in the registry; in between the tool starts from the defaults.
class PluginSession {
public:
    PluginSession();
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    bool Started() const { return started_; }

private:
    bool started_;
    TPluginSettings loaded_;
};

// What the tool asks for; unset sizes follow the plug-in's defaults, one
// size alone keeps the sheet's ratio.
struct RenderOptions {
    std::optional<std::int32_t> width, height;
    bool preview = false;
    bool honourLayers = false;
    std::optional<std::int32_t> colors[ColorCount];  // 0x00BBGGRR
};

// The tools hold a picture three times over (host block, copy, PNG rows).
constexpr std::int64_t MaxPicturePixels = std::int64_t{8192} * 8192;

constexpr std::int32_t PreviewWidth = 128;
constexpr std::int32_t PreviewHeight = 90;

struct PictureSize {
    std::int32_t width, height;
};
PictureSize SizeFor(TFileKind kind, const RenderOptions& options);
// The largest picture of the sheet's ratio that fits size x size.
PictureSize FitInSquare(TFileKind kind, std::int32_t size);

// The file's kind as IsSupported sees it (fkNone when not recognised).
TFileKind RecogniseFile(const std::vector<std::uint8_t>& file, const std::string& name);

// The outcome of one export call: the plug-in's result code, and for a
// failure a one-line reason fit for a user.
struct Outcome {
    std::int32_t code = 0;
    std::string reason;
    bool Ok() const { return code == 0; }
};

// IsSupported, then GetPicture (or GetPreview) on the file image.
Outcome RenderFile(const std::vector<std::uint8_t>& file, const std::string& name,
                   const RenderOptions& options, DibPicture& picture);

struct PictureDescription {
    TFileKind kind = fkNone;
    std::int32_t width = 0, height = 0, colorDepth = 0;
    std::string text;  // the plug-in's information text, code page 932
};
// GetPictureInfo on the file image.
Outcome DescribeFile(const std::vector<std::uint8_t>& file, PictureDescription& description);

// Why the parser rejects this image; empty when it accepts it.
std::string ParserComplaint(const std::vector<std::uint8_t>& file, TFileKind kind);

// The whole file, or nullopt with a one-line reason in `error` ("cannot
// open: " and the system's words, or a file too large to be a drawing).
std::optional<std::vector<std::uint8_t>> ReadInputFile(const std::string& path, std::string& error);

}  // namespace pallowin::desktop
