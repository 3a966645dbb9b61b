#include "platform/instance/InstanceSocketPath.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
bool IsPrivateFolderOfOurs(const std::string& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

bool FitsLocalSocket(const std::string& path) { return path.size() < sizeof(sockaddr_un::sun_path); }

// Two classes that differ only in their punctuation still get different names.
std::uint32_t Fnv1a(const std::string& text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}
}  // namespace

std::optional<std::string> InstanceSocketPath(const std::string& windowClass) {
    std::string name = "/";
    for (const char c : windowClass.substr(0, 40)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name += plain ? c : '-';
    }
    char hash[16];
    std::snprintf(hash, sizeof hash, "-%08x", Fnv1a(windowClass));
    name += std::string(hash) + ".socket";

    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && IsPrivateFolderOfOurs(runtime) && FitsLocalSocket(runtime + name)) {
        return runtime + name;
    }
    const std::string fallback = "/tmp/brelune3-runtime-" + std::to_string(::getuid());
    ::mkdir(fallback.c_str(), 0700);
    if (IsPrivateFolderOfOurs(fallback) && FitsLocalSocket(fallback + name)) return fallback + name;
    return std::nullopt;
}
