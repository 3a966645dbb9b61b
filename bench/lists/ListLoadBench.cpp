// Time to load a 10,000-entry .m3u the way the player does: read the list,
// then resolve each entry's display name (one stat per entry). Prints the
// median and the slowest of several loads, for existing files and for
// missing ones; exits with 1 when a median is over the 100 ms target.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/ListFileReader.h"
#include "ui/ResolveDisplayName.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kRuns = 11;
constexpr double kTargetMs = 100.0;

// Writes an extended .m3u with CRLF endings; creates the files when asked.
std::string WriteList(const std::filesystem::path& dir, const char* name, bool createFiles) {
    const std::filesystem::path list = dir / name;
    std::ofstream out(list, std::ios::binary);
    out << "#EXTM3U\r\n";
    for (int i = 1; i <= kEntries; ++i) {
        char file[64];
        std::snprintf(file, sizeof file, "%s-%05d Some Artist - Some Title.mp3", name, i);
        const std::string path = (dir / "music" / file).string();
        if (createFiles)
            std::ofstream(path) << "";
        out << "#EXTINF:215,Some Artist - Some Title\r\n" << path << "\r\n";
    }
    return list.string();
}

// Returns the load time in milliseconds, or a negative value on failure.
double LoadOnce(const std::string& list) {
    const auto start = std::chrono::steady_clock::now();
    const auto entries = LoadListFile(list);
    if (!entries || entries->size() != kEntries)
        return -1;
    std::vector<std::string> playlist;
    playlist.reserve(entries->size());
    for (const std::string& entry : *entries)
        playlist.push_back(ResolveDisplayName(entry));
    const auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

bool Report(const char* what, const std::string& list) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const double ms = LoadOnce(list);
        if (ms < 0) {
            std::printf("%s: the list did not load\n", what);
            return false;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("load %d-entry .m3u, %s: median %.1f ms, slowest %.1f ms (target <= %.0f ms)\n",
                kEntries, what, median, times.back(), kTargetMs);
    return median <= kTargetMs;
}

}  // namespace

int main() {
    char pattern[] = "/tmp/brelune-listbench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::filesystem::path dir = pattern;
    std::filesystem::create_directories(dir / "music");

    const bool existingOk = Report("existing files", WriteList(dir, "existing", true));
    const bool missingOk = Report("missing files", WriteList(dir, "missing", false));

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return existingOk && missingOk ? 0 : 1;
}
