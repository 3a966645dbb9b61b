#pragma once
// One block of the output ring: the device header followed by its PCM space.
// Blocks are made once and reused for every stream, so nothing is allocated
// while audio plays.

#include <cstddef>
#include <cstdint>

#include "platform/waveout/WaveOut.h"

struct OutputBuffer {
    // The length every header is prepared with, and the largest fill
    // threshold.
    static constexpr std::uint32_t kPreparedLength = 0x9000;
    // A buffer is handed over once its fill reaches the threshold, so it
    // must hold a threshold's worth less one byte plus the largest frame
    // (1152 stereo 16-bit samples) of any layer: frames of another layer
    // or of odd sizes need not divide the threshold.
    static constexpr std::size_t kLargestFrameBytes = 1152 * 2 * 2;
    static constexpr std::size_t kPcmBytes = kPreparedLength + kLargestFrameBytes;

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
