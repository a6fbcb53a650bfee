// Runs a program the way a shell or a file manager would and keeps what it
// printed, for end-to-end tests of the desktop tools.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pallowin::clitest {

struct ToolResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string out, err;
};

ToolResult RunTool(const std::vector<std::string>& argv);
// The same with stderr on a pseudo-terminal, as in an interactive shell;
// exitStatus NoTerminal when the machine has no pseudo-terminals to give.
constexpr int NoTerminal = -2;
ToolResult RunToolOnTerminal(const std::vector<std::string>& argv);

// A fresh empty folder under the test's temporary directory, removed when
// the test program ends.
std::string MakeTempDir(const std::string& tag);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

struct RgbImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // top row first, 3 bytes a pixel
};
// Decodes a PNG with libpng into 8-bit RGB; false when it is not a valid PNG.
bool ReadPng(const std::string& path, RgbImage& image);

}  // namespace pallowin::clitest
