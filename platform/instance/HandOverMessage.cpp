#include "platform/instance/HandOverMessage.h"

#include <cstdint>
#include <cstring>

#include "platform/instance/InstanceProtocol.h"

HandOverStatus ReadHandOver(std::string_view received, HandOverMessage* message) {
    if (received.size() < kHandOverHeaderBytes) return HandOverStatus::Incomplete;
    if (std::memcmp(received.data(), kHandOverTag, sizeof kHandOverTag) != 0) return HandOverStatus::Rejected;
    std::uint32_t size = 0;
    for (std::size_t i = 4; i < kHandOverHeaderBytes; ++i) size = (size << 8) | static_cast<unsigned char>(received[i]);
    if (size > kMaxHandOverBytes) return HandOverStatus::Rejected;
    message->bytes = kHandOverHeaderBytes + size;
    if (received.size() < message->bytes) return HandOverStatus::Incomplete;
    message->commandLine.reset();
    if (size > 0) {
        const std::string_view data = received.substr(kHandOverHeaderBytes, size);
        message->commandLine = std::string(data.substr(0, data.find('\0')));
    }
    return HandOverStatus::Complete;
}
