#pragma once
// Formats, PCM blocks and waiting, shared by the wave-out device tests.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "platform/waveout/WaveOut.h"

namespace waveouttest {

inline PcmFormat MakeFormat(int channels, int rate, int bits) {
    PcmFormat format;
    format.channels = channels;
    format.samplesPerSec = rate;
    format.bitsPerSample = bits;
    format.blockAlign = channels * bits / 8;
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

// One header with its own bytes, filled with a pattern that differs per
// block and never starts or ends on a silence byte (0x00 and 0x80), so a
// capture can be trimmed of silence without touching the data.
struct Block {
    std::vector<std::uint8_t> bytes;
    WaveHeader header;

    Block(std::size_t length, unsigned seed) : bytes(length) {
        std::uint32_t state = seed * 2654435761u + 1;
        for (auto& byte : bytes) {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(state >> 24);
        }
        if (!bytes.empty()) bytes.front() = 0x11, bytes.back() = 0x7f;
        header.data = bytes.data();
        header.bufferLength = static_cast<std::uint32_t>(length);
        header.flags = WHDR_DONE;
    }
    bool Done() const { return (header.flags.load() & WHDR_DONE) != 0; }
};

inline std::vector<std::unique_ptr<Block>> MakeBlocks(const std::vector<std::size_t>& lengths) {
    std::vector<std::unique_ptr<Block>> blocks;
    unsigned seed = 1;
    for (std::size_t length : lengths) blocks.push_back(std::make_unique<Block>(length, seed++));
    return blocks;
}

inline void PrepareAndWrite(WaveOutDevice& device, std::vector<std::unique_ptr<Block>>& blocks) {
    for (auto& block : blocks) {
        device.Prepare(&block->header);
        block->header.flags.fetch_and(~WHDR_DONE);
        ASSERT_TRUE(device.Write(&block->header));
    }
}

template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

inline bool AllDone(const std::vector<std::unique_ptr<Block>>& blocks) {
    for (const auto& block : blocks)
        if (!block->Done()) return false;
    return true;
}

}  // namespace waveouttest
