#pragma once
// What WM_DROPFILES carries: wParam points at one of these, valid only during
// the call. The paths are local file names in the order the drop gave them.

#include <string>
#include <vector>

struct DroppedFiles {
    std::vector<std::string> paths;
};
