// The hand-over messages a second start sends: any bytes, read at any
// point of their arrival, give a consistent answer and never more than the
// message holds.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    HandOverMessage whole;
    const HandOverStatus status = ReadHandOver(bytes, &whole);
    if (status == HandOverStatus::Complete) {
        if (whole.bytes > size || whole.bytes > kHandOverHeaderBytes + kMaxHandOverBytes) {
            std::abort();
        }
        if (whole.commandLine && (whole.commandLine->find('\0') != std::string::npos ||
                                  whole.commandLine->size() > whole.bytes - kHandOverHeaderBytes)) {
            std::abort();
        }
    }
    // Any prefix is incomplete or gives the same verdict.
    const std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    HandOverMessage part;
    const HandOverStatus early = ReadHandOver(bytes.substr(0, cut), &part);
    if (early != HandOverStatus::Incomplete && early != status) {
        std::abort();
    }
    return 0;
}
