#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"
#include "ui/ListFileReader.h"

namespace {

using Entries = std::vector<std::string>;

TEST(ListFileReaderTest, ReadsTheMixedFixtureEntryByEntry) {
    const auto entries = LoadListFile(testenv::FixturesDir() + "/lists/mixed.m3u");
    ASSERT_TRUE(entries);
    const std::string longHead = "/long/" + std::string(249, 'a');
    const Entries expected = {
        "/music/indented.mp3",
        "song one.mp3   ",
        "dir/track#2.mp3",
        longHead,
        std::string(41, 'b') + ".mp3",
        "C:\\a.mp3 [offset=30t length=10t]",
        "http://127.0.0.1:8000/live",
        "last.mp3",
    };
    EXPECT_EQ(*entries, expected);
}

TEST(ListFileReaderTest, ReadsGarbageWithoutCrashingOrHanging) {
    using namespace std::string_literals;
    struct Case {
        std::string bytes;
        Entries entries;
    };
    const Case cases[] = {
        {""s, {}},
        {"\0"s, {}},
        {"\0abc\nx"s, {"x"}},
        {"a\0b\nc"s, {"a", "c"}},
        {std::string(10, 'a') + "\0"s + std::string(300, 'b'), {std::string(10, 'a'), std::string(56, 'b')}},
        {std::string(600, 'z'), {std::string(255, 'z'), std::string(255, 'z'), std::string(90, 'z')}},
        {"#\0 no newline"s, {}},
        {"\r\n\r\n\n"s, {}},
        {"\xff\xfe\x01\x02\r\n"s, {"\xff\xfe\x01\x02"}},
        {"\xEF\xBB\xBF#EXTM3U\r\nx.mp3\r\n"s, {"x.mp3"}},
        {"\xEF\xBBx.mp3\n"s, {"\xEF\xBBx.mp3"}},
        {"a\r\r\nb\rc"s, {"a\r", "b\rc"}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ReadListEntries(cases[i].bytes), cases[i].entries) << "case " << i;
}

// The file reader works through a buffer; a CR LF pair split by its edge must
// still read as one line end.
TEST(ListFileReaderTest, FileReadingMatchesMemoryReadingAcrossBufferEdges) {
    const std::string path = testenv::Home() + "/edge.m3u";
    for (std::size_t pad : {65533u, 65534u, 65535u, 65536u}) {
        // The CR of the line of x's sits at offset pad.
        const std::string bytes = "first.mp3\n" + std::string(pad - 10, 'x') + "\r\nlast.mp3\r";
        std::ofstream(path, std::ios::binary) << bytes;
        const auto fromFile = LoadListFile(path);
        ASSERT_TRUE(fromFile);
        EXPECT_EQ(*fromFile, ReadListEntries(bytes)) << "pad " << pad;
        EXPECT_EQ(fromFile->front(), "first.mp3");
        EXPECT_EQ(fromFile->back(), "last.mp3\r");
    }
}

TEST(ListFileReaderTest, OnlyRegularFilesCanBeOpened) {
    EXPECT_FALSE(LoadListFile(testenv::Home() + "/no-such-list.m3u"));
    EXPECT_FALSE(LoadListFile(testenv::Home()));
    EXPECT_FALSE(LoadListFile("/dev/zero"));
    // A pipe without a writer would block the opening forever.
    const std::string fifo = testenv::Home() + "/list.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(LoadListFile(fifo));
}

}  // namespace
