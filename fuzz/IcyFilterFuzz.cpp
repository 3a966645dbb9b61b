// The ICY metadata filter on any stream: the first two bytes give the
// interval, the rest arrives in pieces. However it is cut, the audio that
// comes out is the same as from one piece, and titles stay UTF-8.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "mpxdec/IcyFilter.h"
#include "mpxdec/TextCopy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3) {
        return 0;
    }
    const std::size_t interval = (data[0] << 8 | data[1]) % 2000;
    const std::size_t piece = data[2] % 64 + 1;
    data += 3;
    size -= 3;

    std::vector<std::uint8_t> whole;
    mpxdec::IcyFilter once(interval);
    once.Filter(data, size, whole);

    std::vector<std::uint8_t> pieces;
    mpxdec::IcyFilter cut(interval);
    std::string title;
    for (std::size_t at = 0; at < size; at += piece) {
        cut.Filter(data + at, std::min(piece, size - at), pieces);
        if (cut.TakeTitle(&title) && !mpxdec::IsUtf8(title)) {
            std::abort();
        }
    }
    if (pieces != whole || whole.size() > size) {
        std::abort();
    }
    return 0;
}
