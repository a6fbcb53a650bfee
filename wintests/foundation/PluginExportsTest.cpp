// The exports a host calls first, through the loaded 64-bit plug-in: the
// information texts byte for byte, the file check through a real file handle
// and through a buffer that ends right where the check must stop reading.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "TestKey.h"
#include "wintests/harness/WinCheck.h"

namespace {

using GetPluginInfoFn = int(WINAPI*)(int, char*, int);
using IsSupportedFn = int(WINAPI*)(const char*, void*);
using ConfigurationDlgFn = int(WINAPI*)(HWND, int);

GetPluginInfoFn getPluginInfo;
IsSupportedFn isSupported;
ConfigurationDlgFn configurationDlg;

const char DrawingSignature[] = "jw_cad(c)data.......";
const char FigureSignature[] = "jw_cad(c)sym........";

void InfoTextsAreTheExactBytes() {
    const struct {
        int number;
        std::string bytes;
    } texts[] = {
        {0, "00IN"},
        {2, "*.jwc"},
        {3, "\x4A\x57\x5F\x43\x41\x44\x20\x90\x7D\x96\xCA\xCC\xA7\xB2\xD9"},
        {4, "*.jwk"},
        {5, "\x4A\x57\x5F\x43\x41\x44\x20\x90\x7D\x8C\x60\xCC\xA7\xB2\xD9"},
    };
    for (const auto& t : texts) {
        char buffer[100];
        std::memset(buffer, '#', sizeof buffer);
        const int n = getPluginInfo(t.number, buffer, sizeof buffer);
        if (!CHECK(n == static_cast<int>(t.bytes.size()))) std::printf("  info %d answered %d\n", t.number, n);
        CHECK(std::memcmp(buffer, t.bytes.data(), t.bytes.size()) == 0 && buffer[t.bytes.size()] == 0);
    }
    char buffer[100] = {};
    const int n = getPluginInfo(1, buffer, sizeof buffer);
    CHECK(n > 0 && std::strstr(buffer, "Ver.1.04") != nullptr);
    char small[4];
    std::memset(small, '#', sizeof small);
    CHECK(getPluginInfo(0, small, 3) == 2 && std::memcmp(small, "00\0#", 4) == 0);
    std::memset(small, '#', sizeof small);
    CHECK(getPluginInfo(6, small, 3) == 0 && getPluginInfo(-1, small, 3) == 0);
    CHECK(std::memcmp(small, "####", 4) == 0);
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void CheckThroughAFileHandle() {
    const std::string path = TempPath("pallowin-foundation.jwc");
    {
        std::string bytes(100, '.');
        std::memcpy(&bytes[0], DrawingSignature, 20);
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(out);
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (!CHECK(file != INVALID_HANDLE_VALUE)) return;
    CHECK(reinterpret_cast<std::uintptr_t>(file) < 0x10000);  // else it would count as a buffer
    CHECK(isSupported(path.c_str(), file) == 1);
    CHECK(SetFilePointer(file, 0, nullptr, FILE_CURRENT) == 40);
    // 60 bytes on, there is no signature; the handle is still the host's.
    CHECK(isSupported(path.c_str(), file) == 0);
    CHECK(SetFilePointer(file, 0, nullptr, FILE_CURRENT) == 80);
    CHECK(CloseHandle(file));
    DeleteFileA(path.c_str());
}

// 40 readable bytes with an inaccessible page right after them: reading one
// byte more than the check needs faults.
void CheckThroughAShortBuffer() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const SIZE_T page = system.dwPageSize;
    auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!CHECK(pages != nullptr)) return;
    DWORD old = 0;
    CHECK(VirtualProtect(pages + page, page, PAGE_NOACCESS, &old));
    char* buffer = pages + page - 40;
    std::memset(buffer, ' ', 40);
    std::memcpy(buffer, FigureSignature, 20);
    CHECK(isSupported("part.jwk", buffer) == 1);
    std::memcpy(buffer, "jw_cad(c)DATA.......", 20);
    CHECK(isSupported("plan.jwc", buffer) == 0);
    VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace

int main() {
    testkey::Clear();
    HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
    if (!CHECK(plugin != nullptr)) return wincheck::Finish("plugin_exports_test");
    getPluginInfo = reinterpret_cast<GetPluginInfoFn>(GetProcAddress(plugin, "GetPluginInfo"));
    isSupported = reinterpret_cast<IsSupportedFn>(GetProcAddress(plugin, "IsSupported"));
    configurationDlg = reinterpret_cast<ConfigurationDlgFn>(GetProcAddress(plugin, "ConfigurationDlg"));
    if (CHECK(getPluginInfo && isSupported && configurationDlg)) {
        InfoTextsAreTheExactBytes();
        CheckThroughAFileHandle();
        CheckThroughAShortBuffer();
        CHECK(configurationDlg(nullptr, 0) == -1);
        CHECK(configurationDlg(nullptr, 2) == -1);
    }
    CHECK(FreeLibrary(plugin));
    testkey::Clear();
    return wincheck::Finish("plugin_exports_test");
}
