// Installs the desktop files into a temporary prefix and runs the thumbnailer
// the way a file manager does: from the installed .thumbnailer's Exec line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ToolRun.h"

namespace pallowin::clitest {
namespace {

const std::string Examples = PALLOWIN_EXAMPLES_DIR;

class InstalledThumbnailer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = MakeTempDir("prefix");
        ToolResult install = RunTool({PALLOWIN_CMAKE, "--install", PALLOWIN_BUILD_DIR, "--prefix", prefix_,
                                      "--component", "desktop"});
        ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
    }

    // The Exec line's words with the file manager's %s, %i and %o filled in;
    // the program is looked up in the prefix's bin, as on PATH.
    static std::vector<std::string> ExecLine(const std::string& size, const std::string& input,
                                             const std::string& output) {
        std::ifstream entry(prefix_ + "/share/thumbnailers/pallowin.thumbnailer");
        std::string line, exec;
        while (std::getline(entry, line))
            if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
        std::vector<std::string> words;
        std::istringstream split(exec);
        for (std::string word; split >> word;) {
            if (word == "%s") word = size;
            else if (word == "%i") word = input;
            else if (word == "%o") word = output;
            words.push_back(word);
        }
        if (!words.empty()) words[0] = prefix_ + "/bin/" + words[0];
        return words;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    static inline std::string prefix_;
};

TEST_F(InstalledThumbnailer, EntryNamesTheProgramAndTheTypes) {
    const std::string entry = Read(prefix_ + "/share/thumbnailers/pallowin.thumbnailer");
    EXPECT_NE(entry.find("[Thumbnailer Entry]"), std::string::npos);
    EXPECT_NE(entry.find("TryExec=pallowin-thumbnailer\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=application/x-jwc;application/x-jwk;"), std::string::npos);
    const std::string mime = Read(prefix_ + "/share/mime/packages/pallowin.xml");
    for (const char* needle : {"type=\"application/x-jwc\"", "type=\"application/x-jwk\"", "value=\"jw_cad(c)data\"",
                               "value=\"jw_cad(c)sym\"", "pattern=\"*.jwc\"", "pattern=\"*.jwk\""})
        EXPECT_NE(mime.find(needle), std::string::npos) << needle;
    std::ifstream bin(prefix_ + "/bin/pallowin");
    EXPECT_TRUE(bin.good()) << "pallowin is not installed";
}

TEST_F(InstalledThumbnailer, RunsFromTheExecLine) {
    const struct {
        const char* file;
        int size, width, height;
    } cases[] = {
        {"floorplan.jwc", 128, 128, 90},
        {"shed.jwc", 256, 256, 181},
        {"door.jwk", 128, 128, 128},
        {"basin.jwk", 48, 48, 48},
    };
    for (const auto& c : cases) {
        const std::string output = prefix_ + "/" + c.file + ".png";
        ToolResult run = RunTool(ExecLine(std::to_string(c.size), Examples + "/" + c.file, output));
        ASSERT_EQ(run.exitStatus, 0) << c.file << ": " << run.err;
        RgbImage png;
        ASSERT_TRUE(ReadPng(output, png)) << c.file;
        EXPECT_EQ(png.width, c.width) << c.file;
        EXPECT_EQ(png.height, c.height) << c.file;
        EXPECT_LE(std::max(png.width, png.height), c.size);
    }
}

TEST_F(InstalledThumbnailer, RefusesWhatItCannotThumbnail) {
    const std::string notJw = prefix_ + "/note.jwc";
    WriteBytes(notJw, {'h', 'e', 'l', 'l', 'o'});
    const std::string output = prefix_ + "/note.png";
    ToolResult run = RunTool(ExecLine("128", notJw, output));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find(notJw), std::string::npos) << run.err;
    std::ifstream written(output);
    EXPECT_FALSE(written.good()) << "a failed thumbnail left a file";
}

// shared-mime-info accepts the definitions and finds both types in them.
TEST_F(InstalledThumbnailer, MimeDatabaseBuildsFromTheDefinitions) {
    const std::string tool = PALLOWIN_UPDATE_MIME;
    if (tool.empty()) GTEST_SKIP() << "shared-mime-info is not installed";
    ToolResult run = RunTool({tool, prefix_ + "/share/mime"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err.find("rror"), std::string::npos) << run.err;
    EXPECT_TRUE(std::ifstream(prefix_ + "/share/mime/application/x-jwc.xml").good());
    EXPECT_TRUE(std::ifstream(prefix_ + "/share/mime/application/x-jwk.xml").good());
    const std::string magic = Read(prefix_ + "/share/mime/magic");
    EXPECT_NE(magic.find("jw_cad(c)data"), std::string::npos);
}

}  // namespace
}  // namespace pallowin::clitest
