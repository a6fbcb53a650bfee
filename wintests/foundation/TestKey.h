// The plug-in's settings key as the Windows tests see it: cleared before
// each case, read back as strings after an unload.
#pragma once
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

namespace testkey {

constexpr const char* Path = "SoftWare\\Tavorin\\Morvelin";

inline void Clear() {
    RegDeleteTreeA(HKEY_CURRENT_USER, Path);
}

inline bool Exists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A string value (REG_SZ only); nullopt when missing or of another type.
inline std::optional<std::string> Read(const char* section, const char* name) {
    const std::string path = std::string(Path) + "\\" + section;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char text[256] = {};
    DWORD type = 0, size = sizeof text - 1;
    const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(text);
}

inline void Write(const char* section, const char* name, const char* text) {
    const std::string path = std::string(Path) + "\\" + section;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(std::strlen(text) + 1));
    RegCloseKey(key);
}

inline void WriteNumber(const char* section, const char* name, DWORD value) {
    const std::string path = std::string(Path) + "\\" + section;
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// Subkeys of the settings key, or values of one section; -1 when missing.
inline long Count(const char* section, bool values) {
    const std::string path = section ? std::string(Path) + "\\" + section : std::string(Path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD subkeys = 0, valueCount = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &valueCount, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<long>(values ? valueCount : subkeys);
}

}  // namespace testkey
