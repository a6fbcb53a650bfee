// A settings key over a map, for cases the in-memory registry cannot set
// up: single writes that fail.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace pallowin {

// Values kept in a map; a name in `failing` refuses to be written.
class MapKey final : public platform::SettingsKey {
public:
    std::optional<std::string> ReadString(const char* section, const char* name) override {
        auto found = values.find(std::string(section) + "\\" + name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    bool WriteString(const char* section, const char* name, const std::string& text) override {
        const std::string path = std::string(section) + "\\" + name;
        if (failing.count(path)) return false;
        values[path] = text;
        return true;
    }
    std::map<std::string, std::string> values;
    std::map<std::string, bool> failing;
};

}  // namespace pallowin
