#pragma once
// Separates the metadata blocks of an ICY stream from its audio bytes. Such
// a server inserts, after every `icy-metaint` audio bytes, one length byte L
// and L * 16 bytes of text such as "StreamTitle='...';". The decoder and a
// saved file get the audio bytes only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mpxdec {

class IcyFilter {
public:
    // interval 0: the stream has no metadata and passes through unchanged.
    explicit IcyFilter(std::size_t interval = 0);

    // Appends the audio bytes of data to audio.
    void Filter(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& audio);

    // The latest StreamTitle, when one arrived since the last call.
    bool TakeTitle(std::string* title);

private:
    void ParseBlock();

    enum class State { Audio, Length, Text };
    std::size_t interval_;
    std::size_t audioLeft_;
    std::size_t textLeft_ = 0;
    State state_ = State::Audio;
    std::string block_;
    std::string title_;
    bool newTitle_ = false;
};

}  // namespace mpxdec
