// The command-line splitter: any line splits, and joining the words and
// splitting again gives the same words.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/SplitArguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = SplitArguments(line);
    if (SplitArguments(JoinArguments(words)) != words) {
        std::abort();
    }
    return 0;
}
