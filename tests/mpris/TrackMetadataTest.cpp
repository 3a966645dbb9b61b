// The metadata map the media controls are sent, and which locations OpenUri
// refuses with which error.
#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QFile>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "mpris/MprisNames.h"
#include "mpris/PlayableUri.h"
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

TEST(PlayableUri, RefusesWhatThePlayerCannotPlayWithTheMatchingError) {
    const std::string dir = testenv::Home() + "/uris";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/a song.mp3") << "x";
    std::ofstream(dir + "/locked.mp3") << "x";
    std::filesystem::permissions(dir + "/locked.mp3", std::filesystem::perms::none);
    const bool root = geteuid() == 0;
    const QString base = QStringLiteral("file://") + QString::fromStdString(dir);

    const struct {
        QString uri;
        QString error;  // empty: taken
    } cases[] = {
        {base + "/a%20song.mp3", ""},
        {"https://radio.example/live", ""},
        {"HTTP://radio.example/live", ""},
        {base + "/missing.mp3", mpris::kErrorFileNotFound},
        {base, mpris::kErrorNotSupported},
        {"file:///dev/null", mpris::kErrorNotSupported},
        {base + "/locked.mp3", root ? QString() : mpris::kErrorAccessDenied},
        {"ftp://host/a.mp3", mpris::kErrorNotSupported},
        {"smb://host/share/a.mp3", mpris::kErrorNotSupported},
        {"file://otherhost/a.mp3", mpris::kErrorInvalidArgs},
        {base + "/a%00.mp3", mpris::kErrorInvalidArgs},
        {QString::fromStdString(dir + "/a song.mp3"), mpris::kErrorInvalidArgs},
        {"", mpris::kErrorInvalidArgs},
        {"  ", mpris::kErrorInvalidArgs},
        {"http://" + QString(70000, 'a'), mpris::kErrorLimitsExceeded},
    };
    for (const auto& c : cases) {
        const std::optional<UriRefusal> refusal = RefuseUnplayableUri(c.uri);
        EXPECT_EQ(refusal ? refusal->errorName : QString(), c.error) << c.uri.left(80).toStdString();
        if (refusal) {
            EXPECT_FALSE(refusal->message.isEmpty());
            EXPECT_LT(refusal->message.size(), 300) << "error texts quote only the start of a location";
        }
    }
}

}  // namespace
