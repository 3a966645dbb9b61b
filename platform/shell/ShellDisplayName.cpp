#include "platform/shell/ShellDisplayName.h"

#include <sys/stat.h>

namespace {

// A scheme is a letter followed by letters, digits, '+', '-' or '.', then "://".
bool IsLocation(const std::string& path) {
    const std::size_t colon = path.find("://");
    if (colon == std::string::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool digit = c >= '0' && c <= '9';
        if (!(letter || (i > 0 && (digit || c == '+' || c == '-' || c == '.'))))
            return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> ShellDisplayName(const std::string& path) {
    if (path.empty() || IsLocation(path))
        return std::nullopt;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return std::nullopt;

    std::size_t end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return std::string("/");
    const std::size_t slash = path.rfind('/', end);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(begin, end + 1 - begin);
}
