#pragma once
// The file a network stream is saved to. The reader writes to it on its own
// thread, under its own lock; the first failure closes the file and keeps
// the reason, so a half-written file is never reported as saved.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace mpxdec {

class StreamSave {
public:
    StreamSave() = default;
    ~StreamSave();
    StreamSave(const StreamSave&) = delete;
    StreamSave& operator=(const StreamSave&) = delete;

    // Creates the file; false with the reason (also kept as Error()).
    bool Open(const std::string& path, std::string* error);
    bool IsOpen() const { return file_ != nullptr; }
    // Open, complete or failed: a save was asked for.
    bool Started() const { return file_ != nullptr || complete_ || !error_.empty(); }
    void Write(const std::uint8_t* data, std::size_t size);
    // Flushes and closes an open file: complete, or failed with the reason.
    void Close();
    bool Complete() const { return complete_; }
    const std::string& Error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    bool complete_ = false;
    std::string error_;
};

}  // namespace mpxdec
