// The few Windows services the plug-in needs, behind one small interface.
// Two implementations: Win32 (platform_win32.cpp) and a portable one for
// Linux (platform_portable.cpp) that counts host blocks and keeps the
// registry in memory, so the exports run natively for tests and fuzzing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pallowin::platform {

// A movable local-memory block as the host receives it (an HLOCAL on Windows).
using HostBlock = void*;

// LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT); nullptr when no block can be made.
HostBlock AllocHostBlock(std::size_t bytes);
void* LockHostBlock(HostBlock block);
void UnlockHostBlock(HostBlock block);
void FreeHostBlock(HostBlock block);
std::size_t HostBlockSize(HostBlock block);

// Reads up to `count` bytes from a file handle the host opened, from its
// current position. Answers the bytes read, or -1 when the read fails.
std::int64_t ReadHostHandle(std::uintptr_t handle, void* buffer, std::size_t count);

// A file opened by path for reading. Throws EFOpenError when it cannot be
// opened; with shareRead, other readers may hold it open at the same time
// (a writer still keeps it from opening).
class InputFile {
public:
    InputFile(const char* path, bool shareRead);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::int64_t Length() const;
    void Seek(std::int64_t position);
    // Answers the bytes read (fewer at the end of the file); throws EReadError
    // when the read itself fails.
    std::size_t Read(void* buffer, std::size_t count);

private:
    std::intptr_t handle_;
};

// The whole file, opened with read sharing. Throws EFOpenError, EReadError
// (fewer bytes than its length) or EOutOfMemory.
std::vector<std::uint8_t> ReadWholeFile(const char* path);

// The settings key HKEY_CURRENT_USER\SoftWare\Tavorin\Morvelin, opened or
// created. Sections are subkeys; values are read and written as strings.
class SettingsKey {
public:
    virtual ~SettingsKey() = default;
    // nullopt when the section or value is missing, or the value is not a
    // string (REG_SZ, or REG_EXPAND_SZ taken unexpanded).
    virtual std::optional<std::string> ReadString(const char* section, const char* name) = 0;
    // Creates the section when missing; replaces a value of another type.
    // Answers false when the write fails.
    virtual bool WriteString(const char* section, const char* name, const std::string& text) = 0;
};
// nullptr when the key can be neither opened nor created.
std::unique_ptr<SettingsKey> OpenSettingsKey();

struct ScreenRect {
    std::int32_t left, top, right, bottom;
};
// The screen rectangle of a window; nullopt when the handle is not a window.
std::optional<ScreenRect> WindowScreenRect(void* window);

}  // namespace pallowin::platform
