#include "platform/settings/ConfigFolder.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace {
std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return "/tmp";
}
}  // namespace

std::filesystem::path ConfigFolder(const std::string& company) {
    // A relative XDG_CONFIG_HOME is invalid by the XDG rules and is ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base = (config && config[0] == '/') ? std::filesystem::path(config) : HomeFolder() / ".config";
    return base / PathComponent(company);
}

std::string PathComponent(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        if (c == '/' || c == '\0') c = '_';
    }
    if (safe.empty() || safe == "." || safe == "..") safe = "_" + safe;
    return safe;
}
