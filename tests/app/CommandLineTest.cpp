#include <gtest/gtest.h>

#include <string>
#include <vector>

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

namespace {
using Args = std::vector<std::string>;

struct ProgramOptionsCase {
    Args given;
    ProgramRequest request;
    std::string unknownOption;
    Args arguments;
};

const ProgramOptionsCase kProgramOptionCases[] = {
    {{}, ProgramRequest::Run, "", {}},
    {{"a.mp3", "/L", "list.txt", "-DDE"}, ProgramRequest::Run, "", {"a.mp3", "/L", "list.txt", "-DDE"}},
    {{"--help"}, ProgramRequest::Help, "", {}},
    {{"a.mp3", "--version", "--bogus"}, ProgramRequest::Version, "", {"a.mp3"}},  // the first decides
    {{"--bogus", "--help"}, ProgramRequest::UnknownOption, "--bogus", {}},
    {{"--HELP"}, ProgramRequest::UnknownOption, "--HELP", {}},                  // long options are exact
    {{"--help=all"}, ProgramRequest::UnknownOption, "--help=all", {}},
    {{"-help", "-x"}, ProgramRequest::Run, "", {"-help", "-x"}},                // one dash is no long option
    {{"--DDE", "a.mp3"}, ProgramRequest::Run, "", {"--DDE", "a.mp3"}},          // left to the start-hidden rule
    {{"--", "--help", "--x.mp3", "--"}, ProgramRequest::Run, "", {"--help", "--x.mp3", "--"}},
    {{"a.mp3", "--", "--"}, ProgramRequest::Run, "", {"a.mp3", "--"}},
};
}  // namespace

TEST(CommandLine, LongOptionsAnswerTheStartOrEndAtTheDoubleDash) {
    for (const ProgramOptionsCase& c : kProgramOptionCases) {
        const ProgramOptions options = ReadProgramOptions(c.given);
        std::string given;
        for (const std::string& word : c.given) given += word + " ";
        EXPECT_EQ(options.request, c.request) << given;
        EXPECT_EQ(options.unknownOption, c.unknownOption) << given;
        if (c.request == ProgramRequest::Run) {
            EXPECT_EQ(options.arguments, c.arguments) << given;
        }
    }
}
