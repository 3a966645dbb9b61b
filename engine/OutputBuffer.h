#pragma once
// One block of the output ring: the device header followed by its PCM space.
// Blocks are made once and reused for every stream, so nothing is allocated
// while audio plays.

#include <cstddef>
#include <cstdint>

#include "platform/waveout/WaveOut.h"

struct OutputBuffer {
    static constexpr std::size_t kBlockBytes = 36900;
    // The PCM space the block had behind its 32-byte header.
    static constexpr std::size_t kPcmBytes = 36868;
    // The length every header is prepared with.
    static constexpr std::uint32_t kPreparedLength = 0x9000;

    OutputBuffer() {
        header.data = pcm;
        header.flags = WHDR_DONE;
    }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Free for writing once the device has finished with it.
    bool IsFree() const { return (header.flags.load() & WHDR_DONE) != 0; }

    WaveHeader header;
    std::uint8_t pcm[kPcmBytes];
};
