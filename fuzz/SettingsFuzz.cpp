// The settings file: any text parses, its formatted form parses back to the
// same sections, and the store opened on it reads, writes and reopens with
// what it wrote.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/settings/IniFormat.h"
#include "platform/settings/IniSettingsStore.h"

namespace {

bool SameSections(const IniSections& a, const IniSections& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (const auto& [folded, section] : a) {
        auto other = b.find(folded);
        if (other == b.end() || other->second.values != section.values) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const IniSections sections = ParseIni(text);
    if (!SameSections(ParseIni(FormatIni(sections)), sections)) {
        std::abort();
    }

    // The store goes through real files, a hundred times slower than the
    // parser: one input in eight takes that path, chosen by its first byte.
    if (size == 0 || data[0] % 8 != 0) {
        return 0;
    }
    // In memory where there is a tmpfs: the store syncs every rewrite.
    static const std::filesystem::path folder =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    static const struct TempFolder {
        std::filesystem::path path = folder / ("brelune-fuzz-" + std::to_string(getpid()));
        ~TempFolder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } temp;
    const std::filesystem::path file = temp.path / "settings.ini";
    std::filesystem::create_directories(temp.path);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }
    // A section and key taken from the input, so writes meet what is there.
    const std::string section = sections.empty() ? "S" : sections.begin()->second.name;
    const std::string key = text.substr(0, std::min<std::size_t>(8, text.size()));
    {
        IniSettingsStore store(file);
        store.GetInt(section, key, 0);
        store.GetString(section, key);
        if (!store.WriteString(section, key, text.substr(0, 64)) || !store.WriteInt("Fuzz", "N", 7)) {
            return 0;
        }
    }
    IniSettingsStore again(file);
    if (again.GetString(section, key) != text.substr(0, 64) || again.GetInt("fuzz", "N", 0) != 7) {
        std::abort();
    }
    return 0;
}
