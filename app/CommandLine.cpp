#include "app/CommandLine.h"

bool RemoveStartHiddenOption(std::string& commandLine) {
    static constexpr char kOption[] = "DDE";
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const char c = commandLine[i];
        if ((c == '-' || c == '/') && commandLine.compare(i + 1, 3, kOption) == 0) {
            commandLine.erase(i, 4);
            return true;
        }
    }
    return false;
}
