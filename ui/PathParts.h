#pragma once
// The standard split of a path into drive, directory, base name and extension.
//
// Only '/' separates components: on this system a backslash is an ordinary
// character of a file name. There are no drive letters, so drive is always
// empty; it is kept so that joining the four parts always gives the path back.
// No part is cut to a length: a long path stays whole.

#include <string>
#include <string_view>

struct PathParts {
    std::string drive;
    std::string dir;   // up to and including the last '/'
    std::string base;  // the last component up to its last '.'
    std::string ext;   // from the last component's last '.', "" when it has none
};

PathParts SplitPath(std::string_view path);
