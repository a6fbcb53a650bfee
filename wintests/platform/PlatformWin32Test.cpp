// The Win32 platform layer against the real system calls: host blocks, file
// sharing, reads through a host handle, and the settings key's sections.
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/Failures.h"
#include "platform/Platform.h"
#include "wintests/harness/WinCheck.h"

using namespace pallowin;
using namespace pallowin::platform;

namespace {

const char* const TestSection = "PallowinPlatformTest";

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void TestHostBlocks() {
    HostBlock block = AllocHostBlock(1064);
    CHECK(block != nullptr);
    // The host frees with LocalFree, so the block must be movable local memory.
    CHECK((LocalFlags(static_cast<HLOCAL>(block)) & LMEM_LOCKCOUNT) == 0);
    CHECK(HostBlockSize(block) >= 1064);
    auto* bytes = static_cast<unsigned char*>(LockHostBlock(block));
    CHECK(bytes != nullptr);
    bool zero = true;
    for (int i = 0; i < 1064; ++i)
        zero = zero && bytes[i] == 0;
    CHECK(zero);
    CHECK((LocalFlags(static_cast<HLOCAL>(block)) & LMEM_LOCKCOUNT) == 1);
    UnlockHostBlock(block);
    CHECK((LocalFlags(static_cast<HLOCAL>(block)) & LMEM_LOCKCOUNT) == 0);
    CHECK(LocalFree(static_cast<HLOCAL>(block)) == nullptr);
}

void TestFiles() {
    const std::string path = TempPath("pallowin-platform-test.bin");
    WriteFileBytes(path, "0123456789abcdef");

    std::vector<std::uint8_t> whole = ReadWholeFile(path.c_str());
    CHECK(whole.size() == 16 && std::memcmp(whole.data(), "0123456789abcdef", 16) == 0);

    {
        InputFile file(path.c_str(), true);
        CHECK(file.Length() == 16);
        file.Seek(10);
        char tail[16] = {};
        CHECK(file.Read(tail, sizeof tail) == 6);
        CHECK(std::memcmp(tail, "abcdef", 6) == 0);
        // Another sharing reader may open it, and reading the whole file works too.
        InputFile second(path.c_str(), true);
        CHECK(ReadWholeFile(path.c_str()).size() == 16);
    }
    {
        // Without sharing, nobody else may read it at the same time.
        InputFile exclusive(path.c_str(), false);
        bool refused = false;
        try {
            InputFile other(path.c_str(), true);
        } catch (const EFOpenError&) {
            refused = true;
        }
        CHECK(refused);
    }
    {
        // A host handle is read from its position on and is left open.
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        SetFilePointer(handle, 4, nullptr, FILE_BEGIN);
        char part[8] = {};
        CHECK(ReadHostHandle(reinterpret_cast<std::uintptr_t>(handle), part, 8) == 8);
        CHECK(std::memcmp(part, "456789ab", 8) == 0);
        CHECK(SetFilePointer(handle, 0, nullptr, FILE_CURRENT) == 12);
        CHECK(ReadHostHandle(reinterpret_cast<std::uintptr_t>(handle), part, 8) == 4);
        CHECK(CloseHandle(handle));
    }
    bool missing = false;
    try {
        ReadWholeFile(TempPath("pallowin-no-such-file.bin").c_str());
    } catch (const EFOpenError&) {
        missing = true;
    }
    CHECK(missing);
    DeleteFileA(path.c_str());
}

HKEY OpenTestSection() {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "SoftWare\\Tavorin\\Morvelin\\PallowinPlatformTest", 0,
                  KEY_ALL_ACCESS, &key);
    return key;
}

void TestSettingsKey() {
    RegDeleteKeyA(HKEY_CURRENT_USER, "SoftWare\\Tavorin\\Morvelin\\PallowinPlatformTest");
    auto key = OpenSettingsKey();
    if (!CHECK(key != nullptr))
        return;

    // Reading a missing section answers nothing and does not make it.
    CHECK(!key->ReadString(TestSection, "Missing"));
    CHECK(OpenTestSection() == nullptr);

    CHECK(key->WriteString(TestSection, "Name", "0x00FF00"));
    CHECK(key->ReadString(TestSection, "Name") == std::string("0x00FF00"));

    HKEY section = OpenTestSection();
    if (!CHECK(section != nullptr))
        return;
    DWORD type = 0;
    char stored[32] = {};
    DWORD size = sizeof stored;
    CHECK(RegQueryValueExA(section, "Name", nullptr, &type, reinterpret_cast<BYTE*>(stored),
                           &size) == ERROR_SUCCESS);
    CHECK(type == REG_SZ && std::strcmp(stored, "0x00FF00") == 0);

    // REG_EXPAND_SZ reads as it is stored; other types read as missing.
    const char expand[] = "%TEMP%\\x";
    RegSetValueExA(section, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand),
                   sizeof expand);
    CHECK(key->ReadString(TestSection, "Expand") == std::string(expand));
    DWORD number = 5;
    RegSetValueExA(section, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    CHECK(!key->ReadString(TestSection, "Number"));
    // Writing a string over a value of another type replaces it.
    CHECK(key->WriteString(TestSection, "Number", "7"));
    CHECK(key->ReadString(TestSection, "Number") == std::string("7"));

    // A long value and an empty one.
    const std::string longText(5000, 'x');
    CHECK(key->WriteString(TestSection, "Long", longText));
    CHECK(key->ReadString(TestSection, "Long") == longText);
    CHECK(key->WriteString(TestSection, "Empty", ""));
    CHECK(key->ReadString(TestSection, "Empty") == std::string());

    RegCloseKey(section);
    RegDeleteKeyA(HKEY_CURRENT_USER, "SoftWare\\Tavorin\\Morvelin\\PallowinPlatformTest");
}

void TestWindowRect() {
    CHECK(!WindowScreenRect(nullptr));
    CHECK(!WindowScreenRect(reinterpret_cast<void*>(0x1234)));
    HWND desktop = GetDesktopWindow();
    auto rect = WindowScreenRect(desktop);
    CHECK(rect && rect->right > rect->left && rect->bottom > rect->top);
}

}  // namespace

int main() {
    TestHostBlocks();
    TestFiles();
    TestSettingsKey();
    TestWindowRect();
    return wincheck::Finish("platform_win32_test");
}
