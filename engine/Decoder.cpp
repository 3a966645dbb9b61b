#include "engine/Decoder.h"

namespace {
// The library is told the buffer is this large, terminator included.
constexpr std::intptr_t kErrorTextBytes = 256;
}  // namespace

std::string Decoder::ErrorText(DecoderStatus status)
{
    char text[kErrorTextBytes] = {};
    if (Command(DecoderCommand::ErrorText, static_cast<std::intptr_t>(status), kErrorTextBytes, text) != 0) {
        return {};
    }
    return text;
}
