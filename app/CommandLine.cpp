#include "app/CommandLine.h"

bool RemoveStartHiddenOption(std::string& commandLine) {
    static constexpr char kOption[] = "DDE";
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if ((c == '-' || c == '/') && commandLine.compare(i + 1, 3, kOption) == 0) {
            commandLine.erase(i, 4);
            return true;
        }
    }
    return false;
}

ProgramOptions ReadProgramOptions(const std::vector<std::string>& arguments) {
    ProgramOptions options;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.rfind("--", 0) != 0) {
            options.arguments.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help") {
            options.request = ProgramRequest::Help;
            return options;
        }
        if (argument == "--version") {
            options.request = ProgramRequest::Version;
            return options;
        }
        std::string startHidden = argument;
        if (RemoveStartHiddenOption(startHidden)) {
            options.arguments.push_back(argument);
            continue;
        }
        options.request = ProgramRequest::UnknownOption;
        options.unknownOption = argument;
        return options;
    }
    return options;
}

std::string UsageText(const std::string& program, const std::string& helpIndex) {
    std::string text =
        "Usage: " + program + " [-DDE] [--] [FILE | LIST.m3u | /L LISTFILE | LOCATION]...\n"
        "\n"
        "Plays MPEG audio files (Layer 1, 2 and 3), playlists and http:// or https://\n"
        "streams. When a player is already running, it takes the files instead.\n"
        "\n"
        "  -DDE, /DDE   start with the window hidden, for programs that drive the player\n"
        "  /L LISTFILE  play the files named in LISTFILE, one a line\n"
        "  --help       print this help and exit\n"
        "  --version    print the version and exit\n"
        "  --           take every later argument as a file name\n"
        "\n"
        "brelune3-ctl reads and drives a running player from a shell.\n";
    if (!helpIndex.empty()) text += "The player's help pages: " + helpIndex + "\n";
    return text;
}

std::string VersionText() {
    return "Brelune3 " BRELUNE3_VERSION "\n"
           "Copyright 2026 The Brelune3 developers. Free software under the MIT licence.\n";
}
