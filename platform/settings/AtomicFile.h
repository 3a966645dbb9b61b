#pragma once
// File writes that never leave a half-written file in place of a good one.
// Both return false on any failure (errno-level detail is not kept: callers
// only need to know the write did not happen).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Writes the content to "<path>.tmp" in the same folder (creating missing
// folders), syncs it, renames it over the path and syncs the folder. A crash
// at any point leaves either the old or the new file, complete. Only one
// writer per path at a time (the temporary name is fixed, which also means a
// killed write leaves no stray files behind for long).
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content);

// Appends the content to an existing file with one write call per chunk; the
// data is in the file (the kernel's cache) when this returns, so it survives
// a crash or kill of the process, but is not synced to the device. Fails if
// the file does not exist.
bool AppendToFile(const std::filesystem::path& path, std::string_view content);

// The whole file, or nothing when it is missing, unreadable or larger than
// maxBytes.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::size_t maxBytes);
