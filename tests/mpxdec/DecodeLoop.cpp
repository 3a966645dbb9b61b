#include "tests/mpxdec/DecodeLoop.h"

#include <thread>

namespace mpxtest {

DecodeRun DecodeAll(Decoder& decoder, std::chrono::milliseconds limit, bool stopWhenReconnecting)
{
    DecodeRun run;
    auto deadline = std::chrono::steady_clock::now() + limit;
    // Guard bytes after the frame show a write beyond one frame.
    std::vector<std::uint8_t> buffer(kMaxFrameBytes + 64, 0xA5);
    while (std::chrono::steady_clock::now() < deadline) {
        std::int32_t bytes = -1;
        FrameInfo info{-1, -1, -1, -1, -1};
        DecoderStatus status = decoder.GetFrame(buffer.data(), &bytes, &info);
        for (std::size_t i = kMaxFrameBytes; i < buffer.size(); ++i) {
            run.wroteBeyondFrame = run.wroteBeyondFrame || buffer[i] != 0xA5;
        }
        if (status == 0) {
            run.pcm.insert(run.pcm.end(), buffer.begin(), buffer.begin() + bytes);
            run.frames.push_back(info);
            run.frameBytes.push_back(bytes);
            continue;
        }
        run.otherStatuses.push_back(status);
        if (status == kStatusEndOfStream || IsError(status) ||
            (stopWhenReconnecting && status == kStatusReconnecting)) {
            run.last = status;
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return run;
}

}  // namespace mpxtest
