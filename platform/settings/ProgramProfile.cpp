#include "platform/settings/ProgramProfile.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/settings/AtomicFile.h"
#include "platform/settings/ConfigFolder.h"
#include "platform/settings/IniFormat.h"

namespace {
constexpr std::size_t kMaxProfileBytes = 16u << 20;

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The section a line opens, or nothing when it is no section header.
std::optional<std::string> HeaderName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return std::string(line.substr(1, line.size() - 2));
}

bool IsKeyLine(std::string_view line, const std::string& key) {
    const std::size_t equals = line.find('=');
    return equals != std::string_view::npos && FoldSectionName(TrimBlanks(line.substr(0, equals))) == FoldSectionName(key);
}
bool WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return ReplaceFileAtomically(file, text);
}
}  // namespace

bool WriteProfileString(const std::filesystem::path& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string::npos || key.find('=') != std::string::npos) return false;
    std::vector<std::string> lines = SplitLines(ReadWholeFile(file, kMaxProfileBytes).value_or(std::string()));
    const std::string entry = key + "=" + value;

    bool inSection = false;
    std::optional<std::size_t> sectionEnd;  // after the section's last non-blank line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const std::optional<std::string> name = HeaderName(lines[i])) {
            inSection = FoldSectionName(*name) == FoldSectionName(section);
            if (inSection && !sectionEnd) sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (IsKeyLine(lines[i], key)) {
            lines[i] = entry;
            return WriteLines(file, lines);
        }
        if (!TrimBlanks(lines[i]).empty()) sectionEnd = i + 1;
    }
    if (sectionEnd) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(entry);
    }
    return WriteLines(file, lines);
}

bool WriteProgramFile(const std::string& company, const std::string& executablePath) {
    return WriteProfileString(ConfigFolder(company) / "profile.ini", "Brelune3", "ProgramFile", executablePath);
}
