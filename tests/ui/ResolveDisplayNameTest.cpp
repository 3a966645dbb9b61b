#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/TestEnvironment.h"
#include "ui/PathParts.h"
#include "ui/ResolveDisplayName.h"

namespace {

TEST(ResolveDisplayNameTest, SplitsPathsAtTheLastSlashAndTheLastDotOfTheName) {
    struct Case {
        const char* path;
        PathParts parts;
    };
    const Case cases[] = {
        {"/music/a.b/song.mp3", {"", "/music/a.b/", "song", ".mp3"}},
        {"song", {"", "", "song", ""}},
        {"/music/.hidden", {"", "/music/", "", ".hidden"}},
        {"/music/", {"", "/music/", "", ""}},
        {"\"/my list.M3U\"", {"", "\"/", "my list", ".M3U\""}},
        {"C:\\dir\\x.mp3", {"", "", "C:\\dir\\x", ".mp3"}},
        {"http://host/live", {"", "http://host/", "live", ""}},
    };
    for (const Case& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.drive, c.parts.drive) << c.path;
        EXPECT_EQ(parts.dir, c.parts.dir) << c.path;
        EXPECT_EQ(parts.base, c.parts.base) << c.path;
        EXPECT_EQ(parts.ext, c.parts.ext) << c.path;
        EXPECT_EQ(parts.drive + parts.dir + parts.base + parts.ext, c.path);
    }
}

TEST(ResolveDisplayNameTest, KeepsUnknownPathsAndNamesExistingFilesAsShown) {
    const std::string dir = testenv::Home() + "/resolve";
    // Longer than the 256 characters a path part once had room for.
    const std::string deep = dir + "/" + std::string(200, 'd') + "/" + std::string(200, 'e');
    std::filesystem::create_directories(dir + "/album.d");
    std::filesystem::create_directories(deep);
    for (const char* name : {"/Song One.MP3", "/noext", "/album.d/.cover"})
        std::ofstream(dir + name) << "x";
    std::ofstream(deep + "/deep.mp3") << "x";
    // A folder named like a scheme must not turn a URL into a file.
    std::filesystem::current_path(dir);
    std::filesystem::create_directories("http:/127.0.0.1/live");

    const std::string same[] = {
        dir + "/Song One.MP3",
        dir + "/noext",
        dir + "/album.d",
        dir + "/album.d/.cover",
        deep + "/deep.mp3",
        "Song One.MP3",
        dir + "/missing.mp3",
        dir + "/",
        "http://127.0.0.1/live",
        "",
    };
    for (const std::string& path : same)
        EXPECT_EQ(ResolveDisplayName(path), path);
}

}  // namespace
