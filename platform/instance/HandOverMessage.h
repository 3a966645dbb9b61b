#pragma once
// Reading one hand-over message (InstanceProtocol.h) from the bytes a second
// start has sent so far. Plain C++, so that it can be tested and fuzzed
// without a socket.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class HandOverStatus {
    Incomplete,  // more bytes are needed (at most kHandOverHeaderBytes to decide)
    Rejected,    // not a hand-over: a wrong tag or a size over the limit
    Complete,    // the whole message is in the bytes given
};

struct HandOverMessage {
    std::size_t bytes = 0;  // header and data, once the header is in
    // The command line up to its terminating zero; none when the message
    // carries no data (an empty command line only activates).
    std::optional<std::string> commandLine;
};

HandOverStatus ReadHandOver(std::string_view received, HandOverMessage* message);
