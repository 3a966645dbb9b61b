#include "ui/PlayerFileDialog.h"

#include <algorithm>
#include <cctype>

#include "platform/framework/MessageBox.h"

namespace {
std::string Trimmed(std::string_view text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string Cased(std::string text, int (*convert)(int)) {
    std::transform(text.begin(), text.end(), text.begin(), [convert](unsigned char c) { return char(convert(c)); });
    return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}
}  // namespace

PlayerFileDialog::PlayerFileDialog(bool open, QWidget* owner, std::string_view filter,
                                   const std::string& initialPath) {
    request.save = !open;
    request.owner = owner;
    request.filters = QtFilters(filter);
    request.defaultSuffix = "mp3";
    // A name without a folder opens in the dialog's own folder, proposing the name.
    const std::size_t slash = initialPath.rfind('/');
    request.directory = slash == std::string::npos ? std::string() : initialPath.substr(0, slash + 1);
    request.fileName = slash == std::string::npos ? initialPath : initialPath.substr(slash + 1);
}

int PlayerFileDialog::DoModal() {
    request.title = title;
    request.flags = flags;
    return RunFileDialog(request, chosen) ? IDOK : IDCANCEL;
}

std::vector<std::string> PlayerFileDialog::QtFilters(std::string_view filter) {
    std::vector<std::string> filters;
    const std::vector<std::string_view> parts = Split(filter, '|');
    // Description and patterns alternate; an empty description ends the list.
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::string description = Trimmed(parts[i]);
        // Qt takes the patterns from the text in parentheses, so the
        // description's own list gives way to the real one.
        if (!description.empty() && description.back() == ')') {
            const std::size_t open = description.rfind('(');
            if (open != std::string::npos) description = Trimmed(std::string_view(description).substr(0, open));
        }
        std::vector<std::string> patterns;
        for (std::string_view part : Split(parts[i + 1], ';')) {
            std::string pattern = Trimmed(part);
            if (pattern.empty()) continue;
            if (pattern == "*.*") pattern = "*";
            for (const std::string& variant : {Cased(pattern, ::tolower), Cased(pattern, ::toupper)}) {
                if (std::find(patterns.begin(), patterns.end(), variant) == patterns.end())
                    patterns.push_back(variant);
            }
        }
        std::string joined;
        for (const std::string& pattern : patterns) joined += (joined.empty() ? "" : " ") + pattern;
        filters.push_back(description + " (" + joined + ")");
    }
    return filters;
}
