#pragma once
// The shell's display name of a file: its name as the file system shows it.
//
// An existing file or folder answers with the last component of the path
// (trailing '/' ignored; "/" itself answers "/"). A missing path, one that
// cannot be examined, and a location with a scheme ("http://...") have no
// answer. One stat() per call; any thread; never throws.

#include <optional>
#include <string>

std::optional<std::string> ShellDisplayName(const std::string& path);
