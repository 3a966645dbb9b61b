#include <gtest/gtest.h>

#include <string>

#include "engine/PlaylistEntry.h"

namespace {

TEST(PlaylistEntryTest, SplitsFilePartAndReadsOffsetAndLength) {
    struct Case {
        const char* entry;
        const char* file;
        int offset, offsetUnit, length, lengthUnit;
    };
    const Case cases[] = {
        {R"(C:\a.mp3 [offset=30t length=10t])", R"(C:\a.mp3 )", 30, 1, 10, 1},
        {R"(C:\a.mp3 [offset=30x])", R"(C:\a.mp3 )", 0, 0, 0, 0},
        {"/m/a.mp3", "/m/a.mp3", 0, 0, 0, 0},
        {"", "", 0, 0, 0, 0},
        {"http://host/live", "http://host/live", 0, 0, 0, 0},
        {"/m/a]b[offset=5t]", "/m/a]b", 0, 0, 0, 0},
        {"/m/a.mp3 [offset=5t", "/m/a.mp3 ", 0, 0, 0, 0},
        {"a.mp3[length=7f offset=3b]", "a.mp3", 3, 0, 7, 2},
        {"a.mp3 [offset=1t offset=9f]", "a.mp3 ", 1, 1, 0, 0},
        {"a.mp3 [offset=30 length=10b]", "a.mp3 ", 0, 0, 10, 0},
        {"a.mp3 [length=12]", "a.mp3 ", 0, 0, 12, 1},
        {"a.mp3 [offset= +12b]", "a.mp3 ", 12, 0, 0, 0},
        {"a.mp3 [offset=-5t]", "a.mp3 ", -5, 1, 0, 0},
        {"a.mp3 [offset=+-5t]", "a.mp3 ", 0, 0, 0, 0},
        {"a.mp3 [offset=t length=]", "a.mp3 ", 0, 0, 0, 0},
        {"a.mp3 [offset=99999999999t]", "a.mp3 ", 0, 0, 0, 0},
        {"a.mp3 [] [offset=4t]", "a.mp3 ", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const PlaylistEntry parsed = PlaylistEntry::Parse(c.entry);
        EXPECT_EQ(parsed.file, c.file) << c.entry;
        EXPECT_EQ(parsed.offset, c.offset) << c.entry;
        EXPECT_EQ(parsed.offsetUnit, c.offsetUnit) << c.entry;
        EXPECT_EQ(parsed.length, c.length) << c.entry;
        EXPECT_EQ(parsed.lengthUnit, c.lengthUnit) << c.entry;
    }
}

TEST(PlaylistEntryTest, TrackKeysHaveAtLeastTwoDigits) {
    EXPECT_EQ(TrackKey(1), "Track01");
    EXPECT_EQ(TrackKey(9), "Track09");
    EXPECT_EQ(TrackKey(10), "Track10");
    EXPECT_EQ(TrackKey(99), "Track99");
    EXPECT_EQ(TrackKey(100), "Track100");
}

}  // namespace
