#pragma once
// The name under which a file joins the playlist: its folder followed by the
// name the shell shows for it, so that the list holds the names a person sees.

#include <string>

// Folder plus the shell's display name, with the typed extension appended
// when the display name does not end with it exactly (case-sensitive). A
// path the shell does not know (missing file, URL) comes back unchanged, and
// so does a path that ends in '/': it names no file whose name could be
// shown after the folder. A file:// location (platform/shell/FileUri.h) is
// taken as the local path it names.
std::string ResolveDisplayName(const std::string& name);
