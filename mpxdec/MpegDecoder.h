#pragma once
// One libmpg123 stream in the caller's output format: a local file read by
// libmpg123 itself, or bytes handed over by Feed (feed mode never blocks).
// Gapless trimming stays on, so a file with an encoder's delay and padding
// information yields exactly the samples that were encoded.
// libmpg123 divides the rate by 2 or 4 only where the result is one of its
// standard rates; for the others (a quarter of 22 050 Hz, say) it resamples
// to the divided rate instead. Which one applies depends on the stream's
// rate, so a second handle at full rate finds that rate first.

#include <cstdint>
#include <string>

#include "mpxdec/StreamTags.h"
#include "mpxdec/mpxdec.h"

struct mpg123_handle_struct;

namespace mpxdec {

struct OutputSettings {
    int quality = 0;     // 0, 1, 2: full, half, quarter sampling rate
    int resolution = 0;  // 0: 16-bit signed little-endian, 1: 8-bit unsigned
    int downmix = 0;     // 1: mono
};

class MpegDecoder {
public:
    enum class Result { Frame, NeedMore, FormatChanged, End, Error };

    MpegDecoder() = default;
    ~MpegDecoder();
    MpegDecoder(const MpegDecoder&) = delete;
    MpegDecoder& operator=(const MpegDecoder&) = delete;

    // fd stays owned by the caller and must outlive this decoder's use of it.
    bool OpenFd(int fd, const OutputSettings& settings);
    bool OpenFeed(const OutputSettings& settings);
    bool Feed(const std::uint8_t* data, std::size_t size);

    // Frame when the first frame's format is known, NeedMore or Error.
    Result ReadFormat();
    // Decodes the next frame into pcm (at most one frame of PCM).
    Result DecodeFrame(void* pcm, std::int32_t* bytes);

    bool FormatKnown() const { return formatKnown_; }
    // The last frame as the stream codes it (rate and channels before any
    // division or downmix).
    const FrameInfo& Info() const { return info_; }
    int SamplesPerFrame() const;
    // Coded bytes of one frame at the current bit rate.
    double BytesPerFrame() const;

    bool SeekFrame(std::int64_t frame);
    std::int64_t InputPosition() const;
    void ReadTags(StreamTags* tags) const;
    std::string ErrorText() const;

private:
    static mpg123_handle_struct* NewHandle(const OutputSettings& settings);
    bool Configure(long streamRate);
    void UpdateInfo();

    OutputSettings settings_;
    mpg123_handle_struct* handle_ = nullptr;
    mpg123_handle_struct* probe_ = nullptr;  // feed mode, until the rate is known
    bool formatKnown_ = false;
    FrameInfo info_{-1, -1, -1, -1, -1};
};

}  // namespace mpxdec
