// The platform layer over Win32: local memory for the host's blocks, file
// handles, the settings key in HKEY_CURRENT_USER and window rectangles.
#include <windows.h>

#include <algorithm>
#include <new>

#include "platform/Failures.h"
#include "platform/Platform.h"

namespace pallowin::platform {
namespace {

// ReadFile moves at most a DWORD per call.
constexpr std::size_t MaxChunk = 0x40000000;

// Reads until `count` bytes or the end; -1 when ReadFile fails.
std::int64_t ReadFully(HANDLE handle, void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const DWORD ask = static_cast<DWORD>(std::min(count - done, MaxChunk));
        DWORD got = 0;
        if (!::ReadFile(handle, out + done, ask, &got, nullptr))
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return static_cast<std::int64_t>(done);
}

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

HostBlock AllocHostBlock(std::size_t bytes) {
    return ::LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, bytes);
}
void* LockHostBlock(HostBlock block) { return ::LocalLock(static_cast<HLOCAL>(block)); }
void UnlockHostBlock(HostBlock block) { ::LocalUnlock(static_cast<HLOCAL>(block)); }
void FreeHostBlock(HostBlock block) {
    if (block)
        ::LocalFree(static_cast<HLOCAL>(block));
}
std::size_t HostBlockSize(HostBlock block) { return ::LocalSize(static_cast<HLOCAL>(block)); }

std::int64_t ReadHostHandle(std::uintptr_t handle, void* buffer, std::size_t count) {
    return ReadFully(reinterpret_cast<HANDLE>(handle), buffer, count);
}

InputFile::InputFile(const char* path, bool shareRead) : handle_(-1) {
    if (path == nullptr) throw EFOpenError("Cannot open a file without a name.");
    HANDLE file = ::CreateFileA(path, GENERIC_READ, shareRead ? FILE_SHARE_READ : 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw EFOpenError(std::string("Cannot open file \"") + path + "\"");
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

InputFile::~InputFile() {
    ::CloseHandle(AsHandle(handle_));
}

std::int64_t InputFile::Length() const {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(AsHandle(handle_), &size))
        throw EReadError("Stream read error");
    return size.QuadPart;
}

void InputFile::Seek(std::int64_t position) {
    LARGE_INTEGER to{};
    to.QuadPart = position;
    if (!::SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN))
        throw EReadError("Stream read error");
}

std::size_t InputFile::Read(void* buffer, std::size_t count) {
    const std::int64_t got = ReadFully(AsHandle(handle_), buffer, count);
    if (got < 0)
        throw EReadError("Stream read error");
    return static_cast<std::size_t>(got);
}

namespace {

constexpr const char* SettingsKeyPath = "SoftWare\\Tavorin\\Morvelin";

class RegistrySettingsKey final : public SettingsKey {
public:
    explicit RegistrySettingsKey(HKEY key) : key_(key) {}
    ~RegistrySettingsKey() override { ::RegCloseKey(key_); }
    RegistrySettingsKey(const RegistrySettingsKey&) = delete;
    RegistrySettingsKey& operator=(const RegistrySettingsKey&) = delete;

    // Reading never creates a missing section.
    std::optional<std::string> ReadString(const char* section, const char* name) override {
        HKEY sub = nullptr;
        if (::RegOpenKeyExA(key_, section, 0, KEY_QUERY_VALUE, &sub) != ERROR_SUCCESS)
            return std::nullopt;
        std::optional<std::string> text = QueryString(sub, name);
        ::RegCloseKey(sub);
        return text;
    }

    bool WriteString(const char* section, const char* name, const std::string& text) override {
        HKEY sub = nullptr;
        if (::RegCreateKeyExA(key_, section, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                              nullptr, &sub, nullptr) != ERROR_SUCCESS)
            return false;
        const LONG status =
            ::RegSetValueExA(sub, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1));
        ::RegCloseKey(sub);
        return status == ERROR_SUCCESS;
    }

private:
    // REG_SZ and REG_EXPAND_SZ (left unexpanded); the stored data need not
    // end in a NUL, and may hold several.
    static std::optional<std::string> QueryString(HKEY sub, const char* name) {
        std::string data(64, '\0');
        for (;;) {
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            const LONG status = ::RegQueryValueExA(sub, name, nullptr, &type,
                                                   reinterpret_cast<BYTE*>(data.data()), &size);
            if (status == ERROR_MORE_DATA) {
                data.assign(static_cast<std::size_t>(size) + 1, '\0');
                continue;
            }
            if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
                return std::nullopt;
            data.resize(std::min<std::size_t>(size, data.size()));
            const std::size_t end = data.find('\0');
            if (end != std::string::npos)
                data.resize(end);
            return data;
        }
    }

    HKEY key_;
};

}  // namespace

std::unique_ptr<SettingsKey> OpenSettingsKey() {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        // A key we may read but not write still gives the stored settings.
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return nullptr;
    }
    try {
        return std::make_unique<RegistrySettingsKey>(key);
    } catch (...) {
        ::RegCloseKey(key);
        throw;
    }
}

std::optional<ScreenRect> WindowScreenRect(void* window) {
    HWND hwnd = static_cast<HWND>(window);
    RECT rect{};
    if (!hwnd || !::IsWindow(hwnd) || !::GetWindowRect(hwnd, &rect))
        return std::nullopt;
    return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace pallowin::platform
