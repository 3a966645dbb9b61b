#pragma once
// The file proposed for saving a stream: the default directory, then, from the
// stream's name, the text after its last '/' up to its first '.', at most 8
// characters, and ".MP3". "http://host/music/track01.mp3" in "/home/me/Music"
// proposes "/home/me/Music/track01.MP3". With no directory the result is the
// bare file name, so the save dialog starts in its own folder.

#include <string>

std::string ProposedSavePath(const std::string& directory, const std::string& streamName);
