#include "net/ProposedSavePath.h"

namespace {
constexpr std::size_t kMaxBaseLength = 8;
constexpr const char* kExtension = ".MP3";

// The first `count` characters of UTF-8 text, never part of one.
std::string FirstCharacters(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t seen = 0; end < text.size(); ++end) {
        if ((static_cast<unsigned char>(text[end]) & 0xC0) != 0x80 && seen++ == count) break;
    }
    return text.substr(0, end);
}
}  // namespace

std::string ProposedSavePath(const std::string& directory, const std::string& streamName) {
    const std::size_t slash = streamName.rfind('/');
    const std::string last = slash == std::string::npos ? streamName : streamName.substr(slash + 1);
    const std::string file = FirstCharacters(last.substr(0, last.find('.')), kMaxBaseLength) + kExtension;
    if (directory.empty()) return file;
    return directory.back() == '/' ? directory + file : directory + '/' + file;
}
