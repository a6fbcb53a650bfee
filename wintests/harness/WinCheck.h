// A tiny check harness for the Windows test programs: each failed CHECK
// prints where and what, and the program's exit code counts the failures.
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

namespace wincheck {

inline int& Failures() {
    static int failures = 0;
    return failures;
}

inline bool Report(bool ok, const char* file, int line, const char* what) {
    if (!ok) {
        ++Failures();
        std::printf("%s:%d: check failed: %s\n", file, line, what);
        std::fflush(stdout);
    }
    return ok;
}

// The program's exit code: 0 when every check held.
inline int Finish(const char* program) {
    if (Failures() == 0)
        std::printf("%s: all checks passed\n", program);
    else
        std::printf("%s: %d check(s) failed\n", program, Failures());
    return Failures() == 0 ? 0 : 1;
}

// The full path of the plug-in under test, which the build copies next to
// each test program: loading by bare name would also search the current
// folder and could pick up another copy.
inline std::string PluginPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    folder.resize(slash == std::string::npos ? 0 : slash + 1);
    return folder + "Pallowin.sph";
}

}  // namespace wincheck

#define CHECK(cond) ::wincheck::Report(static_cast<bool>(cond), __FILE__, __LINE__, #cond)
