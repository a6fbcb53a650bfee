// The pallowin command line: subcommand, options and inputs.
#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ImageFiles.h"
#include "PluginPictures.h"

namespace pallowin::desktop {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Action { Render, Info, Help, Version };

struct CommandLine {
    Action action = Action::Help;
    std::vector<std::string> inputs;
    std::optional<std::string> output;     // -o: the one output file
    std::optional<std::string> directory;  // -d: DIR/<input stem>.<format>
    ImageFormat directoryFormat = ImageFormat::Png;
    RenderOptions render;
    bool quiet = false;
};

// args without the program name. Throws UsageError with a one-line reason.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// "#RRGGBB" (or "RRGGBB") as a 0x00BBGGRR colour value.
std::optional<std::int32_t> ParseColor(const std::string& text);

extern const char* const UsageText;
constexpr const char* VersionText = "pallowin 1.04";

}  // namespace pallowin::desktop
