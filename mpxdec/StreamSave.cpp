#include "mpxdec/StreamSave.h"

#include <cerrno>
#include <cstring>

namespace mpxdec {

StreamSave::~StreamSave()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool StreamSave::Open(const std::string& path, std::string* error)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error_ = "Cannot save to " + path + ": " + std::strerror(errno);
        *error = error_;
        return false;
    }
    file_ = file;
    path_ = path;
    return true;
}

void StreamSave::Write(const std::uint8_t* data, std::size_t size)
{
    if (file_ == nullptr || size == 0) {
        return;
    }
    if (std::fwrite(data, 1, size, file_) != size) {
        error_ = "Saving to " + path_ + " failed: " + std::strerror(errno);
        std::fclose(file_);
        file_ = nullptr;
    }
}

void StreamSave::Close()
{
    if (file_ == nullptr) {
        return;
    }
    // Buffered bytes meet a full disk only here.
    bool flushed = std::fflush(file_) == 0;
    int flushError = errno;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        error_ = "Saving to " + path_ + " failed: " + std::strerror(flushed ? errno : flushError);
    } else {
        complete_ = true;
    }
}

}  // namespace mpxdec
