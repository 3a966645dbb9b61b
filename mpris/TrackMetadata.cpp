#include "mpris/TrackMetadata.h"

#include <QDBusObjectPath>
#include <QStringList>
#include <filesystem>

#include "mpris/MprisNames.h"
#include "platform/shell/FileUri.h"

namespace {
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i]) return false;
    }
    return true;
}

// File names are bytes: the path is taken as it is, so that the location
// names the file even when its name is not UTF-8.
QString LocationUrl(const std::string& location) {
    if (IsNetworkLocation(location)) return QString::fromStdString(location);
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(location, error);
    return QString::fromStdString(FileUriFromLocalPath(error ? location : absolute.lexically_normal().string()));
}

QString FallbackTitle(const std::string& location) {
    if (IsNetworkLocation(location)) return QString::fromStdString(location);
    const std::string name = std::filesystem::path(location).filename().string();
    return QString::fromStdString(name.empty() ? location : name);
}
}  // namespace

bool IsNetworkLocation(const std::string& location) {
    return StartsWithNoCase(location, "http://") || StartsWithNoCase(location, "https://");
}

QVariantMap TrackMetadata(const TrackFacts& facts) {
    QVariantMap map;
    if (facts.track <= 0) return map;
    map.insert("mpris:trackid",
               QVariant::fromValue(QDBusObjectPath(mpris::kTrackIdPrefix + QString::number(facts.track))));
    map.insert("xesam:url", LocationUrl(facts.location));
    const QString title = QString::fromStdString(facts.title);
    map.insert("xesam:title", title.isEmpty() ? FallbackTitle(facts.location) : title);
    if (!facts.artist.empty()) map.insert("xesam:artist", QStringList{QString::fromStdString(facts.artist)});
    if (!facts.album.empty()) map.insert("xesam:album", QString::fromStdString(facts.album));
    if (facts.lengthMicroseconds > 0) map.insert("mpris:length", qlonglong(facts.lengthMicroseconds));
    return map;
}
