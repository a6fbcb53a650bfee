// How pallowin fails: one line per bad input naming it and the reason, a
// non-zero exit status, and every other input still done.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "ToolRun.h"
#include "tools/jwwriter/JwWriter.h"

namespace pallowin::clitest {
namespace {

using namespace pallowin::jwwriter;

const std::string Cli = PALLOWIN_CLI;
const std::string Examples = PALLOWIN_EXAMPLES_DIR;

jwwriter::DrawingSpec SmallDrawing() {
    DrawingSpec d;
    d.memo = "test";
    d.lines = {Line(10, 10, 500, 300), Line(10, 300, 500, 10, 3, 4)};
    d.arcs = {Circle(259, 183, 50)};
    return d;
}

struct BadInput {
    const char* label;
    // Makes the input in dir and answers its path.
    std::function<std::string(const std::string& dir)> make;
    const char* reason;  // what the message says after "pallowin: PATH: "
    bool infoFails;      // info reads the header only, so broken records pass
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.label; }

std::string Saved(const std::string& dir, const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = dir + "/" + name;
    WriteBytes(path, bytes);
    return path;
}

const BadInput BadInputs[] = {
    {"missing_file", [](const std::string& d) { return d + "/absent.jwc"; },
     "cannot open: No such file or directory", true},
    {"directory", [](const std::string& d) { mkdir((d + "/folder.jwc").c_str(), 0755); return d + "/folder.jwc"; },
     "cannot open: is a directory", true},
    {"empty_file", [](const std::string& d) { return Saved(d, "empty.jwc", {}); },
     "not a JW_CAD file (no drawing or figure signature)", true},
    {"text_file",
     [](const std::string& d) {
         std::string text = "jw_cad is great, but this is a note about it\n";
         return Saved(d, "note.jwc", std::vector<std::uint8_t>(text.begin(), text.end()));
     },
     "not a JW_CAD file (no drawing or figure signature)", true},
    {"signature_in_upper_case",
     [](const std::string& d) {
         DrawingSpec s = SmallDrawing();
         s.patches = {{0, "JW_CAD"}};
         return Saved(d, "upper.jwc", WriteDrawing(s));
     },
     "not a JW_CAD file (no drawing or figure signature)", true},
    {"drawing_cut_inside_records",
     [](const std::string& d) {
         DrawingSpec s = SmallDrawing();
         s.truncateTo = 2421 + 30;
         return Saved(d, "cut.jwc", WriteDrawing(s));
     },
     "broken data: ", false},
    {"count_that_is_not_a_number",
     [](const std::string& d) {
         DrawingSpec s = SmallDrawing();
         s.countLineOverride = "2,1,x,0,";
         return Saved(d, "letters.jwc", WriteDrawing(s));
     },
     "broken data: ", false},
    {"figure_without_scale",
     [](const std::string& d) {
         FigureSpec f;
         f.lines = {Line(0, 0, 10, 10)};
         f.countLineOverride = "1,0,0,0";
         return Saved(d, "noscale.jwk", WriteFigure(f));
     },
     "broken data: ", false},
    {"line_far_off_the_sheet",
     [](const std::string& d) {
         DrawingSpec s = SmallDrawing();
         s.lines.push_back(Line(10, 10, 1e30f, 10));
         return Saved(d, "far.jwc", WriteDrawing(s));
     },
     "broken data: ", false},
    {"figure_header_only",
     [](const std::string& d) {
         FigureSpec f;
         f.lines = {Line(0, 0, 10, 10)};
         f.truncateTo = 200;
         return Saved(d, "short.jwk", WriteFigure(f));
     },
     "broken data: ", true},
};

class RenderFailure : public ::testing::TestWithParam<BadInput> {
protected:
    std::string dir_ = MakeTempDir("fail");
};

TEST_P(RenderFailure, OneLineNamingTheFileAndTheReason) {
    const std::string input = GetParam().make(dir_);
    ToolResult run = RunTool({Cli, "render", input, "-o", dir_ + "/out.png"});
    EXPECT_EQ(run.exitStatus, 1);
    const std::string prefix = "pallowin: " + input + ": " + GetParam().reason;
    EXPECT_EQ(run.err.rfind(prefix, 0), 0u) << run.err;
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "more than one line: " << run.err;
    if (prefix.ends_with(": ")) {
        EXPECT_GT(run.err.size(), prefix.size() + 1) << "no reason after the prefix";
    }
    struct stat st;
    EXPECT_NE(stat((dir_ + "/out.png").c_str(), &st), 0) << "a failed input left an output";
}

INSTANTIATE_TEST_SUITE_P(BadInputs, RenderFailure, ::testing::ValuesIn(BadInputs),
                         [](const auto& param) { return std::string(param.param.label); });

// info reads the header alone, so it fails only for inputs whose header is bad.
TEST(InfoFailure, OneLineNamingTheFile) {
    const std::string dir = MakeTempDir("info-fail");
    for (const BadInput& c : BadInputs) {
        if (!c.infoFails) continue;
        const std::string input = c.make(dir);
        ToolResult run = RunTool({Cli, "info", input});
        EXPECT_EQ(run.exitStatus, 1) << c.label;
        EXPECT_EQ(run.err.rfind("pallowin: " + input + ": " + c.reason, 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_EQ(run.out, "") << c.label;
    }
}

TEST(RenderBatch, OneBadInputAmongGoodOnes) {
    const std::string dir = MakeTempDir("batch");
    const std::string bad = Saved(dir, "broken.jwc", {'n', 'o', 'p', 'e'});
    ToolResult run = RunTool({Cli, "render", Examples + "/floorplan.jwc", bad, Examples + "/door.jwk",
                              Examples + "/shed.jwc", "-d", dir + "/png"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "pallowin: " + bad + ": not a JW_CAD file (no drawing or figure signature)\n");
    for (const char* name : {"floorplan.png", "door.png", "shed.png"}) {
        RgbImage png;
        EXPECT_TRUE(ReadPng(dir + "/png/" + name, png)) << name;
    }
    struct stat st;
    EXPECT_NE(stat((dir + "/png/broken.png").c_str(), &st), 0);
}

TEST(RenderBatch, DirectoryFormatBmpAndAllGoodExitsZero) {
    const std::string dir = MakeTempDir("bmp");
    ToolResult run = RunTool({Cli, "render", "-f", "bmp", "-d", dir, Examples + "/basin.jwk",
                              Examples + "/door.jwk"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* name : {"basin.bmp", "door.bmp"}) {
        auto bytes = ReadBytes(dir + "/" + name);
        ASSERT_EQ(bytes.size(), 54u + 300 * 100) << name;
        EXPECT_EQ(bytes[0], 'B');
    }
}

TEST(RenderBatch, TwoInputsOfOneNameDoNotOverwriteEachOther) {
    const std::string dir = MakeTempDir("clash");
    const std::string other = MakeTempDir("clash-src");
    WriteBytes(other + "/door.jwk", ReadBytes(Examples + "/basin.jwk"));
    ToolResult run = RunTool({Cli, "render", Examples + "/door.jwk", other + "/door.jwk", "-d", dir});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err.rfind("pallowin: " + other + "/door.jwk: not written", 0), 0u) << run.err;
}

TEST(RenderBatch, UnwritableOutputIsReported) {
    ToolResult run = RunTool({Cli, "render", Examples + "/door.jwk", "-o", "/nonexistent-dir/x.png"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "pallowin: " + Examples + "/door.jwk: cannot write /nonexistent-dir/x.png: "
                       "No such file or directory\n");
}

bool IsValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// A reason that quotes the file's own bytes stays one clean line of UTF-8:
// Shift-JIS shown as text, control bytes escaped.
TEST(RenderBatch, ReasonsQuotingFileBytesStayPrintable) {
    const std::string dir = MakeTempDir("bytes");
    std::vector<std::string> inputs;
    for (const char* count : {"2,1,\x82\xa0,0,", "2,\x1b[2J\r,0,0,", "\xff\x81,0,0,0,"}) {
        DrawingSpec s = SmallDrawing();
        s.countLineOverride = count;
        inputs.push_back(Saved(dir, ("odd" + std::to_string(inputs.size()) + ".jwc").c_str(), WriteDrawing(s)));
    }
    std::vector<std::string> argv = {Cli, "render", "-d", dir};
    argv.insert(argv.end(), inputs.begin(), inputs.end());
    ToolResult run = RunTool(argv);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_TRUE(IsValidUtf8(run.err)) << run.err;
    std::size_t lines = 0;
    for (char c : run.err) {
        if (c == '\n') ++lines;
        else EXPECT_GE(static_cast<unsigned char>(c), 0x20) << run.err;
    }
    EXPECT_EQ(lines, inputs.size()) << run.err;
}

// One side alone can ask for a picture larger than the tools will hold.
TEST(RenderBatch, PictureTooLargeForItsKindIsRefused) {
    const std::string dir = MakeTempDir("large");
    ToolResult run = RunTool({Cli, "render", "-w", "12000", Examples + "/floorplan.jwc", Examples + "/shed.jwc",
                              "-d", dir, "--preview=no"});
    EXPECT_EQ(run.exitStatus, 2) << "--preview takes no value";
    run = RunTool({Cli, "render", "-w", "12000", Examples + "/floorplan.jwc", "-o", dir + "/plan.bmp"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "pallowin: " + Examples + "/floorplan.jwc: a 12000 x 8479 picture is too large "
                       "(at most 67108864 pixels)\n");
}

// The progress line goes to a terminal only, and the messages stay readable.
TEST(RenderBatch, ProgressLineOnlyOnATerminal) {
    const std::string dir = MakeTempDir("progress");
    const std::string bad = Saved(dir, "bad.jwc", {'x'});
    std::vector<std::string> argv = {Cli, "render", Examples + "/floorplan.jwc", bad,
                                     Examples + "/door.jwk", "-d", dir};
    ToolResult piped = RunTool(argv);
    EXPECT_EQ(piped.err.find('\r'), std::string::npos) << piped.err;

    ToolResult tty = RunToolOnTerminal(argv);
    if (tty.exitStatus == NoTerminal) GTEST_SKIP() << "no pseudo-terminal";
    EXPECT_EQ(tty.exitStatus, 1);
    EXPECT_NE(tty.err.find("1 of 3: " + Examples + "/floorplan.jwc"), std::string::npos) << tty.err;
    EXPECT_NE(tty.err.find("3 of 3: " + Examples + "/door.jwk"), std::string::npos) << tty.err;
    EXPECT_NE(tty.err.find("pallowin: " + bad + ": not a JW_CAD file"), std::string::npos) << tty.err;

    argv.push_back("--quiet");
    ToolResult quiet = RunToolOnTerminal(argv);
    EXPECT_EQ(quiet.err.find(" of 3"), std::string::npos) << quiet.err;
}

struct UsageCase {
    std::vector<std::string> args;
    const char* message;  // the start of stderr; exit status 2
};

TEST(CommandLine, UsageErrorsExitWithTwo) {
    const std::string in = Examples + "/door.jwk";
    const UsageCase cases[] = {
        {{}, "pallowin: no command given"},
        {{"draw", in}, "pallowin: unknown command 'draw'"},
        {{"render", in}, "pallowin: render wants either -o OUTPUT or -d DIR"},
        {{"render", in, "-o", "a.png", "-d", "x"}, "pallowin: render wants either -o OUTPUT or -d DIR"},
        {{"render", in, in, "-o", "a.png"}, "pallowin: -o takes one input"},
        {{"render", in, "-o", "a.gif"}, "pallowin: cannot tell the format of 'a.gif'"},
        {{"render", "-o", "a.png"}, "pallowin: no input file given"},
        {{"render", in, "-o", "a.png", "-w", "0"}, "pallowin: -w wants a whole number from 1 to 16384"},
        {{"render", in, "-o", "a.png", "-h", "12px"}, "pallowin: -h wants a whole number"},
        {{"render", in, "-o", "a.png", "--width"}, "pallowin: --width wants a value"},
        {{"render", in, "-o", "a.png", "--line3", "green"}, "pallowin: --line3 wants a colour as #RRGGBB"},
        {{"render", in, "-o", "a.png", "--text", "#12345"}, "pallowin: --text wants a colour"},
        {{"render", in, "-o", "a.png", "--preview", "-w", "10"}, "pallowin: --preview has its own size"},
        {{"render", in, "-o", "a.png", "--layers=1"}, "pallowin: --layers takes no value"},
        {{"render", in, "-o", "a.png", "--line7", "#000000"}, "pallowin: unknown option '--line7'"},
        {{"render", in, "-d", "x", "-f", "jpeg"}, "pallowin: --format wants png or bmp"},
        {{"info", in, "-w", "10"}, "pallowin: unknown option '-w' for info"},
    };
    for (const UsageCase& c : cases) {
        std::vector<std::string> argv = {Cli};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        ToolResult run = RunTool(argv);
        EXPECT_EQ(run.exitStatus, 2) << c.message;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(CommandLine, HelpAndVersion) {
    ToolResult help = RunTool({Cli, "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: pallowin render", 0), 0u);
    EXPECT_NE(help.out.find("--line1"), std::string::npos);
    EXPECT_EQ(RunTool({Cli, "render", "--help"}).out, help.out);

    ToolResult version = RunTool({Cli, "--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "pallowin 1.04\n");
}

}  // namespace
}  // namespace pallowin::clitest
