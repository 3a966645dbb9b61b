#pragma once
// Drives a Decoder the way a player does: frame after frame until the end
// of the stream or an error, waiting briefly whenever no frame is ready.

#include <chrono>
#include <cstdint>
#include <vector>

#include "engine/Decoder.h"

namespace mpxtest {

struct DecodeRun {
    std::vector<std::uint8_t> pcm;
    std::vector<FrameInfo> frames;           // one per status-0 frame
    std::vector<std::int32_t> frameBytes;    // one per status-0 frame
    std::vector<DecoderStatus> otherStatuses;  // every non-zero status, in order
    DecoderStatus last = 0;                  // end of stream, an error, or 0 on time-out
    bool wroteBeyondFrame = false;           // a call wrote past the largest frame
};

// A station reconnects when its server closes: stopWhenReconnecting ends the
// run there, with last set to that status.
DecodeRun DecodeAll(Decoder& decoder, std::chrono::milliseconds limit = std::chrono::seconds(10),
                    bool stopWhenReconnecting = false);

// Largest PCM one frame can give: MPEG-1 Layer II/III stereo at 16 bits.
constexpr std::size_t kMaxFrameBytes = 4608;

}  // namespace mpxtest
