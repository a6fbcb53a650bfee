// The plug-in saves its settings when it is unloaded, and leaves the
// registry alone when its process ends with the DLL still loaded (a child
// copy of this program does that).
#include <windows.h>

#include <cstring>
#include <string>

#include "wintests/harness/WinCheck.h"

namespace {

const char* const KeyPath = "SoftWare\\Tavorin\\Morvelin";

// Sections (subkeys) under the settings key; -1 when the key is missing.
long SectionCount() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, KeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<long>(subkeys);
}

// Runs this program again as "child" and answers its exit code.
DWORD RunChild() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" child";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "child") == 0) {
        // Ends with the plug-in loaded, as a host that never unloads it.
        if (!LoadLibraryA(wincheck::PluginPath().c_str()))
            return 2;
        ExitProcess(0);
    }

    RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath);
    CHECK(SectionCount() == -1);

    CHECK(RunChild() == 0);
    CHECK(SectionCount() <= 0);  // at most the key itself, made at load

    HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
    CHECK(plugin != nullptr);
    CHECK(FreeLibrary(plugin));
    CHECK(SectionCount() > 0);

    RegDeleteTreeA(HKEY_CURRENT_USER, KeyPath);
    return wincheck::Finish("dll_lifetime_test");
}
