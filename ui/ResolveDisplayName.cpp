#include "ui/ResolveDisplayName.h"

#include "platform/shell/FileUri.h"
#include "platform/shell/ShellDisplayName.h"
#include "ui/PathParts.h"

std::string ResolveDisplayName(const std::string& name) {
    // Every entry of the playlist passes here: a file:// location joins it as
    // the local file it names, so that it plays and shows as that file.
    const std::string path = LocalPathFromFileUri(name).value_or(name);
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
