#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/shell/FileUri.h"

namespace {

TEST(FileUriTest, NamesTheLocalPathOnlyOfWellFormedLocalFileLocations) {
    const struct {
        const char* uri;
        std::optional<std::string> path;
    } cases[] = {
        {"file:///home/me/Music/a.mp3", "/home/me/Music/a.mp3"},
        {"FILE:///home/me/a.mp3", "/home/me/a.mp3"},
        {"file://localhost/home/me/a.mp3", "/home/me/a.mp3"},
        {"file://LocalHost/a.mp3", "/a.mp3"},
        {"file:/home/me/a.mp3", "/home/me/a.mp3"},
        {"file:///home/me/My%20Song%e2%99%AB.mp3", "/home/me/My Song\xe2\x99\xab.mp3"},
        {"file:///a%2fb.mp3", "/a/b.mp3"},
        {"file:///x/%23.mp3?query#fragment", "/x/#.mp3"},
        {"file:///x/100%.mp3", std::nullopt},
        {"file:///x/%4.mp3", std::nullopt},
        {"file:///x/%00.mp3", std::nullopt},
        {"file://server/share/a.mp3", std::nullopt},
        {"file://localhost.example/a.mp3", std::nullopt},
        {"file://localhost", std::nullopt},
        {"file:relative.mp3", std::nullopt},
        {"/home/me/a.mp3", std::nullopt},
        {"http://host/file:///a.mp3", std::nullopt},
        {"file", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(LocalPathFromFileUri(c.uri), c.path) << c.uri;
}

TEST(FileUriTest, LocalPathsBecomeLocationsThatNameThemAgain) {
    for (const std::string path : {"/home/me/Music/a.mp3", "/x/My Song #1 [live] 100%.mp3", "/x/\xff\xfe.mp3"}) {
        const std::string uri = FileUriFromLocalPath(path);
        EXPECT_EQ(uri.find_first_of(" #?[]\xff\xfe"), std::string::npos) << uri;
        EXPECT_EQ(LocalPathFromFileUri(uri), path) << uri;
    }
    EXPECT_EQ(FileUriFromLocalPath("/a b/c.mp3"), "file:///a%20b/c.mp3");
}

}  // namespace
