#include "net/InputLimits.h"

#include "platform/framework/MessageBox.h"

namespace {
// UTF-8: every byte but a continuation byte starts a character.
std::size_t CharacterCount(const std::string& text) {
    std::size_t count = 0;
    for (const unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}
}  // namespace

bool WithinLimit(const std::string& text, std::size_t limit, const char* what) {
    if (CharacterCount(text) <= limit) return true;
    ShowMessageBox(std::string("The ") + what + " is too long: enter at most " + std::to_string(limit) +
                       " characters.",
                   MessageBoxIcon::Warning);
    return false;
}
