// pallowin info prints the plug-in's picture information in UTF-8, and the
// committed examples are what the generator writes.
#include <gtest/gtest.h>

#include <string>

#include "ToolRun.h"
#include "drawing/JwFormat.h"
#include "tools/examples/ExampleFiles.h"

namespace pallowin::clitest {
namespace {

const std::string Cli = PALLOWIN_CLI;
const std::string Examples = PALLOWIN_EXAMPLES_DIR;

TEST(InfoCommand, DrawingInformationInUtf8) {
    const std::string path = Examples + "/floorplan.jwc";
    const DrawingHeader header = ParseDrawingHeader(ReadBytes(path));
    ToolResult run = RunTool({Cli, "info", path});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, path + ": drawing file, 518 x 366 pixels, 24 bits\n"
                       "  メ　モ：木造平屋 平面図 S=1/100\n"
                       "  線　数：" + std::to_string(header.LineCount) + "\n"
                       "  円弧数：" + std::to_string(header.ArcCount) + "\n"
                       "  文列数：" + std::to_string(header.TextCount) + "\n"
                       "  点　数：" + std::to_string(header.PointCount) + "\n");
}

// A figure's count line gives points before texts; info passes on the
// plug-in's text as it stands.
TEST(InfoCommand, FiguresAndSeveralInputs) {
    const std::string door = Examples + "/door.jwk", basin = Examples + "/basin.jwk";
    const FigureHeader header = ParseFigureHeader(ReadBytes(door));
    ToolResult run = RunTool({Cli, "info", door, basin});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.rfind(door + ": figure file, 100 x 100 pixels, 24 bits\n"
                                   "  メ　モ：片開き戸 800\n"
                                   "  線　数：" + std::to_string(header.LineCount) + "\n"
                                   "  円弧数：" + std::to_string(header.ArcCount) + "\n"
                                   "  文列数：" + std::to_string(header.PointCount) + "\n"
                                   "  点　数：" + std::to_string(header.TextCount) + "\n" +
                                   basin + ": figure file, 100 x 100 pixels, 24 bits\n"
                                   "  メ　モ：洗面器\n",
                            0),
              0u)
        << run.out;
}

TEST(Examples, CommittedFilesAreWhatTheGeneratorWrites) {
    const auto files = pallowin::examples::ExampleFiles();
    ASSERT_GE(files.size(), 4u);
    bool longLayout = false, shortLayout = false;
    for (const auto& file : files) {
        EXPECT_EQ(ReadBytes(Examples + "/" + file.name), file.bytes)
            << file.name << " differs: run pallowin-examples examples/ and commit";
        if (file.name.ends_with(".jwc")) (file.bytes.at(22) == 'f' ? longLayout : shortLayout) = true;
    }
    EXPECT_TRUE(longLayout && shortLayout) << "the examples want both drawing layouts";
}

}  // namespace
}  // namespace pallowin::clitest
