#include "engine/PlaylistEntry.h"

#include <charconv>
#include <cstdio>
#include <optional>

namespace {

constexpr int kTimeUnit = 1;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

struct Value {
    std::int32_t number = 0;
    int unit = 0;
};

// Reads "<name>%ld%c" from the name's first occurrence in options: the number
// may follow white space and carry a sign; the letter follows at once.
std::optional<Value> ReadOption(std::string_view options, std::string_view name) {
    const std::size_t at = options.find(name);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t i = at + name.size();
    while (i < options.size() && IsSpace(options[i]))
        ++i;
    const char* first = options.data() + i;
    const char* last = options.data() + options.size();
    // from_chars takes '-' but not '+'.
    if (first != last && *first == '+' && first + 1 != last && *(first + 1) != '-')
        ++first;
    Value value;
    const auto [next, error] = std::from_chars(first, last, value.number);
    if (error != std::errc())
        return std::nullopt;
    if (next == last) {
        value.unit = kTimeUnit;
        return value;
    }
    switch (*next) {
    case 'b':
        value.unit = 0;
        return value;
    case 't':
        value.unit = 1;
        return value;
    case 'f':
        value.unit = 2;
        return value;
    default:
        return std::nullopt;
    }
}

}  // namespace

PlaylistEntry PlaylistEntry::Parse(std::string_view entry) {
    PlaylistEntry parsed;
    const std::size_t open = entry.find('[');
    const std::size_t close = entry.find(']');
    parsed.file = entry.substr(0, open);
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return parsed;

    const std::string_view options = entry.substr(open + 1, close - open - 1);
    if (const auto offset = ReadOption(options, "offset=")) {
        parsed.offset = offset->number;
        parsed.offsetUnit = offset->unit;
    }
    if (const auto length = ReadOption(options, "length=")) {
        parsed.length = length->number;
        parsed.lengthUnit = length->unit;
    }
    return parsed;
}

std::string TrackKey(int n) {
    char key[24];
    std::snprintf(key, sizeof key, "Track%02d", n);
    return key;
}
