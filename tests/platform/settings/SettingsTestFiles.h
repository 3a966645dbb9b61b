#pragma once
// Small file helpers shared by the settings tests.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/TestEnvironment.h"

namespace settingstest {
// A fresh folder under the test's HOME for each call.
inline std::filesystem::path FreshFolder() {
    static std::atomic<int> counter{0};
    std::filesystem::path folder = std::filesystem::path(testenv::Home()) / ("settings-" + std::to_string(counter++));
    std::filesystem::remove_all(folder);
    return folder;
}

inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}
}  // namespace settingstest
