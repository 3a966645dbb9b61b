#include "net/UrlHistory.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/settings/SettingsStore.h"

namespace {
constexpr const char* kSection = "UrlHistory";
constexpr const char* kCountKey = "NumberOfEntries";
// A damaged count must not make the start read millions of keys.
constexpr int kMaxStoredCount = 10000;
}  // namespace

UrlHistory& UrlHistory::Process() {
    static UrlHistory history;
    return history;
}

std::string UrlHistory::Key(int number) {
    char key[24];
    std::snprintf(key, sizeof key, "History%02d", number);
    return key;
}

void UrlHistory::Load(SettingsStore& settings) {
    entries.clear();
    const int count = std::min(settings.GetInt(kSection, kCountKey, 0), kMaxStoredCount);
    for (int i = 1; i <= count; ++i) entries.push_back(settings.GetString(kSection, Key(i)));
}

void UrlHistory::Save(SettingsStore& settings) const {
    const int stored = std::min(settings.GetInt(kSection, kCountKey, 0), kMaxStoredCount);
    for (int i = 1; i <= stored; ++i) settings.WriteString(kSection, Key(i), std::nullopt);
    settings.WriteInt(kSection, kCountKey, int(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) settings.WriteString(kSection, Key(int(i) + 1), entries[i]);
}

void UrlHistory::Add(const std::string& location) {
    entries.insert(entries.begin(), location);
    if (entries.size() > std::size_t(kLength)) entries.pop_back();
}
