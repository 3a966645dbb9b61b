#pragma once
// A first-in first-out queue of bytes. Not thread-safe: HttpReader guards it
// with its own lock. How far it may grow is its owner's policy.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mpxdec {

class ByteQueue {
public:
    void Push(const std::uint8_t* data, std::size_t size);
    // Moves up to max bytes into dst; returns how many.
    std::size_t Pop(std::uint8_t* dst, std::size_t max);
    std::size_t Size() const { return bytes_.size() - readPos_; }
    void Clear();

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t readPos_ = 0;
};

}  // namespace mpxdec
