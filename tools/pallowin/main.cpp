// pallowin: renders and describes JW_CAD files from the command line through
// the plug-in's own exports.
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "CommandLine.h"
#include "Cp932Text.h"
#include "ImageFiles.h"
#include "PluginPictures.h"

namespace fs = std::filesystem;
using namespace pallowin::desktop;

namespace {

// "n of N, current file" on stderr for batches on a terminal; nothing otherwise.
class ProgressLine {
public:
    ProgressLine(bool wanted, std::size_t total)
        : enabled_(wanted && total > 1 && isatty(fileno(stderr)) != 0), total_(total) {}
    ~ProgressLine() { Clear(); }

    void Show(std::size_t n, const std::string& name) {
        if (!enabled_) return;
        std::string line = std::to_string(n) + " of " + std::to_string(total_) + ": " + name;
        // A line that wraps could not be rewritten in place.
        if (std::size_t width = TerminalColumns(); width > 1 && line.size() > width - 1)
            line.resize(width - 1);
        std::fprintf(stderr, "\r%s%*s", line.c_str(), Padding(line.size()), "");
        shown_ = line.size();
        std::fflush(stderr);
    }
    void Clear() {
        if (!enabled_ || shown_ == 0) return;
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(shown_), "");
        shown_ = 0;
        std::fflush(stderr);
    }

private:
    static std::size_t TerminalColumns() {
#if defined(_WIN32)
        return 80;
#else
        winsize size{};
        if (ioctl(fileno(stderr), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
        return 80;
#endif
    }
    int Padding(std::size_t now) const { return now < shown_ ? static_cast<int>(shown_ - now) : 0; }
    bool enabled_;
    std::size_t total_;
    std::size_t shown_ = 0;
};

// Reasons may quote bytes of the file: its Shift-JIS text is shown as such,
// and control bytes cannot move the cursor or ring the bell.
std::string Printable(const std::string& reason) {
    std::string out;
    for (char c : Cp932ToUtf8(reason)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

class Reporter {
public:
    explicit Reporter(ProgressLine& progress) : progress_(progress) {}
    void Fail(const std::string& file, const std::string& reason) {
        progress_.Clear();
        std::fprintf(stderr, "pallowin: %s: %s\n", file.c_str(), Printable(reason).c_str());
        ++failures_;
    }
    int ExitStatus() const { return failures_ == 0 ? 0 : 1; }

private:
    ProgressLine& progress_;
    int failures_ = 0;
};

int RunRender(const CommandLine& cmd) {
    ProgressLine progress(!cmd.quiet, cmd.inputs.size());
    Reporter report(progress);
    if (cmd.directory) {
        std::error_code ec;
        fs::create_directories(*cmd.directory, ec);
        if (ec) {
            report.Fail(*cmd.directory, "cannot create the directory: " + ec.message());
            return report.ExitStatus();
        }
    }
    PluginSession session;
    if (!session.Started()) {
        std::fprintf(stderr, "pallowin: the plug-in could not start\n");
        return 1;
    }
    std::set<std::string> written;
    for (std::size_t i = 0; i < cmd.inputs.size(); ++i) {
        const std::string& input = cmd.inputs[i];
        progress.Show(i + 1, input);
        std::string output;
        ImageFormat format;
        if (cmd.output) {
            output = *cmd.output;
            format = FormatOfPath(output);
        } else {
            format = cmd.directoryFormat;
            output = (fs::path(*cmd.directory) /
                      fs::path(input).stem().concat(format == ImageFormat::Bmp ? ".bmp" : ".png"))
                         .string();
        }
        if (!written.insert(output).second) {
            report.Fail(input, "not written: an earlier input already went to " + output);
            continue;
        }
        std::string error;
        auto file = ReadInputFile(input, error);
        if (!file) {
            report.Fail(input, error);
            continue;
        }
        DibPicture picture;
        Outcome outcome = RenderFile(*file, input, cmd.render, picture);
        if (!outcome.Ok()) {
            report.Fail(input, outcome.reason);
            continue;
        }
        try {
            WriteImage(output, picture, format);
        } catch (const ImageFileError& e) {
            report.Fail(input, "cannot write " + output + ": " + e.what());
        }
    }
    return report.ExitStatus();
}

const char* KindName(pallowin::TFileKind kind) {
    switch (kind) {
    case pallowin::fkDrawing: return "drawing file";
    case pallowin::fkFigure: return "figure file";
    default: return "file";
    }
}

int RunInfo(const CommandLine& cmd) {
    ProgressLine progress(false, cmd.inputs.size());
    Reporter report(progress);
    PluginSession session;
    if (!session.Started()) {
        std::fprintf(stderr, "pallowin: the plug-in could not start\n");
        return 1;
    }
    for (const std::string& input : cmd.inputs) {
        std::string error;
        auto file = ReadInputFile(input, error);
        if (!file) {
            report.Fail(input, error);
            continue;
        }
        PictureDescription d;
        Outcome outcome = DescribeFile(*file, d);
        if (!outcome.Ok()) {
            report.Fail(input, outcome.reason);
            continue;
        }
        std::printf("%s: %s, %d x %d pixels, %d bits\n", input.c_str(), KindName(d.kind), d.width,
                    d.height, d.colorDepth);
        std::string text = Cp932ToUtf8(d.text);
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::printf("  %s\n", text.substr(start, end - start).c_str());
            start = end + 1;
        }
        std::fflush(stdout);
    }
    return report.ExitStatus();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CommandLine cmd;
    try {
        cmd = ParseCommandLine(args);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "pallowin: %s\n", e.what());
        return 2;
    }
    switch (cmd.action) {
    case Action::Help: std::fputs(UsageText, stdout); return 0;
    case Action::Version: std::puts(VersionText); return 0;
    case Action::Render: return RunRender(cmd);
    case Action::Info: return RunInfo(cmd);
    }
    return 2;
}
