#pragma once
// A copy of a media file with tags the test chooses: an ID3v2.3 tag in front
// (a TIT2, TPE1 and TALB frame for each text given) or an ID3v1 tag at the
// end, so that tag reading is tested on the texts the test names.

#include <string>

namespace testsupport {

struct TagTexts {
    std::string title;
    std::string artist;
    std::string album;
};

enum class TagKind { Id3v2, Id3v1 };

// False when the source cannot be read or the copy written.
bool WriteTaggedCopy(const std::string& source, const std::string& target, const TagTexts& texts, TagKind kind);

}  // namespace testsupport
