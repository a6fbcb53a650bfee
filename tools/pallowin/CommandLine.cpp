#include "CommandLine.h"

#include <cerrno>
#include <cstdlib>

namespace pallowin::desktop {
namespace {

// Large enough for any print; small enough that a typo does not ask for gigabytes.
constexpr long MaxSide = 16384;

std::int32_t ParseSide(const std::string& option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < 1 || value > MaxSide)
        throw UsageError(option + " wants a whole number from 1 to " + std::to_string(MaxSide) +
                         ", not '" + text + "'");
    return static_cast<std::int32_t>(value);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Colour options and the settings entry each one sets.
struct ColorOption {
    const char* name;
    int index;
};
constexpr ColorOption ColorOptions[] = {
    {"--background", 0}, {"--line1", 1}, {"--line2", 2}, {"--line3", 3},
    {"--line4", 4},      {"--line5", 5}, {"--line6", 6}, {"--text", 7},
};

}  // namespace

std::optional<std::int32_t> ParseColor(const std::string& text) {
    std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6) return std::nullopt;
    int v[6];
    for (int i = 0; i < 6; ++i)
        if ((v[i] = HexDigit(hex[i])) < 0) return std::nullopt;
    const int red = v[0] * 16 + v[1], green = v[2] * 16 + v[3], blue = v[4] * 16 + v[5];
    return blue << 16 | green << 8 | red;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cmd;
    if (args.empty()) throw UsageError("no command given (try 'pallowin --help')");
    const std::string& first = args[0];
    if (first == "--help" || first == "help") return cmd;
    if (first == "--version") {
        cmd.action = Action::Version;
        return cmd;
    }
    if (first == "render") cmd.action = Action::Render;
    else if (first == "info") cmd.action = Action::Info;
    else throw UsageError("unknown command '" + first + "' (try 'pallowin --help')");

    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            cmd.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= args.size()) throw UsageError(arg + " wants a value");
            return args[++i];
        };
        auto flag = [&]() {
            if (inlineValue) throw UsageError(arg + " takes no value");
            return true;
        };
        const bool rendering = cmd.action == Action::Render;

        if (arg == "--help") {
            cmd.action = Action::Help;
            return cmd;
        }
        if (!rendering) throw UsageError("unknown option '" + arg + "' for info");
        if (arg == "-o" || arg == "--output") cmd.output = value();
        else if (arg == "-d" || arg == "--directory") cmd.directory = value();
        else if (arg == "-f" || arg == "--format") {
            std::string f = value();
            cmd.directoryFormat = FormatOfPath("." + f);
            if (cmd.directoryFormat == ImageFormat::Unknown)
                throw UsageError("--format wants png or bmp, not '" + f + "'");
        } else if (arg == "-w" || arg == "--width") cmd.render.width = ParseSide(arg, value());
        else if (arg == "-h" || arg == "--height") cmd.render.height = ParseSide(arg, value());
        else if (arg == "--preview") cmd.render.preview = flag();
        else if (arg == "--layers") cmd.render.honourLayers = flag();
        else if (arg == "-q" || arg == "--quiet") cmd.quiet = flag();
        else {
            bool known = false;
            for (const ColorOption& c : ColorOptions) {
                if (arg != c.name) continue;
                std::string text = value();
                cmd.render.colors[c.index] = ParseColor(text);
                if (!cmd.render.colors[c.index])
                    throw UsageError(arg + " wants a colour as #RRGGBB, not '" + text + "'");
                known = true;
            }
            if (!known) throw UsageError("unknown option '" + arg + "' (try 'pallowin --help')");
        }
    }

    if (cmd.inputs.empty()) throw UsageError("no input file given");
    if (cmd.action == Action::Render) {
        if (cmd.output.has_value() == cmd.directory.has_value())
            throw UsageError("render wants either -o OUTPUT or -d DIR");
        if (cmd.output && cmd.inputs.size() > 1)
            throw UsageError("-o takes one input; use -d DIR for several");
        if (cmd.output && FormatOfPath(*cmd.output) == ImageFormat::Unknown)
            throw UsageError("cannot tell the format of '" + *cmd.output + "' (use .png or .bmp)");
        if (cmd.render.preview && (cmd.render.width || cmd.render.height))
            throw UsageError("--preview has its own size (128 x 90); drop -w and -h");
    }
    return cmd;
}

const char* const UsageText =
    "Usage: pallowin render [OPTIONS] INPUT... (-o OUTPUT | -d DIR)\n"
    "       pallowin info INPUT...\n"
    "       pallowin --help | --version\n"
    "\n"
    "Renders JW_CAD drawing files (*.jwc) and figure files (*.jwk) to PNG or BMP\n"
    "with the same code, and so the same pixels, as the image-viewer plug-in.\n"
    "\n"
    "render options:\n"
    "  -o, --output FILE       write the one INPUT to FILE; .png or .bmp chooses the format\n"
    "  -d, --directory DIR     write every INPUT to DIR/<name>.png (DIR is created)\n"
    "  -f, --format png|bmp    format of the files -d writes (default png)\n"
    "  -w, --width N           picture width in pixels (drawings 518, figures 100)\n"
    "  -h, --height N          picture height in pixels (drawings 366, figures 100);\n"
    "                          one of the two alone keeps the sheet's ratio\n"
    "      --preview           the plug-in's preview picture, 128 x 90\n"
    "      --layers            leave out the layers the drawing marks as hidden\n"
    "      --background COLOR  colours as #RRGGBB: background (default #000000),\n"
    "      --line1 ... --line6   line colours 1 to 6,\n"
    "      --text COLOR          texts (default #FF0000)\n"
    "  -q, --quiet             no progress line\n"
    "\n"
    "info prints the picture information the plug-in gives a viewer: kind, size,\n"
    "memo and the numbers of lines, arcs, texts and points.\n"
    "\n"
    "Exit status: 0 when every input was done, 1 when any input failed, 2 for a\n"
    "usage error.\n";

}  // namespace pallowin::desktop
