#pragma once
// Where the running instance of a window class listens for this user:
// "<folder>/<class as letters and digits>-<hash of the exact class>.socket",
// the folder being $XDG_RUNTIME_DIR when it is an absolute path to a folder
// of ours and the path fits a local socket, else
// /tmp/brelune3-runtime-<uid>, created 0700 and checked to be
// ours and private (so no other user can plant a socket there). Its lock file
// is the same path with ".lock" added.

#include <optional>
#include <string>

// Nothing when no private folder can be had, or the path would be too long
// for a local socket.
std::optional<std::string> InstanceSocketPath(const std::string& windowClass);
