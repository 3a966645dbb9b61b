// The library's own tag readers: the ID3v2 header that the start skips by,
// ID3v1 blocks, and the text helpers every tag goes through.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mpxdec/StreamTags.h"
#include "mpxdec/TextCopy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= 10) {
        std::int64_t tag = mpxdec::Id3v2TagBytes(data);
        if (tag != 0 && (tag < 10 || tag > 10 + (1 << 28) + 10)) {
            std::abort();
        }
    }
    if (size >= 128) {
        char block[128];
        std::memcpy(block, data, sizeof block);
        mpxdec::StreamTags tags;
        mpxdec::MergeId3v1(block, &tags);
        if (!mpxdec::IsUtf8(tags.title) || !mpxdec::IsUtf8(tags.artist)) {
            std::abort();
        }
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = mpxdec::Latin1ToUtf8(text);
    if (!mpxdec::IsUtf8(utf8)) {
        std::abort();
    }
    // A cut copy is a prefix of the text, ends whole, and never overruns.
    char out[40];
    std::memset(out, 'x', sizeof out);
    const std::ptrdiff_t capacity = size > 0 ? data[0] % 33 : 0;
    if (mpxdec::CopyText(utf8, out, capacity)) {
        const std::size_t n = std::strlen(out);
        if (n >= static_cast<std::size_t>(capacity) || utf8.compare(0, n, out) != 0 || !mpxdec::IsUtf8(out)) {
            std::abort();
        }
    }
    for (std::ptrdiff_t i = capacity; i < static_cast<std::ptrdiff_t>(sizeof out); ++i) {
        if (out[i] != 'x') {
            std::abort();
        }
    }
    return 0;
}
