#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/SplitArguments.h"

namespace {

struct SplitCase {
    const char* line;
    std::vector<std::string> words;
};

// Raw strings keep backslashes and quotes as typed on a command line.
const SplitCase kSplitCases[] = {
    {"a.mp3 b.mp3", {"a.mp3", "b.mp3"}},
    {"", {}},
    {" \t\n ", {}},
    {"  lead and trail \t ", {"lead", "and", "trail"}},
    {"a\tb\nc\vd\fe\rf", {"a", "b", "c", "d", "e", "f"}},
    {"\xA0" "a\xA0\x85 b", {"\xA0" "a\xA0\x85", "b"}},
    {R"("C:\Program Files\x.mp3")", {R"(C:\Program Files\x.mp3)"}},
    {R"(ab"c d"ef g)", {"abc def", "g"}},
    {R"(C:\dir\\x trail\)", {R"(C:\dir\\x)", R"(trail\)"}},
    {R"(a\\"b c")", {R"(a\b c)"}},
    {R"(a\\\\"b c")", {R"(a\\b c)"}},
    {R"(a\"b c)", {R"(a"b)", "c"}},
    {R"(a\\\"b c)", {R"(a\"b)", "c"}},
    {R"(a\\\\\"b)", {R"(a\\"b)"}},
    {R"("" x "")", {"", "x", ""}},
    {R"(a""b)", {"ab"}},
    {R"("a""b c")", {R"(a"b)", "c"}},
    {R"("""a")", {R"("a)"}},
    {R"("a b)", {"a b"}},
    {R"(x ")", {"x", ""}},
    {R"("a\" b)", {R"(a" b)"}},
};

TEST(SplitArgumentsTest, SplitsCommandLinesLikeTheCRuntime) {
    for (const SplitCase& c : kSplitCases)
        EXPECT_EQ(SplitArguments(c.line), c.words) << "line: " << c.line;
}

TEST(SplitArgumentsTest, JoinedWordsSplitBackToTheSameWords) {
    std::vector<std::vector<std::string>> lists;
    for (const SplitCase& c : kSplitCases)
        lists.push_back(c.words);
    lists.push_back({"\\", "\\\\\"", "\"", "a\\\\", " ", "\t", "C:\\my dir\\", "\"\"", "x\"\"y z"});
    for (const auto& words : lists)
        EXPECT_EQ(SplitArguments(JoinArguments(words)), words) << "joined: " << JoinArguments(words);
}

TEST(SplitArgumentsTest, JoinQuotesOnlyWordsThatNeedIt) {
    struct JoinCase {
        std::vector<std::string> words;
        const char* line;
    };
    const JoinCase cases[] = {
        {{}, ""},
        {{"a.mp3", "b.mp3"}, "a.mp3 b.mp3"},
        {{"/L", "list.txt"}, "/L list.txt"},
        {{R"(C:\x\y.mp3)"}, R"(C:\x\y.mp3)"},
        {{"my song.mp3"}, R"("my song.mp3")"},
        {{""}, R"("")"},
        {{R"(C:\my dir\)"}, R"("C:\my dir\\")"},
        {{R"(say "hi")"}, R"("say \"hi\"")"},
    };
    for (const JoinCase& c : cases)
        EXPECT_EQ(JoinArguments(c.words), c.line);
}

}  // namespace
