// List files (.m3u and "/L" lists) and the options of their entries: every
// entry is short, has no NUL, and splits into file part and options.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/PlaylistEntry.h"
#include "ui/ListFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string& entry : ReadListEntries(bytes)) {
        if (entry.empty() || entry.size() > 255 || entry.find('\0') != std::string::npos) {
            std::abort();
        }
        const PlaylistEntry parsed = PlaylistEntry::Parse(entry);
        if (entry.compare(0, parsed.file.size(), parsed.file) != 0) {
            std::abort();
        }
        TrackKey(static_cast<int>(entry.size()));
    }
    PlaylistEntry::Parse(bytes);
    return 0;
}
