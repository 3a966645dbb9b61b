#include "platform/dde/DdeNumberItem.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

bool DdeNumberItem::SetValue(const std::string& text) {
    if (text.empty() || (text.front() != '-' && (text.front() < '0' || text.front() > '9'))) return false;
    // The C library's reading, kept within 32 bits: digits beyond its range
    // read as the nearest end rather than as whatever an overflow gives.
    errno = 0;
    const long long reading = std::strtoll(text.c_str(), nullptr, 10);
    constexpr long long low = std::numeric_limits<std::int32_t>::min();
    constexpr long long high = std::numeric_limits<std::int32_t>::max();
    number = std::int32_t(reading < low ? low : reading > high ? high : reading);
    return DdeItem::SetValue(text);
}

bool DdeNumberItem::SetNumber(long n) { return SetValue(std::to_string(n)); }
