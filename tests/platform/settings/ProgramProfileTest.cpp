#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/settings/ProgramProfile.h"
#include "tests/platform/settings/SettingsTestFiles.h"

using settingstest::FreshFolder;
using settingstest::ReadText;
using settingstest::WriteText;

TEST(ProgramProfile, ProgramFileIsSetInThePlainProfileKeepingEverythingElse) {
    struct ProfileCase {
        const char* what;
        std::string before;
        std::string after;
    };
    const ProfileCase cases[] = {
        {"no file yet", "", "[Brelune3]\nProgramFile=/opt/b3/brelune3\n"},
        {"other sections kept",
         "; ours\n[Other]\nX=1\n",
         "; ours\n[Other]\nX=1\n[Brelune3]\nProgramFile=/opt/b3/brelune3\n"},
        {"old value replaced, names in any case",
         "[brelune3]\nprogramfile=/old/path\nMore=2\n[Next]\nY=3\n",
         "[brelune3]\nProgramFile=/opt/b3/brelune3\nMore=2\n[Next]\nY=3\n"},
        {"key added at the end of its section",
         "[Brelune3]\nMore=2\n\n[Next]\nY=3\n",
         "[Brelune3]\nMore=2\nProgramFile=/opt/b3/brelune3\n\n[Next]\nY=3\n"},
    };
    for (const ProfileCase& c : cases) {
        const auto config = FreshFolder();
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        const auto file = config / "Orvantis" / "profile.ini";
        if (!c.before.empty()) WriteText(file, c.before);
        EXPECT_TRUE(WriteProgramFile("Orvantis", "/opt/b3/brelune3")) << c.what;
        EXPECT_EQ(ReadText(file), c.after) << c.what;
    }
    setenv("XDG_CONFIG_HOME", (std::filesystem::path(testenv::Home()) / "config").c_str(), 1);
}

TEST(ProgramProfile, ValuesThePlainFormCannotHoldAreRefused) {
    const auto file = FreshFolder() / "profile.ini";
    EXPECT_FALSE(WriteProfileString(file, "Brelune3", "ProgramFile", "/a\nProgramFile=/evil"));
    EXPECT_FALSE(WriteProfileString(file, "Bre]lune3", "ProgramFile", "/a"));
    EXPECT_FALSE(WriteProfileString(file, "Brelune3", "Program=File", "/a"));
    EXPECT_FALSE(std::filesystem::exists(file));
}
