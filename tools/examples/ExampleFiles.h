// The example drawings and figures shipped in examples/: small pieces of
// work as a JW_CAD user would have them, in both drawing layouts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pallowin::examples {

struct ExampleFile {
    std::string name;  // file name inside examples/
    std::vector<std::uint8_t> bytes;
};

std::vector<ExampleFile> ExampleFiles();

}  // namespace pallowin::examples
