// Writes the example drawings and figures into a folder (examples/ in the
// source tree holds the committed copies).
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "ExampleFiles.h"
#include "tools/jwwriter/JwWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: pallowin-examples DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    int status = 0;
    for (const auto& file : pallowin::examples::ExampleFiles()) {
        const std::string path = dir + "/" + file.name;
        if (!pallowin::jwwriter::SaveFile(path, file.bytes)) {
            std::fprintf(stderr, "pallowin-examples: cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}
