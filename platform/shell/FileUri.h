#pragma once
// file:// locations, as desktops hand them to a program they start and as
// media controls send them: the local path they name, and the location a
// local path is known by to other programs.
//
// Accepted forms: "file:///abs/path", "file://localhost/abs/path" and
// "file:/abs/path", the scheme in any letter case. The path is
// percent-decoded; a query or fragment ("?..." or "#...") is not part of it.
// Any thread; never throws.

#include <optional>
#include <string>
#include <string_view>

// Whether the text starts with the file scheme ("file:", any case).
bool IsFileUri(std::string_view text);

// The local path a file URI names; nothing when the text is not a file URI,
// names another host, or decodes to a path that no file can have (a NUL
// byte, a broken escape, not absolute).
std::optional<std::string> LocalPathFromFileUri(std::string_view text);

// "file://" followed by the absolute path, every byte outside the unreserved
// characters and '/' percent-encoded.
std::string FileUriFromLocalPath(std::string_view absolutePath);
