#include "ToolRun.h"

#include <fcntl.h>
#include <poll.h>
#include <png.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pallowin::clitest {
namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
    std::vector<char*> raw;
    for (const auto& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
    raw.push_back(nullptr);
    return raw;
}

// Reads both descriptors until both are closed.
void Drain(int outFd, int errFd, ToolResult& result) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, 10000) <= 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every folder a test made goes when the test program ends.
struct TempDirs {
    std::vector<std::string> made;
    ~TempDirs() {
        std::error_code ignored;
        for (const auto& dir : made) std::filesystem::remove_all(dir, ignored);
    }
};
TempDirs& MadeDirs() {
    static TempDirs dirs;
    return dirs;
}

}  // namespace

ToolResult RunTool(const std::vector<std::string>& argv) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]), close(out[1]), close(err[0]), close(err[1]);
        auto raw = ArgvOf(argv);
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    ToolResult result;
    Drain(out[0], err[0], result);
    result.exitStatus = Wait(pid);
    return result;
}

ToolResult RunToolOnTerminal(const std::vector<std::string>& argv) {
    int out[2];
    if (pipe(out) != 0) return {};
    int terminal = -1;
    pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0) {
        close(out[0]), close(out[1]);
        return {NoTerminal, {}, {}};
    }
    if (pid == 0) {
        dup2(out[1], 1);  // stdout stays a pipe; stdin and stderr are the terminal
        close(out[0]), close(out[1]);
        auto raw = ArgvOf(argv);
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(out[1]);
    ToolResult result;
    Drain(out[0], terminal, result);
    result.exitStatus = Wait(pid);
    return result;
}

std::string MakeTempDir(const std::string& tag) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/pallowin-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return {};
    MadeDirs().made.push_back(buffer.data());
    return buffer.data();
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool ReadPng(const std::string& path, RgbImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
    png.format = PNG_FORMAT_RGB;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    const bool ok = png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

}  // namespace pallowin::clitest
