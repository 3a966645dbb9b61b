// The metadata map the media controls are sent.
#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QStringList>
#include <filesystem>

#include "mpris/TrackMetadata.h"
#include "tests/support/TestEnvironment.h"

namespace {

TEST(TrackMetadata, CarriesWhatIsKnownAndFallsBackToTheNameOrLocation) {
    const TrackFacts tagged{3, "/music/a b.mp3", "Title", "Artist", "Album", 5'000'000};
    const QVariantMap full = TrackMetadata(tagged);
    EXPECT_EQ(full.value("mpris:trackid").value<QDBusObjectPath>().path(), "/org/orvantis/Brelune3/Track/3");
    EXPECT_EQ(full.value("xesam:url").toString(), "file:///music/a%20b.mp3");
    EXPECT_EQ(full.value("xesam:title").toString(), "Title");
    EXPECT_EQ(full.value("xesam:artist").toStringList(), QStringList{"Artist"});
    EXPECT_EQ(full.value("xesam:album").toString(), "Album");
    EXPECT_EQ(full.value("mpris:length").toLongLong(), 5'000'000);

    // A file without tags, a station without a title, and a relative entry.
    const TrackFacts untagged{1, "/music/song.mp3", "", "", "", -1};
    const QVariantMap bare = TrackMetadata(untagged);
    EXPECT_EQ(bare.value("xesam:title").toString(), "song.mp3");
    EXPECT_EQ(QStringList(bare.keys()), (QStringList{"mpris:trackid", "xesam:title", "xesam:url"}))
        << "no empty artist, album or unknown length";
    const QVariantMap station = TrackMetadata({2, "http://radio.example:8000/live", "", "", "", -1});
    EXPECT_EQ(station.value("xesam:title").toString(), "http://radio.example:8000/live");
    EXPECT_EQ(station.value("xesam:url").toString(), "http://radio.example:8000/live");
    std::filesystem::current_path(testenv::Home());
    EXPECT_EQ(TrackMetadata({1, "rel.mp3", "", "", "", -1}).value("xesam:url").toString().toStdString(),
              "file://" + std::filesystem::canonical(testenv::Home()).string() + "/rel.mp3");

    EXPECT_TRUE(TrackMetadata({0, "/music/song.mp3", "", "", "", -1}).isEmpty()) << "no current entry";
}

}  // namespace
