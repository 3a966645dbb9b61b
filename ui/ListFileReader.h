#pragma once
// Reading the entries of a list file (.m3u and "/L " lists).
//
// The bytes are read as text: a carriage return just before a line feed is
// dropped. Before each entry, blanks, tabs and line feeds are skipped, and a
// '#' met there starts a comment that runs to the end of its line. An entry is
// the rest of its line, at most 255 bytes; a longer line gives its first 255
// bytes, and its remainder is read as the next entry. After an entry all white
// space is skipped. Blanks at the end of a line belong to the entry; a '#'
// after the start of a line is part of the entry. A UTF-8 byte order mark at
// the very start is skipped, so that a list saved with one keeps its header
// line a comment.
//
// A NUL byte ends the text of the entry it falls into, as in a C string: the
// rest of that 255-byte entry is dropped, and an entry left empty is not
// returned. Other bytes are taken as they are. The reader always advances, so
// any input ends in time proportional to its size.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Entries of the list held in bytes, in order.
std::vector<std::string> ReadListEntries(std::string_view bytes);

// Entries of an open file, read from its current position to its end. A read
// error ends the list early; what was read stays. The file stays open.
std::vector<std::string> ReadListEntries(std::FILE* file);

// Entries of the named file; no answer when it is not a regular file that can
// be opened for reading (missing, unreadable, a folder, a pipe or a device).
std::optional<std::vector<std::string>> LoadListFile(const std::string& name);

// The entry as the player is to open it. A relative entry that names nothing
// from the current folder but a file or folder from `listFolder` (the list
// file's own folder) becomes that path, which is what lists made elsewhere
// expect; every other entry (absolute, a location such as "http://...",
// found from the current folder, or found nowhere) stays as written.
std::string ResolveListEntry(const std::string& entry, const std::filesystem::path& listFolder);
