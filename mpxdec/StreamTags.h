#pragma once
// The texts the tag commands return, and where they come from.

#include <cstdint>
#include <string>

namespace mpxdec {

struct StreamTags {
    std::string title;
    std::string artist;
    std::string author;
    std::string composer;
    std::string album;
};

// Fills the fields of tags that are still empty from a 128-byte ID3v1 tag;
// false when block is not one.
bool MergeId3v1(const char* block, StreamTags* tags);

// Fills the empty fields of tags from those of older (an ID3v1 tag read earlier).
void MergeId3v1Fields(const StreamTags& older, StreamTags* tags);

// Reads the ID3v1 tag at the end of a local file into the empty fields.
bool MergeId3v1FromFile(int fd, long long fileSize, StreamTags* tags);

// The whole length of the ID3v2 tag whose 10-byte header starts header
// (its footer included), or 0 when header is not one.
std::int64_t Id3v2TagBytes(const std::uint8_t* header);

}  // namespace mpxdec
