#pragma once
// The program's own command-line handling that runs before any window exists.

#include <string>

// Removes the start-hidden option: the first '-' or '/' immediately followed
// by "DDE" (case-sensitive), wherever it stands, also inside a file name.
// Only those four characters go; the blanks around them stay. Returns true
// when the option was found, which means the window starts hidden.
bool RemoveStartHiddenOption(std::string& commandLine);
