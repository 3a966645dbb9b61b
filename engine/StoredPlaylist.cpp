#include "engine/StoredPlaylist.h"

#include <algorithm>
#include <optional>

#include "engine/PlaylistEntry.h"
#include "platform/settings/SettingsStore.h"

namespace {
constexpr const char* kSection = "PlayList";
constexpr const char* kCountKey = "NumberOfFiles";
}  // namespace

std::vector<std::string> ReadStoredPlaylist(SettingsStore& settings) {
    const int n = std::min(settings.GetInt(kSection, kCountKey, 0), kMaxStoredTracks);
    std::vector<std::string> entries;
    for (int i = 1; i <= n; ++i) entries.push_back(settings.GetString(kSection, TrackKey(i)));
    return entries;
}

void DeleteStoredPlaylist(SettingsStore& settings) {
    const int n = settings.GetInt(kSection, kCountKey, 0);
    if (n > kMaxStoredTracks) {
        settings.DeleteSection(kSection);
        return;
    }
    for (int i = 1; i <= n; ++i) settings.WriteString(kSection, TrackKey(i), std::nullopt);
}

void WriteStoredPlaylist(SettingsStore& settings, const std::vector<std::string>& entries) {
    settings.WriteInt(kSection, kCountKey, int(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) settings.WriteString(kSection, TrackKey(int(i + 1)), entries[i]);
}
