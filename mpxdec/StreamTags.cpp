#include "mpxdec/StreamTags.h"

#include <unistd.h>

#include <cstring>

#include "mpxdec/TextCopy.h"

namespace mpxdec {

namespace {

// ID3v1 fields are fixed-width, padded with NULs or blanks.
std::string Field(const char* p, std::size_t width)
{
    std::size_t n = strnlen(p, width);
    while (n > 0 && (p[n - 1] == ' ')) {
        --n;
    }
    return Latin1ToUtf8(std::string(p, n));
}

}  // namespace

bool MergeId3v1(const char* block, StreamTags* tags)
{
    if (std::memcmp(block, "TAG", 3) != 0) {
        return false;
    }
    if (tags->title.empty()) {
        tags->title = Field(block + 3, 30);
    }
    if (tags->artist.empty()) {
        tags->artist = Field(block + 33, 30);
    }
    if (tags->album.empty()) {
        tags->album = Field(block + 63, 30);
    }
    return true;
}

void MergeId3v1Fields(const StreamTags& older, StreamTags* tags)
{
    if (tags->title.empty()) {
        tags->title = older.title;
    }
    if (tags->artist.empty()) {
        tags->artist = older.artist;
    }
    if (tags->album.empty()) {
        tags->album = older.album;
    }
}

bool MergeId3v1FromFile(int fd, long long fileSize, StreamTags* tags)
{
    char block[128];
    if (fileSize < 128 || pread(fd, block, sizeof block, static_cast<off_t>(fileSize - 128)) != 128) {
        return false;
    }
    return MergeId3v1(block, tags);
}

std::int64_t Id3v2TagBytes(const std::uint8_t* header)
{
    // "ID3", a version byte below 0xFF, flags, then four size bytes of
    // seven bits each.
    if (std::memcmp(header, "ID3", 3) != 0 || header[3] == 0xFF || header[4] == 0xFF) {
        return 0;
    }
    std::int64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if ((header[i] & 0x80) != 0) {
            return 0;
        }
        size = (size << 7) | header[i];
    }
    bool footer = (header[5] & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

}  // namespace mpxdec
