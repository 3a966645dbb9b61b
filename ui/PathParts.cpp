#include "ui/PathParts.h"

PathParts SplitPath(std::string_view path) {
    PathParts parts;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameBegin = slash == std::string_view::npos ? 0 : slash + 1;
    parts.dir = path.substr(0, nameBegin);
    const std::string_view name = path.substr(nameBegin);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        parts.base = name;
    } else {
        parts.base = name.substr(0, dot);
        parts.ext = name.substr(dot);
    }
    return parts;
}
