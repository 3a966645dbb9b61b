// Which locations OpenUri refuses, with which error.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "mpris/MprisNames.h"
#include "mpris/PlayableUri.h"
#include "tests/support/TestEnvironment.h"

namespace {

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
