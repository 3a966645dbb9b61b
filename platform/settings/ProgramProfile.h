#pragma once
// The per-user profile shared by a company's programs, where other programs
// look up where a program is installed:
// $XDG_CONFIG_HOME (default ~/.config)/<company>/profile.ini, a plain INI
// file ("[Brelune3]" then "ProgramFile=/usr/bin/brelune3"). Section and key
// names compare without regard to ASCII case; every other line of the file
// is kept as it is. The file is replaced atomically.

#include <filesystem>
#include <string>

// Sets one plain value. False when the file cannot be written, or when the
// section, key or value holds a line break (the plain form has no escapes)
// or a name holds '=' or ']'.
bool WriteProfileString(const std::filesystem::path& file, const std::string& section, const std::string& key,
                        const std::string& value);

// Records the running executable's full path as section "Brelune3", key
// "ProgramFile" in the company's profile.
bool WriteProgramFile(const std::string& company, const std::string& executablePath);
