#include "platform/settings/IniFormat.h"

#include <charconv>

namespace {
constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view text, bool isName) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; continue;
        case '\n': out += "\\n"; continue;
        case '\r': out += "\\r"; continue;
        case '\t': out += "\\t"; continue;
        default: break;
        }
        const bool special = isName && (c == '=' || c == '[' || c == ']' || c == ';' || c == '#');
        if (byte < 0x20 || byte == 0x7F || special) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            if (i + 2 >= text.size()) return std::nullopt;
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

std::optional<IniValue> ParseValue(std::string_view text) {
    if (text.starts_with("s:")) {
        std::optional<std::string> value = Unescape(text.substr(2));
        if (!value) return std::nullopt;
        return IniValue(std::move(*value));
    }
    if (text.starts_with("i:")) {
        text.remove_prefix(2);
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
        return IniValue(value);
    }
    // A value without a type prefix was written by hand: a number when it
    // is one (blanks around it allowed), its text as written otherwise.
    std::string_view number = text;
    while (number.starts_with(' ') || number.starts_with('\t')) number.remove_prefix(1);
    while (number.ends_with(' ') || number.ends_with('\t')) number.remove_suffix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (!number.empty() && error == std::errc() && end == number.data() + number.size()) return IniValue(value);
    return IniValue(std::string(text));
}

class Parser {
public:
    explicit Parser(IniSections& sections) : sections_(sections) {}

    void Line(std::string_view line) {
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line[0] == ';' || line[0] == '#') return;
        if (line[0] == '[') {
            current_.reset();
            if (line.size() < 2 || line.back() != ']') return;
            current_ = Unescape(line.substr(1, line.size() - 2));
            return;
        }
        if (!current_) return;
        if (line == "-") {
            sections_.erase(FoldSectionName(*current_));
            return;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return;
        std::optional<std::string> key = Unescape(line.substr(0, equals));
        if (!key) return;
        const std::string_view valueText = line.substr(equals + 1);
        if (valueText == "-") {
            Erase(*key);
            return;
        }
        std::optional<IniValue> value = ParseValue(valueText);
        if (!value) return;
        const auto [found, added] = sections_.try_emplace(FoldSectionName(*current_));
        if (added) found->second.name = *current_;
        found->second.values[std::move(*key)] = std::move(*value);
    }

private:
    void Erase(const std::string& key) {
        const auto found = sections_.find(FoldSectionName(*current_));
        if (found == sections_.end()) return;
        found->second.values.erase(key);
        if (found->second.values.empty()) sections_.erase(found);
    }

    IniSections& sections_;
    std::optional<std::string> current_;
};
}  // namespace

std::string FoldSectionName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

IniSections ParseIni(std::string_view text) {
    IniSections sections;
    Parser parser(sections);
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        parser.Line(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return sections;
}

std::string FormatIni(const IniSections& sections) {
    std::string text = "; Brelune3 settings, written by the program. Later lines override earlier ones.\n";
    for (const auto& [folded, section] : sections) {
        text += FormatSectionHeader(section.name);
        for (const auto& [key, value] : section.values) text += FormatEntry(key, value);
    }
    return text;
}

std::string FormatSectionHeader(std::string_view name) {
    std::string line = "[";
    AppendEscaped(line, name, true);
    line += "]\n";
    return line;
}

std::string FormatEntry(std::string_view key, const std::optional<IniValue>& value) {
    std::string line;
    AppendEscaped(line, key, true);
    if (!value) {
        line += "=-\n";
    } else if (const int* number = std::get_if<int>(&*value)) {
        line += "=i:" + std::to_string(*number) + "\n";
    } else {
        line += "=s:";
        AppendEscaped(line, std::get<std::string>(*value), false);
        line += '\n';
    }
    return line;
}

std::string FormatSectionCleared() { return "-\n"; }
