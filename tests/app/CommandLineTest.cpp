#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"

namespace {
struct OptionCase {
    const char* given;
    const char* remaining;
    bool startHidden;
};

const OptionCase kCases[] = {
    {"-DDE C:\\a.mp3", " C:\\a.mp3", true},            // the leading blank stays
    {"/DDE", "", true},                                  // nothing left to hand over
    {"-dde", "-dde", false},                             // the option is case-sensitive
    {"/Dde x.mp3", "/Dde x.mp3", false},
    {"C:\\x-DDEy.mp3", "C:\\xy.mp3", true},             // matched inside a file name
    {"a.mp3 -DDE /DDE b.mp3", "a.mp3  /DDE b.mp3", true}, // only the first occurrence
    {"a.mp3 /DDE", "a.mp3 ", true},                      // at the very end
    {"a.mp3 -DD", "a.mp3 -DD", false},                   // cut short by the end of the line
    {"--DDE", "-", true},                                // the first '-' that is followed by DDE
    {"DDE", "DDE", false},
    {"", "", false},
};
}  // namespace

TEST(CommandLine, StartHiddenOptionIsRemovedExactlyAsWritten) {
    for (const OptionCase& c : kCases) {
        std::string line = c.given;
        EXPECT_EQ(RemoveStartHiddenOption(line), c.startHidden) << "given: " << c.given;
        EXPECT_EQ(line, c.remaining) << "given: " << c.given;
    }
}
