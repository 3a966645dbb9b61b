#include "ui/SplitArguments.h"

namespace {

bool IsBlank(char c) {
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

bool NeedsQuotes(const std::string& word) {
    if (word.empty())
        return true;
    for (char c : word) {
        if (IsBlank(c) || c == '"')
            return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    const std::size_t end = line.size();
    while (true) {
        while (i < end && IsBlank(line[i]))
            ++i;
        if (i == end)
            break;

        std::string word;
        bool quoted = false;
        while (i < end && (quoted || !IsBlank(line[i]))) {
            std::size_t backslashes = 0;
            while (i < end && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < end && line[i] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                    ++i;
                } else if (quoted && i + 1 < end && line[i + 1] == '"') {
                    word += '"';
                    quoted = false;
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                word.append(backslashes, '\\');
                if (i < end && (quoted || !IsBlank(line[i])))
                    word += line[i++];
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string JoinArguments(const std::vector<std::string>& words) {
    std::string line;
    for (std::size_t w = 0; w < words.size(); ++w) {
        const std::string& word = words[w];
        if (w > 0)
            line += ' ';
        if (!NeedsQuotes(word)) {
            line += word;
            continue;
        }
        // Inside quotes only backslashes that end up before a quote need
        // doubling: those before a literal quote and those before the
        // closing one.
        line += '"';
        std::size_t backslashes = 0;
        for (char c : word) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            if (c == '"') {
                line.append(backslashes * 2 + 1, '\\');
            } else {
                line.append(backslashes, '\\');
            }
            backslashes = 0;
            line += c;
        }
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}
