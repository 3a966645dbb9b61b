#pragma once
// The settings store: sections of integer and string values per user.
//
// Section names compare without regard to case; key names exactly. Integers
// and strings keep their type. Reading a missing value gives the caller's
// default. Every call runs on the user-interface thread; a write is in the
// file before the call returns, and no write can leave the file damaged, so
// a crash or kill of the program never loses what was stored before.

#include <optional>
#include <string>

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual int GetInt(const std::string& section, const std::string& key, int defaultValue) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue = {}) = 0;
    virtual bool WriteInt(const std::string& section, const std::string& key, int value) = 0;
    // No value deletes the key.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::optional<std::string>& value) = 0;
    // Deletes the whole section.
    virtual bool DeleteSection(const std::string& section) = 0;
};
