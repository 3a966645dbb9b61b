#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <variant>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/settings/IniSettingsStore.h"
#include "tests/platform/settings/SettingsTestFiles.h"

using settingstest::FreshFolder;
using settingstest::ReadText;
using settingstest::WriteText;

namespace {
const std::string kAwkwardStrings[] = {
    "",
    "plain",
    "  leading and trailing blanks  ",
    "line one\nline two\r\nline three",
    "key=value = more",
    "[Section]",
    "; not a comment",
    "-",
    "i:42",
    "back\\slash \\n \\x41",
    "tab\there",
    std::string("nul\0inside", 10),
    "\x7f\x01\x1f",
    "Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xab \xf0\x9f\x8e\xb5",
    "\xff\xfe not UTF-8",
};
const int kNumbers[] = {0, 1, -1, 80, INT_MAX, INT_MIN};
}  // namespace

TEST(IniSettingsStore, ValuesKeepTheirContentAndTypeAfterReopening) {
    const auto file = FreshFolder() / "a" / "b" / "settings.ini";  // missing folders are created
    {
        IniSettingsStore store(file);
        for (std::size_t i = 0; i < std::size(kAwkwardStrings); ++i) {
            // The same text serves as section name, key and value.
            ASSERT_TRUE(store.WriteString("S" + kAwkwardStrings[i], "K" + kAwkwardStrings[i], kAwkwardStrings[i]));
        }
        for (const int number : kNumbers) ASSERT_TRUE(store.WriteInt("Numbers", std::to_string(number), number));
    }
    IniSettingsStore reopened(file);
    for (std::size_t i = 0; i < std::size(kAwkwardStrings); ++i) {
        EXPECT_EQ(reopened.GetString("S" + kAwkwardStrings[i], "K" + kAwkwardStrings[i], "missing"), kAwkwardStrings[i])
            << "case " << i;
    }
    for (const int number : kNumbers) EXPECT_EQ(reopened.GetInt("Numbers", std::to_string(number), 7), number);

    // Each value keeps its type: reading it as the other type gives the default.
    EXPECT_EQ(reopened.GetInt("Si:42", "Ki:42", 7), 7);
    EXPECT_EQ(reopened.GetString("Numbers", "80", "default"), "default");
    EXPECT_EQ(reopened.GetString("Numbers", "missing"), "");
}

TEST(IniSettingsStore, SectionNamesIgnoreCaseAndKeepTheFirstSpelling) {
    const auto file = FreshFolder() / "settings.ini";
    {
        IniSettingsStore store(file);
        ASSERT_TRUE(store.WriteInt("PlayList", "NumberOfFiles", 2));
        ASSERT_TRUE(store.WriteString("Settings", "Other", "x"));
        ASSERT_TRUE(store.WriteString("Playlist", "Track01", "a.mp3"));
        ASSERT_TRUE(store.WriteString("PLAYLIST", "Track02", "b.mp3"));
        EXPECT_EQ(store.GetInt("playlist", "NumberOfFiles", 0), 2);
        EXPECT_EQ(store.GetString("PlayList", "track01"), "") << "key names compare exactly";
    }
    IniSettingsStore reopened(file);
    EXPECT_EQ(reopened.GetString("pLaYlIsT", "Track02"), "b.mp3");
    const std::string text = ReadText(file);
    EXPECT_NE(text.find("[PlayList]"), std::string::npos);
    EXPECT_EQ(text.find("[Playlist]"), std::string::npos);
    EXPECT_EQ(text.find("[PLAYLIST]"), std::string::npos);
}

TEST(IniSettingsStore, NoValueDeletesTheKeyAndDeleteSectionDeletesTheSection) {
    const auto file = FreshFolder() / "settings.ini";
    {
        IniSettingsStore store(file);
        ASSERT_TRUE(store.WriteString("UrlHistory", "History01", "http://a/"));
        ASSERT_TRUE(store.WriteString("UrlHistory", "History02", "http://b/"));
        ASSERT_TRUE(store.WriteInt("Settings", "Left", 10));
        ASSERT_TRUE(store.WriteString("urlhistory", "History01", std::nullopt));
        ASSERT_TRUE(store.WriteString("UrlHistory", "NeverWritten", std::nullopt));
        ASSERT_TRUE(store.DeleteSection("SETTINGS"));
        ASSERT_TRUE(store.DeleteSection("NoSuchSection"));
        ASSERT_TRUE(store.WriteInt("settings", "Top", 5));  // a section written again after its deletion
    }
    IniSettingsStore reopened(file);
    EXPECT_EQ(reopened.GetString("UrlHistory", "History01", "gone"), "gone");
    EXPECT_EQ(reopened.GetString("UrlHistory", "History02"), "http://b/");
    EXPECT_EQ(reopened.GetInt("Settings", "Left", -1), -1);
    EXPECT_EQ(reopened.GetInt("Settings", "Top", -1), 5);
}

TEST(IniSettingsStore, DamagedFileCostsOnlyTheKeysItTouches) {
    struct DamageCase {
        const char* what;
        std::string text;
    };
    const DamageCase cases[] = {
        {"binary noise", std::string("\x00\xff[\x01=\n\n]]=i:\n\x80\x81", 16)},
        {"bad escape", "[S]\nBad=s:a\\qb\n"},
        {"cut-off escape", "[S]\nBad=s:a\\x4\n"},
        {"integer out of range", "[S]\nBad=i:99999999999\n"},
        {"integer with junk", "[S]\nBad=i:12ab\n"},
        {"key before any section", "Bad=i:1\n"},
        {"unclosed header", "[S\nBad=i:1\n"},
        {"last line cut off", "[S]\nBad=s:half a val"},
    };
    for (const DamageCase& c : cases) {
        const auto file = FreshFolder() / "settings.ini";
        WriteText(file, "[Good]\nKept=i:3\n" + c.text);
        IniSettingsStore store(file);
        EXPECT_EQ(store.GetString("S", "Bad", "default"), "default") << c.what;
        EXPECT_EQ(store.GetInt("S", "Bad", -1), -1) << c.what;
        EXPECT_EQ(store.GetInt("Good", "Kept", 0), 3) << c.what;
        // Writing repairs the file rather than appending to the damage.
        ASSERT_TRUE(store.WriteInt("S", "New", 4)) << c.what;
        IniSettingsStore reopened(file);
        EXPECT_EQ(reopened.GetInt("S", "New", 0), 4) << c.what;
        EXPECT_EQ(reopened.GetInt("Good", "Kept", 0), 3) << c.what;
    }
}

TEST(IniSettingsStore, HandEditedValuesWithoutAPrefixReadAsANumberWhenTheyAreOneElseAsText) {
    struct Case {
        const char* line;
        std::variant<int, std::string> expected;
    } cases[] = {
        {"V=1", 1},
        {"V=-20", -20},
        {"V= 300 ", 300},
        {"V=2147483647", INT_MAX},
        {"V=99999999999", std::string("99999999999")},
        {"V=1.5", std::string("1.5")},
        {"V=12ab", std::string("12ab")},
        {"V=http://radio.example/live", std::string("http://radio.example/live")},
        {"V=C:\\music\\a b.mp3", std::string("C:\\music\\a b.mp3")},
        {"V=", std::string()},
    };
    for (const Case& c : cases) {
        const auto file = FreshFolder() / "settings.ini";
        WriteText(file, std::string("[Settings]\n") + c.line + "\n");
        IniSettingsStore store(file);
        if (const int* number = std::get_if<int>(&c.expected)) {
            EXPECT_EQ(store.GetInt("Settings", "V", -7), *number) << c.line;
            EXPECT_EQ(store.GetString("Settings", "V", "text?"), "text?") << c.line;
        } else {
            EXPECT_EQ(store.GetString("Settings", "V", "default"), std::get<std::string>(c.expected)) << c.line;
            EXPECT_EQ(store.GetInt("Settings", "V", -7), -7) << c.line;
        }
    }
    // A hand-edited file keeps working as the program writes to it.
    const auto file = FreshFolder() / "settings.ini";
    WriteText(file, "[Settings]\nRepeat=1\nWindowPosX=40\n");
    {
        IniSettingsStore store(file);
        ASSERT_TRUE(store.WriteInt("Settings", "Repeat", 0));
    }
    IniSettingsStore reopened(file);
    EXPECT_EQ(reopened.GetInt("Settings", "Repeat", -1), 0);
    EXPECT_EQ(reopened.GetInt("Settings", "WindowPosX", -1), 40);
}

TEST(IniSettingsStore, ManyChangesReadBackTheSameAfterReopening) {
    // A random mix of every kind of change, with values big enough to force
    // several full rewrites between the appends, checked against a plain map.
    const auto file = FreshFolder() / "settings.ini";
    std::map<std::pair<std::string, std::string>, std::variant<int, std::string>> expected;
    const char* sections[] = {"PlayList", "Playlist", "Settings", "UrlHistory"};
    auto fold = [](std::string name) { return name == "Playlist" ? std::string("PlayList") : name; };
    std::mt19937 random(20240611);
    auto store = std::make_unique<IniSettingsStore>(file);
    for (int step = 0; step < 3000; ++step) {
        const std::string section = sections[random() % 4];
        const std::string key = "Key" + std::to_string(random() % 20);
        const auto slot = std::make_pair(fold(section), key);
        switch (random() % 10) {
        case 0:
            ASSERT_TRUE(store->WriteString(section, key, std::nullopt));
            expected.erase(slot);
            break;
        case 1:
            if (random() % 4 == 0) {
                ASSERT_TRUE(store->DeleteSection(section));
                std::erase_if(expected, [&](const auto& entry) { return entry.first.first == fold(section); });
            }
            break;
        case 2:
        case 3:
        case 4: {
            const int value = static_cast<int>(random());
            ASSERT_TRUE(store->WriteInt(section, key, value));
            expected[slot] = value;
            break;
        }
        default: {
            const std::string value(random() % 2000, static_cast<char>('a' + random() % 26));
            ASSERT_TRUE(store->WriteString(section, key, value));
            expected[slot] = value;
        }
        }
        if (step % 500 == 499) store = std::make_unique<IniSettingsStore>(file);
    }
    store = std::make_unique<IniSettingsStore>(file);
    for (const char* section : sections) {
        for (int k = 0; k < 20; ++k) {
            const std::string key = "Key" + std::to_string(k);
            const auto found = expected.find({fold(section), key});
            if (found == expected.end()) {
                EXPECT_EQ(store->GetString(section, key, "none"), "none");
                EXPECT_EQ(store->GetInt(section, key, -7), -7);
            } else if (const int* number = std::get_if<int>(&found->second)) {
                EXPECT_EQ(store->GetInt(section, key, -7), *number) << section << " " << key;
            } else {
                EXPECT_EQ(store->GetString(section, key, "none"), std::get<std::string>(found->second))
                    << section << " " << key;
            }
        }
    }
}

TEST(IniSettingsStore, TenThousandPlaylistKeysAreWrittenQuicklyAndTheFileStaysCompact) {
    const auto file = FreshFolder() / "settings.ini";
    IniSettingsStore store(file);
    const int count = 10000;
    char key[32];
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 2; ++round) {
        // What Play File does: delete the old keys, then write the new list.
        const int old = store.GetInt("PlayList", "NumberOfFiles", 0);
        for (int i = 1; i <= old; ++i) {
            std::snprintf(key, sizeof key, "Track%02d", i);
            ASSERT_TRUE(store.WriteString("PlayList", key, std::nullopt));
        }
        ASSERT_TRUE(store.WriteInt("PlayList", "NumberOfFiles", count));
        for (int i = 1; i <= count; ++i) {
            std::snprintf(key, sizeof key, "Track%02d", i);
            ASSERT_TRUE(store.WriteString("Playlist", key, "/music/album " + std::to_string(i) + ".mp3"));
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("40001 writes of a 10000-entry playlist: %.3f s, file %ju bytes\n", seconds,
                static_cast<std::uintmax_t>(std::filesystem::file_size(file)));
    EXPECT_LT(seconds, 10.0);
    // Appends never grow the file past about twice its compact size.
    EXPECT_LT(std::filesystem::file_size(file), 2 * 450000u + (64u << 10));

    IniSettingsStore reopened(file);
    EXPECT_EQ(reopened.GetInt("PlayList", "NumberOfFiles", 0), count);
    EXPECT_EQ(reopened.GetString("PlayList", "Track9999"), "/music/album 9999.mp3");
}

TEST(IniSettingsStore, UncreatableFolderMakesWritesFailWithoutLosingTheView) {
    const auto folder = FreshFolder();
    WriteText(folder / "blocker", "a file where the config folder should be");
    IniSettingsStore store(folder / "blocker" / "app" / "settings.ini");
    EXPECT_FALSE(store.WriteInt("Settings", "Left", 1));
    EXPECT_FALSE(store.WriteString("Settings", "Name", "x"));
    EXPECT_TRUE(store.WriteString("Settings", "Name", std::nullopt)) << "nothing to delete is no failure";
    EXPECT_EQ(store.GetInt("Settings", "Left", 9), 9);
}

TEST(IniSettingsStore, ReadOnlyFileMakesWritesFailAndKeepsOldFileAndView) {
    const auto folder = FreshFolder();
    const auto file = folder / "settings.ini";
    {
        IniSettingsStore store(file);
        ASSERT_TRUE(store.WriteInt("Settings", "Left", 1));
        ASSERT_TRUE(store.WriteString("Settings", "Name", "old"));
    }
    const std::string before = ReadText(file);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                             std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_exec);
    // Root writes anywhere, so the check runs in a child that has given up root
    // (and that child needs a way through the private test HOME).
    std::filesystem::permissions(testenv::Home(), std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
        IniSettingsStore store(file);
        int failures = 0;
        failures += store.WriteInt("Settings", "Left", 2) ? 1 : 0;
        failures += store.WriteString("Settings", "Name", std::nullopt) ? 1 : 0;
        failures += store.DeleteSection("Settings") ? 1 : 0;
        failures += store.WriteString("Fresh", "Key", "v") ? 1 : 0;
        failures += store.GetInt("Settings", "Left", 0) != 1 ? 1 : 0;
        failures += store.GetString("Settings", "Name") != "old" ? 1 : 0;
        failures += store.GetString("Fresh", "Key", "none") != "none" ? 1 : 0;
        _exit(failures);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::permissions(testenv::Home(), std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::remove);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "writes that failed reported success, or the view changed";
    EXPECT_EQ(ReadText(file), before);
}

TEST(IniSettingsStore, FactoryPlacesTheFileUnderTheCompanyInTheConfigFolder) {
    const auto config = FreshFolder();
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const auto store = CreateIniSettingsStore("Orvantis", "brelune3");
    ASSERT_TRUE(store->WriteInt("Settings", "Left", 3));
    EXPECT_TRUE(std::filesystem::exists(config / "Orvantis" / "brelune3" / "settings.ini"));
    setenv("XDG_CONFIG_HOME", (std::filesystem::path(testenv::Home()) / "config").c_str(), 1);
}
