#include "platform/settings/IniSettingsStore.h"

#include <algorithm>

#include "platform/settings/AtomicFile.h"
#include "platform/settings/ConfigFolder.h"

namespace {
// A settings file beyond this is not ours; it reads as damaged.
constexpr std::size_t kMaxFileBytes = 64u << 20;
constexpr std::size_t kMinAppendBytes = 64u << 10;
}  // namespace

IniSettingsStore::IniSettingsStore(std::filesystem::path file) : file_(std::move(file)) {
    const std::optional<std::string> text = ReadWholeFile(file_, kMaxFileBytes);
    if (!text) return;
    sections_ = ParseIni(*text);
    fullBytes_ = text->size();
    needsRewrite_ = !text->empty() && text->back() != '\n';
}

const IniValue* IniSettingsStore::Find(const std::string& section, const std::string& key) const {
    const auto found = sections_.find(FoldSectionName(section));
    if (found == sections_.end()) return nullptr;
    const auto value = found->second.values.find(key);
    return value == found->second.values.end() ? nullptr : &value->second;
}

int IniSettingsStore::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    const IniValue* value = Find(section, key);
    const int* number = value ? std::get_if<int>(value) : nullptr;
    return number ? *number : defaultValue;
}

std::string IniSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
    const IniValue* value = Find(section, key);
    const std::string* text = value ? std::get_if<std::string>(value) : nullptr;
    return text ? *text : defaultValue;
}

bool IniSettingsStore::WriteInt(const std::string& section, const std::string& key, int value) {
    return Store(section, key, IniValue(value));
}

bool IniSettingsStore::WriteString(const std::string& section, const std::string& key,
                                   const std::optional<std::string>& value) {
    if (!value) return Store(section, key, std::nullopt);
    return Store(section, key, IniValue(*value));
}

bool IniSettingsStore::Store(const std::string& section, const std::string& key, std::optional<IniValue> value) {
    const std::string folded = FoldSectionName(section);
    auto found = sections_.find(folded);
    const bool sectionExisted = found != sections_.end();
    std::optional<IniValue> before;
    if (sectionExisted) {
        const auto old = found->second.values.find(key);
        if (old != found->second.values.end()) before = old->second;
    }
    if (!value && !before) return true;  // nothing to delete
    const std::string name = sectionExisted ? found->second.name : section;

    if (value) {
        if (!sectionExisted) found = sections_.emplace(folded, IniSection{section, {}}).first;
        found->second.values[key] = *value;
    } else {
        found->second.values.erase(key);
        if (found->second.values.empty()) sections_.erase(found);
    }
    if (Persist(folded, name, !sectionExisted, FormatEntry(key, value))) return true;

    // Undo, so memory keeps matching the file.
    if (!before) {
        found = sections_.find(folded);
        found->second.values.erase(key);
        if (found->second.values.empty()) sections_.erase(found);
    } else {
        found = sections_.try_emplace(folded, IniSection{name, {}}).first;
        found->second.values[key] = std::move(*before);
    }
    return false;
}

bool IniSettingsStore::DeleteSection(const std::string& section) {
    const std::string folded = FoldSectionName(section);
    const auto found = sections_.find(folded);
    if (found == sections_.end()) return true;
    IniSection removed = std::move(found->second);
    sections_.erase(found);
    if (Persist(folded, removed.name, false, FormatSectionCleared())) return true;
    sections_.emplace(folded, std::move(removed));
    return false;
}

bool IniSettingsStore::Persist(const std::string& foldedSection, const std::string& sectionName, bool newSection,
                               const std::string& record) {
    // A new section gets its own header so that the file keeps its new spelling.
    const bool sameSection = !newSection && tailSection_ == foldedSection;
    const std::string header = sameSection ? std::string() : FormatSectionHeader(sectionName);
    const std::size_t size = header.size() + record.size();
    const bool appendFits = appendedBytes_ + size <= std::max(kMinAppendBytes, fullBytes_);
    if (!needsRewrite_ && appendFits && AppendToFile(file_, header + record)) {
        appendedBytes_ += size;
        tailSection_ = foldedSection;
        return true;
    }
    // A failed append may have left part of a line; only a full rewrite is safe after it.
    return Rewrite();
}

bool IniSettingsStore::Rewrite() {
    const std::string text = FormatIni(sections_);
    if (!ReplaceFileAtomically(file_, text)) {
        needsRewrite_ = true;
        return false;
    }
    fullBytes_ = text.size();
    appendedBytes_ = 0;
    tailSection_.reset();
    needsRewrite_ = false;
    return true;
}

std::unique_ptr<SettingsStore> CreateIniSettingsStore(const std::string& company, const std::string& appName) {
    return std::make_unique<IniSettingsStore>(ConfigFolder(company) / PathComponent(appName) / "settings.ini");
}
