#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/shell/ShellDisplayName.h"
#include "tests/support/TestEnvironment.h"

namespace {

TEST(ShellDisplayNameTest, AnswersWithTheNameOfExistingFilesOnly) {
    const std::string dir = testenv::Home() + "/shell";
    std::filesystem::create_directories(dir + "/Folder");
    std::ofstream(dir + "/Track 1.mp3") << "x";
    std::filesystem::current_path(dir);
    // Relative to the current folder, "http:" names a folder here.
    std::filesystem::create_directories("http:/host");

    struct Case {
        std::string path;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {dir + "/Track 1.mp3", "Track 1.mp3"},
        {"Track 1.mp3", "Track 1.mp3"},
        {dir + "/Folder", "Folder"},
        {dir + "/Folder//", "Folder"},
        {"/", "/"},
        {dir + "/missing.mp3", std::nullopt},
        {"", std::nullopt},
        {"http://host", std::nullopt},
        {"http:/host", "host"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShellDisplayName(c.path), c.name) << c.path;
}

}  // namespace
