#include "platform/shell/FileUri.h"

namespace {

constexpr std::string_view kScheme = "file:";
constexpr std::string_view kLocalHost = "localhost";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

bool IsFileUri(std::string_view text) { return StartsWithNoCase(text, kScheme); }

std::optional<std::string> LocalPathFromFileUri(std::string_view text) {
    if (!IsFileUri(text)) return std::nullopt;
    std::string_view rest = text.substr(kScheme.size());
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.starts_with("//")) {
        // An authority: only this machine's name may stand there.
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !(host.size() == kLocalHost.size() && StartsWithNoCase(host, kLocalHost)))
            return std::nullopt;
        if (slash == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/')) return std::nullopt;

    std::string path;
    path.reserve(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            path += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return std::nullopt;
        const int high = HexValue(rest[i + 1]);
        const int low = HexValue(rest[i + 2]);
        // A NUL would cut the path short where the system reads it.
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
        path += char(high * 16 + low);
        i += 2;
    }
    return path;
}

std::string FileUriFromLocalPath(std::string_view absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte) || c == '/') {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 0xF];
        }
    }
    return uri;
}
