#pragma once
// Reading an execute command of the Audio topic into what it asks for,
// apart from acting on it, so the reading can be tried on any text.
// Keywords match in any letter case; arguments (file names, locations,
// track numbers) keep theirs, since file names here are case-sensitive.

#include <string>
#include <string_view>

struct AudioCommand {
    enum class Kind {
        Unknown,      // refused
        Nothing,      // accepted, asks for nothing ("play 0", "play x")
        Exit,
        Play,
        PlayTrack,
        Pause,
        Stop,
        NextTrack,
        PrevTrack,
        SetPlaylist,
        OpenDialog,
        HelpIndex,
    };
    Kind kind = Kind::Unknown;
    int track = 0;         // PlayTrack
    int dialog = 0;        // OpenDialog: the number UM_OPEN_DIALOG carries
    std::string argument;  // SetPlaylist: the list, as sent
};

AudioCommand ReadAudioCommand(std::string_view command);
