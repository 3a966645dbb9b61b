#pragma once
// A settings store in memory, with the real store's rules: section names
// compare without regard to case, key names exactly; integers and strings
// keep their type (reading the other type gives the default); no value
// deletes a key. Tests read what was written through Has and the getters.

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <variant>

#include "platform/settings/SettingsStore.h"

class MemorySettingsStore : public SettingsStore {
public:
    int GetInt(const std::string& section, const std::string& key, int defaultValue) override {
        const Value* value = Find(section, key);
        return value && std::holds_alternative<int>(*value) ? std::get<int>(*value) : defaultValue;
    }
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue = {}) override {
        const Value* value = Find(section, key);
        return value && std::holds_alternative<std::string>(*value) ? std::get<std::string>(*value) : defaultValue;
    }
    bool WriteInt(const std::string& section, const std::string& key, int value) override {
        ++writes;
        sections[Fold(section)][key] = value;
        return true;
    }
    bool WriteString(const std::string& section, const std::string& key,
                     const std::optional<std::string>& value) override {
        ++writes;
        if (value) {
            sections[Fold(section)][key] = *value;
        } else if (auto found = sections.find(Fold(section)); found != sections.end()) {
            found->second.erase(key);
        }
        return true;
    }
    bool DeleteSection(const std::string& section) override {
        ++writes;
        sections.erase(Fold(section));
        return true;
    }

    bool Has(const std::string& section, const std::string& key) const { return Find(section, key) != nullptr; }

    int writes = 0;

private:
    using Value = std::variant<int, std::string>;

    static std::string Fold(std::string name) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        return name;
    }
    const Value* Find(const std::string& section, const std::string& key) const {
        const auto found = sections.find(Fold(section));
        if (found == sections.end()) return nullptr;
        const auto value = found->second.find(key);
        return value == found->second.end() ? nullptr : &value->second;
    }

    std::map<std::string, std::map<std::string, Value>> sections;
};
