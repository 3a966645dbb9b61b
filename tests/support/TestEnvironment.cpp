#include "tests/support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace testenv {
namespace {
std::string home;

void SetDefault(const char* name, const char* value) { setenv(name, value, 0); }
}  // namespace

void Prepare() {
    char pattern[] = "/tmp/brelune3-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    home = made ? made : "/tmp";
    const std::filesystem::path root(home);
    for (const char* sub : {"config", "runtime", "cache"}) std::filesystem::create_directories(root / sub);
    chmod((root / "runtime").c_str(), 0700);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
    setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("QT_LOGGING_RULES", "qt.qpa.*=false");
    SetDefault("SDL_AUDIODRIVER", "dummy");
    // Tests that need a session bus start their own (PrivateBus.h).
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    // Tests talk only to servers they start on 127.0.0.1.
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    unsetenv("HTTP_PROXY");
    unsetenv("HTTPS_PROXY");
}

const std::string& Home() { return home; }

std::string FixturesDir() { return BRELUNE_FIXTURES_DIR; }
}  // namespace testenv
