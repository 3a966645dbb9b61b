#include "mpxdec/TextCopy.h"

#include <cstring>

namespace mpxdec {

bool CopyText(const std::string& text, char* out, std::ptrdiff_t capacity)
{
    if (out == nullptr || capacity <= 0) {
        return false;
    }
    std::size_t n = text.size();
    if (n > static_cast<std::size_t>(capacity - 1)) {
        n = static_cast<std::size_t>(capacity - 1);
        // Step back over continuation bytes so no character is cut in half.
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            --n;
        }
    }
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return true;
}

std::string Latin1ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t follow = 0;
        if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0) {
                follow = 1;
            } else if ((c & 0xF0) == 0xE0) {
                follow = 2;
            } else if ((c & 0xF8) == 0xF0) {
                follow = 3;
            } else {
                return false;
            }
        }
        if (i + follow >= text.size() && follow > 0) {
            return false;
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += follow + 1;
    }
    return true;
}

}  // namespace mpxdec
