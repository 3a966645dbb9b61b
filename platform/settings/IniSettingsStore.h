#pragma once
// The settings store over one INI file per user and program:
// $XDG_CONFIG_HOME (default ~/.config)/<company>/<app name>/settings.ini,
// in the text form IniFormat.h describes.
//
// The file is read once, at construction; every call after that reads the
// copy in memory (a playlist of thousands of keys costs no file reads), and
// every write goes through to the file before it returns. A write usually
// appends its one or two lines with a single write call, so a crash or kill
// of the process never leaves a half change; once the appended lines outgrow
// the last full file (and at least 64 KiB), the whole file is rewritten to a
// temporary file, synced and renamed over the old one. A power cut can thus
// lose at most the changes since the last full rewrite, never older ones.
//
// Failures: a missing folder is created on the first write. A missing,
// unreadable or damaged file reads as missing keys (each caller's default).
// A write that cannot reach the file returns false and changes nothing, in
// memory or on disk. Reading a value of the other type gives the default.
// Only one store may write a given file at a time (one instance runs).

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/settings/IniFormat.h"
#include "platform/settings/SettingsStore.h"

class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(std::filesystem::path file);

    int GetInt(const std::string& section, const std::string& key, int defaultValue) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue = {}) override;
    bool WriteInt(const std::string& section, const std::string& key, int value) override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::optional<std::string>& value) override;
    bool DeleteSection(const std::string& section) override;

    const std::filesystem::path& File() const { return file_; }

private:
    const IniValue* Find(const std::string& section, const std::string& key) const;
    bool Store(const std::string& section, const std::string& key, std::optional<IniValue> value);
    // Writes the change that memory already holds; record is its appendable form.
    bool Persist(const std::string& foldedSection, const std::string& sectionName, bool newSection,
                 const std::string& record);
    bool Rewrite();

    std::filesystem::path file_;
    IniSections sections_;
    std::size_t fullBytes_ = 0;      // size of the file as last read or rewritten
    std::size_t appendedBytes_ = 0;  // appended since then
    std::optional<std::string> tailSection_;  // folded section of the file's last header, if we wrote it
    bool needsRewrite_ = true;       // the file's tail cannot take an append
};

// The store for a program: company "Orvantis" and the executable's name.
std::unique_ptr<SettingsStore> CreateIniSettingsStore(const std::string& company, const std::string& appName);
