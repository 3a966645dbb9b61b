#pragma once
// The text form of the settings file.
//
//   ; comment
//   [Section]
//   Key=i:-42          an integer (signed 32-bit, decimal)
//   Name=s:any text    a string; everything after "s:" is the value
//   Gone=-             the key was deleted
//   -                  every key of the section so far was deleted
//   Repeat=1           a value edited by hand, without a prefix: an integer
//   Name=any text      when it is one (blanks around it allowed), otherwise
//                      a string taken as written (no escapes)
//
// Later lines override earlier ones, which lets the store append a change
// instead of rewriting the whole file. Section names, keys and strings escape
// '\' as "\\", line feed, carriage return and tab as "\n", "\r", "\t", and
// every other byte below 0x20 and 0x7F as "\xHH"; names also escape
// '=', '[', ']', ';' and '#'. Bytes from 0x80 up are written as they are, so
// UTF-8 stays readable. Nothing is trimmed: blanks belong to the name or
// value. A line counts only when it ends with a line feed (a cut-off last
// line is ignored); a line that does not parse, a key line before any
// section and an "i:" integer out of range are skipped, so damage costs only the
// keys it touches.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

using IniValue = std::variant<int, std::string>;

struct IniSection {
    std::string name;  // the first spelling written
    std::map<std::string, IniValue> values;
};

// Sections by their folded name.
using IniSections = std::map<std::string, IniSection>;

// Section names compare without regard to ASCII case.
std::string FoldSectionName(std::string_view name);

IniSections ParseIni(std::string_view text);

// The whole file for these sections, no deletion lines.
std::string FormatIni(const IniSections& sections);

std::string FormatSectionHeader(std::string_view name);
// One key line; no value writes a deletion.
std::string FormatEntry(std::string_view key, const std::optional<IniValue>& value);
// The line that deletes every key of the section above it.
std::string FormatSectionCleared();
