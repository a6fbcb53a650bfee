// pallowin-thumbnailer -s SIZE INPUT OUTPUT: a PNG of a JW_CAD file that fits
// SIZE x SIZE with the sheet's ratio, for file managers that follow the
// freedesktop thumbnail convention.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ImageFiles.h"
#include "PluginPictures.h"

using namespace pallowin::desktop;

namespace {

constexpr long MaxThumbnailSize = 4096;

constexpr const char* UsageLine = "Usage: pallowin-thumbnailer -s SIZE INPUT OUTPUT\n";

int Usage(const char* reason) {
    std::fprintf(stderr, "pallowin-thumbnailer: %s\n%s", reason, UsageLine);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    long size = 0;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-s" || args[i] == "--size") {
            if (i + 1 >= args.size()) return Usage("-s wants a size");
            char* end = nullptr;
            errno = 0;
            size = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || errno != 0 || size < 1 || size > MaxThumbnailSize)
                return Usage("the size must be a whole number from 1 to 4096");
        } else if (args[i] == "--help") {
            std::printf("%sWrites a PNG of a JW_CAD drawing or figure file that fits SIZE x SIZE.\n",
                        UsageLine);
            return 0;
        } else {
            files.push_back(args[i]);
        }
    }
    if (size == 0) return Usage("no size given");
    if (files.size() != 2) return Usage("wants one INPUT and one OUTPUT");
    const std::string& input = files[0];
    const std::string& output = files[1];

    std::string error;
    auto file = ReadInputFile(input, error);
    if (!file) {
        std::fprintf(stderr, "pallowin-thumbnailer: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    PluginSession session;
    RenderOptions options;
    const PictureSize fit = FitInSquare(RecogniseFile(*file, input), static_cast<std::int32_t>(size));
    options.width = fit.width;
    options.height = fit.height;
    DibPicture picture;
    Outcome outcome = RenderFile(*file, input, options, picture);
    if (!outcome.Ok()) {
        std::fprintf(stderr, "pallowin-thumbnailer: %s: %s\n", input.c_str(), outcome.reason.c_str());
        return 1;
    }
    try {
        WritePng(output, picture);
    } catch (const ImageFileError& e) {
        std::fprintf(stderr, "pallowin-thumbnailer: cannot write %s: %s\n", output.c_str(), e.what());
        std::remove(output.c_str());
        return 1;
    }
    return 0;
}
