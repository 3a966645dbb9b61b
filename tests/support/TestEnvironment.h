#pragma once
// Every test process runs in its own temporary HOME and XDG folders, so no
// test reads or writes a user's settings, sockets or files.

#include <string>

namespace testenv {
// Creates the folders and sets HOME, XDG_CONFIG_HOME, XDG_RUNTIME_DIR (0700),
// XDG_CACHE_HOME, and quiet defaults for Qt and SDL unless already set.
void Prepare();
// The temporary HOME of this process.
const std::string& Home();
// The source tree's tests/fixtures folder.
std::string FixturesDir();
}  // namespace testenv
