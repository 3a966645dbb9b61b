#pragma once
// One libmpg123 stream in the caller's output format: a local file read by
// libmpg123 itself, or bytes handed over by Feed (feed mode never blocks).
// Gapless trimming stays on, so a file with an encoder's delay and padding
// information yields exactly the samples that were encoded.
//
// Half and quarter quality ask libmpg123 for the divided rate, which it
// reaches by dividing in its synthesis. That setting holds for one stream
// rate only, so a rate change inside the stream starts a fresh handle at
// the first frame of the new rate (the last bytes fed are kept for that; a
// file is read from there on in feed mode) and is reported as a format
// change. Damage after the first frame is skipped however long it runs.

#include <cstdint>
#include <string>
#include <vector>

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

    // Bytes the feed-mode probe looks through for the first frame before
    // the input counts as not MPEG audio; all of them are held meanwhile.
    static constexpr std::size_t kProbeLimit = 2 * 1024 * 1024;

    MpegDecoder() = default;
    ~MpegDecoder();
    MpegDecoder(const MpegDecoder&) = delete;
    MpegDecoder& operator=(const MpegDecoder&) = delete;

    // fd stays owned by the caller and must outlive this decoder's use of it.
    bool OpenFd(int fd, std::int64_t size, const OutputSettings& settings);
    bool OpenFeed(const OutputSettings& settings);
    bool Feed(const std::uint8_t* data, std::size_t size);
    // No more bytes will be fed: a stream of one frame can still be found.
    void EndOfInput() { inputEnded_ = true; }

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
    static mpg123_handle_struct* NewHandle(const OutputSettings& settings, long extraFlags);
    long ProbeFile(long extraFlags) const;
    bool IsOnlyFrame(mpg123_handle_struct* handle, std::int64_t dataEnd) const;
    Result FinishProbe();
    bool StartFeedHandle(long rate, std::int64_t at, long extraFlags);
    bool Configure(long streamRate);
    bool ReadFile();
    void UpdateInfo();

    OutputSettings settings_;
    mpg123_handle_struct* handle_ = nullptr;
    mpg123_handle_struct* probe_ = nullptr;  // feed mode, until the rate is known
    long configuredRate_ = 0;                // the stream rate handle_ is set up for
    bool formatKnown_ = false;
    bool inputEnded_ = false;
    bool restarted_ = false;  // a fresh handle's first format is no news
    FrameInfo info_{-1, -1, -1, -1, -1};
    StreamTags earlierTags_;  // read from a handle that a restart replaced

    // Feed mode: every byte fed while probing, then the latest ones.
    std::vector<std::uint8_t> kept_;
    std::int64_t keptStart_ = 0;  // stream offset of kept_[0]
    std::int64_t fed_ = 0;
    std::int64_t handleBase_ = 0;  // stream offset of handle_'s first byte

    int fd_ = -1;
    std::int64_t fileSize_ = 0;
    std::int64_t fileNext_ = -1;  // next file offset to feed; -1 while libmpg123 reads the file
};

}  // namespace mpxdec
