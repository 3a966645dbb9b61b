#include "ui/ResolveDisplayName.h"

#include "platform/shell/ShellDisplayName.h"
#include "ui/PathParts.h"

std::string ResolveDisplayName(const std::string& path) {
    const PathParts parts = SplitPath(path);
    if (parts.base.empty() && parts.ext.empty())
        return path;
    const std::optional<std::string> shown = ShellDisplayName(path);
    if (!shown)
        return path;

    std::string result = parts.drive + parts.dir + *shown;
    if (!result.ends_with(parts.ext))
        result += parts.ext;
    return result;
}
