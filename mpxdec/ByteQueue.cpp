#include "mpxdec/ByteQueue.h"

#include <algorithm>
#include <cstring>

namespace mpxdec {

void ByteQueue::Push(const std::uint8_t* data, std::size_t size)
{
    // Drop what was read before growing, so the storage stays near the
    // amount actually queued.
    if (readPos_ > 0 && (readPos_ >= bytes_.size() / 2 || bytes_.size() + size > bytes_.capacity())) {
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(readPos_));
        readPos_ = 0;
    }
    bytes_.insert(bytes_.end(), data, data + size);
}

std::size_t ByteQueue::Pop(std::uint8_t* dst, std::size_t max)
{
    std::size_t n = std::min(max, Size());
    if (n == 0) {
        return 0;
    }
    std::memcpy(dst, bytes_.data() + readPos_, n);
    readPos_ += n;
    if (readPos_ == bytes_.size()) {
        bytes_.clear();
        readPos_ = 0;
    }
    return n;
}

void ByteQueue::Clear()
{
    bytes_.clear();
    readPos_ = 0;
}

}  // namespace mpxdec
