#include "tests/support/TaggedCopy.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace testsupport {

namespace {

void BigEndian(std::string& out, std::size_t value, int bytes, int bitsPerByte) {
    for (int i = bytes - 1; i >= 0; --i) out += char((value >> (i * bitsPerByte)) & ((1u << bitsPerByte) - 1));
}

std::string Id3v2(const TagTexts& texts) {
    std::string frames;
    for (const auto& [id, text] : {std::pair{"TIT2", &texts.title}, {"TPE1", &texts.artist}, {"TALB", &texts.album}}) {
        if (text->empty()) continue;
        frames += id;
        BigEndian(frames, text->size() + 1, 4, 8);
        frames += std::string(2, '\0');
        frames += '\0';  // ISO 8859-1
        frames += *text;
    }
    std::string tag = "ID3";
    tag += '\x03';
    tag += '\0';
    tag += '\0';
    BigEndian(tag, frames.size(), 4, 7);  // sync-safe
    return tag + frames;
}

std::string Id3v1(const TagTexts& texts) {
    std::string tag = "TAG";
    // Title, artist and album: 30 bytes each, padded with NULs.
    for (const std::string* text : {&texts.title, &texts.artist, &texts.album}) {
        const std::string field = text->substr(0, 30);
        tag += field + std::string(30 - field.size(), '\0');
    }
    tag += std::string(128 - tag.size() - 1, '\0');
    tag += '\xff';  // no genre
    return tag;
}

}  // namespace

bool WriteTaggedCopy(const std::string& source, const std::string& target, const TagTexts& texts, TagKind kind) {
    std::ifstream in(source, std::ios::binary);
    if (!in) return false;
    const std::string body((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << (kind == TagKind::Id3v2 ? Id3v2(texts) + body : body + Id3v1(texts));
    return bool(out);
}

}  // namespace testsupport
