#include "dde/AudioCommand.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
using Kind = AudioCommand::Kind;

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return lower;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The text from character `start` on (counted from 0), or nothing.
std::string_view From(std::string_view text, std::size_t start) {
    return start < text.size() ? text.substr(start) : std::string_view();
}

// The C library's decimal reading (blanks, a sign, the leading digits);
// a number beyond int names no track, so it reads as the nearest end.
int ReadInteger(std::string_view text) {
    const std::string copy(text);
    errno = 0;
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

AudioCommand Simple(Kind kind) {
    AudioCommand command;
    command.kind = kind;
    return command;
}

struct DialogRow {
    std::string_view group;
    std::string_view rest;
    int number;  // for UM_OPEN_DIALOG; -1 for the help index
};

constexpr DialogRow kDialogs[] = {
    {"file ", "play file", 1},   {"file ", "play location", 2}, {"options ", "output", 3},
    {"options ", "play", 4},     {"options ", "proxy", 5},      {"options ", "url", 6},
    {"help ", "index", -1},      {"help ", "about", 8},
};

AudioCommand ReadDialog(std::string_view text) {
    for (const DialogRow& row : kDialogs) {
        if (!StartsWith(text, row.group) || text.substr(row.group.size()) != row.rest) continue;
        if (row.number < 0) return Simple(Kind::HelpIndex);
        AudioCommand command = Simple(Kind::OpenDialog);
        command.dialog = row.number;
        return command;
    }
    return {};
}
}  // namespace

AudioCommand ReadAudioCommand(std::string_view text) {
    const std::string lower = AsciiLower(text);
    if (lower == "exit") return Simple(Kind::Exit);
    if (StartsWith(lower, "play")) {
        // The fifth character, normally a blank, is skipped whatever it is.
        const std::string_view argument = From(text, 5);
        if (argument.empty()) return Simple(Kind::Play);
        const int n = ReadInteger(argument);
        if (n == 0) return Simple(Kind::Nothing);
        AudioCommand command = Simple(Kind::PlayTrack);
        command.track = n;
        return command;
    }
    constexpr struct {
        std::string_view keyword;
        Kind kind;
    } kTransport[] = {{"pause", Kind::Pause},
                      {"stop", Kind::Stop},
                      {"nexttrack", Kind::NextTrack},
                      {"prevtrack", Kind::PrevTrack}};
    for (const auto& [keyword, kind] : kTransport)
        if (lower == keyword) return Simple(kind);
    if (StartsWith(lower, "set playlist")) {
        AudioCommand command = Simple(Kind::SetPlaylist);
        command.argument = From(text, 13);
        return command;
    }
    if (StartsWith(lower, "dialog ")) return ReadDialog(From(lower, 7));
    return {};
}
