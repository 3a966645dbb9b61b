#include "mpxdec/MpegDecoder.h"

#include <mpg123.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace mpxdec {

namespace {

// Kept after the probe for a restart at a format change: far more than
// libmpg123 holds unparsed after a frame (one feed plus a frame).
constexpr std::size_t kRecentBytes = 64 * 1024;
constexpr std::size_t kFileReadBytes = 16 * 1024;

std::string Text(const mpg123_string* s)
{
    if (s == nullptr || s->p == nullptr || s->fill == 0) {
        return {};
    }
    return std::string(s->p, strnlen(s->p, s->fill));
}

void Delete(mpg123_handle* handle)
{
    if (handle != nullptr) {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
}

int Encoding(const OutputSettings& settings)
{
    return settings.resolution == 1 ? MPG123_ENC_UNSIGNED_8 : MPG123_ENC_SIGNED_16;
}

long CodedRate(mpg123_handle* handle)
{
    mpg123_frameinfo2 fi{};
    return mpg123_info2(handle, &fi) == MPG123_OK ? fi.rate : 0;
}

long StreamRate(mpg123_handle* handle)
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK) {
        return 0;
    }
    return CodedRate(handle);
}

// Once the stream has shown a frame, damage of any length is skipped to the
// next valid frame instead of ending the track; the start keeps libmpg123's
// short search, so that bytes which are not MPEG audio are refused quickly.
void SkipAnyDamage(mpg123_handle* handle)
{
    mpg123_param(handle, MPG123_RESYNC_LIMIT, -1, 0);
}

}  // namespace

MpegDecoder::~MpegDecoder()
{
    Delete(handle_);
    Delete(probe_);
}

mpg123_handle* MpegDecoder::NewHandle(const OutputSettings& settings, long extraFlags)
{
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) {
        return nullptr;
    }
    long flags = MPG123_QUIET | MPG123_GAPLESS | extraFlags;
    if (settings.downmix == 1) {
        flags |= MPG123_MONO_MIX;
    }
    // Every standard rate is accepted, so libmpg123 never picks another
    // rate on its own.
    if (mpg123_param(handle, MPG123_ADD_FLAGS, flags, 0) != MPG123_OK || mpg123_format_none(handle) != MPG123_OK ||
        mpg123_format2(handle, 0, MPG123_MONO | MPG123_STEREO, Encoding(settings)) != MPG123_OK) {
        mpg123_delete(handle);
        return nullptr;
    }
    return handle;
}

bool MpegDecoder::Configure(long streamRate)
{
    configuredRate_ = streamRate;
    long divided = streamRate >> settings_.quality;
    if (settings_.quality == 0 || divided <= 0) {
        return true;
    }
    // The stream's rate is exactly 2 or 4 times the rate asked for, so
    // libmpg123 divides in its synthesis even where the result is not one of
    // its standard rates (a quarter of 11 025 Hz gives 2 756.25 samples a
    // second, asked for as 2 756 Hz). A later frame of another rate is
    // resampled to this rate instead of failing; DecodeFrame catches it.
    return mpg123_param(handle_, MPG123_FORCE_RATE, divided, 0) == MPG123_OK &&
           mpg123_format(handle_, divided, MPG123_MONO | MPG123_STEREO, Encoding(settings_)) == MPG123_OK;
}

long MpegDecoder::ProbeFile(long extraFlags) const
{
    OutputSettings full = settings_;
    full.quality = 0;
    mpg123_handle* probe = NewHandle(full, extraFlags);
    long rate = 0;
    if (probe != nullptr && lseek(fd_, 0, SEEK_SET) == 0 && mpg123_open_fd(probe, fd_) == MPG123_OK) {
        rate = StreamRate(probe);
    }
    if (rate > 0 && (extraFlags & MPG123_NO_READAHEAD) != 0) {
        char tail[3] = {};
        bool id3v1 = fileSize_ >= 128 && pread(fd_, tail, 3, fileSize_ - 128) == 3 && std::memcmp(tail, "TAG", 3) == 0;
        if (!IsOnlyFrame(probe, fileSize_ - (id3v1 ? 128 : 0))) {
            rate = 0;
        }
    }
    Delete(probe);
    return rate;
}

// Without read-ahead libmpg123 takes a frame without the next header to
// confirm it, which would let random bytes pass; so that mode only admits a
// stream made of exactly one frame, ending where the data ends.
bool MpegDecoder::IsOnlyFrame(mpg123_handle* handle, std::int64_t dataEnd) const
{
    mpg123_frameinfo2 fi{};
    off_t start = mpg123_framepos(handle);
    return mpg123_info2(handle, &fi) == MPG123_OK && start >= 0 && fi.framesize > 0 &&
           static_cast<std::int64_t>(start) + fi.framesize == dataEnd;
}

bool MpegDecoder::OpenFd(int fd, std::int64_t size, const OutputSettings& settings)
{
    settings_ = settings;
    fd_ = fd;
    fileSize_ = size;
    long extraFlags = 0;
    long rate = ProbeFile(0);
    if (rate == 0 && (rate = ProbeFile(MPG123_NO_READAHEAD)) > 0) {
        extraFlags = MPG123_NO_READAHEAD;
    }
    handle_ = NewHandle(settings, extraFlags);
    return handle_ != nullptr && lseek(fd, 0, SEEK_SET) == 0 && Configure(rate) &&
           mpg123_open_fd(handle_, fd) == MPG123_OK;
}

bool MpegDecoder::OpenFeed(const OutputSettings& settings)
{
    settings_ = settings;
    OutputSettings full = settings;
    full.quality = 0;
    probe_ = NewHandle(full, 0);
    return probe_ != nullptr && mpg123_open_feed(probe_) == MPG123_OK;
}

bool MpegDecoder::Feed(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return true;
    }
    kept_.insert(kept_.end(), data, data + size);
    fed_ += static_cast<std::int64_t>(size);
    if (probe_ != nullptr) {
        return mpg123_feed(probe_, data, size) == MPG123_OK;
    }
    if (kept_.size() > 2 * kRecentBytes) {
        std::size_t drop = kept_.size() - kRecentBytes;
        kept_.erase(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(drop));
        keptStart_ += static_cast<std::int64_t>(drop);
    }
    return mpg123_feed(handle_, data, size) == MPG123_OK;
}

// A fresh feed-mode handle for the stream from offset at on, set up for
// rate, given the bytes from there that were fed already.
bool MpegDecoder::StartFeedHandle(long rate, std::int64_t at, long extraFlags)
{
    if (handle_ != nullptr) {
        ReadTags(&earlierTags_);
    }
    Delete(handle_);
    handle_ = NewHandle(settings_, extraFlags);
    handleBase_ = at;
    if (handle_ == nullptr || mpg123_open_feed(handle_) != MPG123_OK || !Configure(rate)) {
        return false;
    }
    if (formatKnown_) {
        SkipAnyDamage(handle_);
        restarted_ = true;
    }
    if (fd_ >= 0) {
        fileNext_ = at;
        return true;
    }
    if (at < keptStart_ || at > fed_) {
        return false;
    }
    std::size_t from = static_cast<std::size_t>(at - keptStart_);
    return from == kept_.size() || mpg123_feed(handle_, kept_.data() + from, kept_.size() - from) == MPG123_OK;
}

MpegDecoder::Result MpegDecoder::FinishProbe()
{
    long rate = 0;
    long extraFlags = 0;
    int channels = 0;
    int encoding = 0;
    int rc = mpg123_getformat(probe_, &rate, &channels, &encoding);
    if (rc == MPG123_NEED_MORE && kept_.size() <= kProbeLimit && !inputEnded_) {
        return Result::NeedMore;
    }
    rate = rc == MPG123_OK ? CodedRate(probe_) : 0;
    Delete(probe_);
    probe_ = nullptr;
    if (rate == 0 && inputEnded_ && kept_.size() <= kProbeLimit) {
        // The whole input is here and held: it may be a single frame.
        OutputSettings full = settings_;
        full.quality = 0;
        mpg123_handle* single = NewHandle(full, MPG123_NO_READAHEAD);
        if (single != nullptr && mpg123_open_feed(single) == MPG123_OK &&
            mpg123_feed(single, kept_.data(), kept_.size()) == MPG123_OK) {
            bool id3v1 = kept_.size() >= 128 && std::memcmp(&kept_[kept_.size() - 128], "TAG", 3) == 0;
            rate = StreamRate(single);
            if (rate > 0 && !IsOnlyFrame(single, fed_ - (id3v1 ? 128 : 0))) {
                rate = 0;
            }
        }
        Delete(single);
        extraFlags = MPG123_NO_READAHEAD;
    }
    // The real handle gets the held bytes only now, set up for the rate found.
    if (rate == 0 || !StartFeedHandle(rate, 0, extraFlags)) {
        return Result::Error;
    }
    return Result::Frame;
}

MpegDecoder::Result MpegDecoder::ReadFormat()
{
    if (probe_ != nullptr && FinishProbe() != Result::Frame) {
        return probe_ != nullptr ? Result::NeedMore : Result::Error;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    int rc = mpg123_getformat(handle_, &rate, &channels, &encoding);
    if (rc == MPG123_OK) {
        formatKnown_ = true;
        SkipAnyDamage(handle_);
        UpdateInfo();
        return Result::Frame;
    }
    if (rc == MPG123_NEED_MORE) {
        return Result::NeedMore;
    }
    return rc == MPG123_DONE ? Result::End : Result::Error;
}

bool MpegDecoder::ReadFile()
{
    std::uint8_t block[kFileReadBytes];
    ssize_t n = pread(fd_, block, sizeof block, static_cast<off_t>(fileNext_));
    if (n <= 0) {
        return false;
    }
    fileNext_ += n;
    return mpg123_feed(handle_, block, static_cast<std::size_t>(n)) == MPG123_OK;
}

MpegDecoder::Result MpegDecoder::DecodeFrame(void* pcm, std::int32_t* bytes)
{
    *bytes = 0;
    for (;;) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        std::size_t size = 0;
        int rc = mpg123_decode_frame(handle_, &frame, &audio, &size);
        long coded = rc == MPG123_OK || rc == MPG123_NEW_FORMAT ? CodedRate(handle_) : 0;
        if (formatKnown_ && settings_.quality > 0 && coded > 0 && coded != configuredRate_) {
            // This frame came out resampled to the old rate: drop it, and
            // decode again from it with a handle set up for its own rate.
            UpdateInfo();
            off_t at = mpg123_framepos(handle_);
            if (at < 0 || !StartFeedHandle(coded, handleBase_ + at, 0)) {
                return Result::Error;
            }
            return Result::FormatChanged;
        }
        switch (rc) {
        case MPG123_OK:
            if (size > 0) {
                std::memcpy(pcm, audio, size);
            }
            *bytes = static_cast<std::int32_t>(size);
            UpdateInfo();
            return Result::Frame;
        case MPG123_NEW_FORMAT:
            if (restarted_) {
                restarted_ = false;
            } else if (formatKnown_) {
                UpdateInfo();
                return Result::FormatChanged;
            }
            formatKnown_ = true;
            break;
        case MPG123_NEED_MORE:
            if (fileNext_ >= 0) {
                if (ReadFile()) {
                    break;
                }
                return Result::End;
            }
            return Result::NeedMore;
        case MPG123_DONE:
            return Result::End;
        default:
            return Result::Error;
        }
    }
}

void MpegDecoder::UpdateInfo()
{
    mpg123_frameinfo2 fi{};
    if (mpg123_info2(handle_, &fi) != MPG123_OK) {
        return;
    }
    info_.layer = fi.layer;
    // MPEG 2.5 is an extension of MPEG-2 and is reported as such.
    info_.version = fi.version == MPG123_1_0 ? 1 : 2;
    info_.bitrate = fi.bitrate;
    info_.channels = fi.mode == MPG123_M_MONO ? 1 : 2;
    info_.frequency = static_cast<std::int32_t>(fi.rate);
}

int MpegDecoder::SamplesPerFrame() const
{
    int spf = handle_ != nullptr ? mpg123_spf(handle_) : -1;
    return spf > 0 ? spf : 1152;
}

double MpegDecoder::BytesPerFrame() const
{
    if (info_.bitrate <= 0 || info_.frequency <= 0) {
        return 0;
    }
    return info_.bitrate * 125.0 * SamplesPerFrame() / info_.frequency;
}

bool MpegDecoder::SeekFrame(std::int64_t frame)
{
    return mpg123_seek_frame(handle_, static_cast<off_t>(frame), SEEK_SET) >= 0;
}

std::int64_t MpegDecoder::InputPosition() const
{
    off_t pos = handle_ != nullptr ? mpg123_tell_stream(handle_) : -1;
    return handleBase_ + (pos < 0 ? 0 : static_cast<std::int64_t>(pos));
}

void MpegDecoder::ReadTags(StreamTags* tags) const
{
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (handle_ != nullptr && (mpg123_meta_check(handle_) & MPG123_ID3) != 0 &&
        mpg123_id3(handle_, &v1, &v2) == MPG123_OK) {
        if (v2 != nullptr) {
            tags->title = Text(v2->title);
            tags->artist = Text(v2->artist);
            tags->album = Text(v2->album);
            for (std::size_t i = 0; i < v2->texts; ++i) {
                const mpg123_text& t = v2->text[i];
                // "Author" is the writer of the words; "composer" of the music.
                if (std::memcmp(t.id, "TEXT", 4) == 0) {
                    tags->author = Text(&t.text);
                } else if (std::memcmp(t.id, "TCOM", 4) == 0) {
                    tags->composer = Text(&t.text);
                }
            }
        }
        if (v1 != nullptr) {
            MergeId3v1(reinterpret_cast<const char*>(v1), tags);
        }
    }
    for (auto [field, earlier] : {std::pair{&tags->title, &earlierTags_.title}, {&tags->artist, &earlierTags_.artist},
                                  {&tags->author, &earlierTags_.author}, {&tags->composer, &earlierTags_.composer},
                                  {&tags->album, &earlierTags_.album}}) {
        if (field->empty()) {
            *field = *earlier;
        }
    }
}

std::string MpegDecoder::ErrorText() const
{
    return handle_ != nullptr ? mpg123_strerror(handle_) : "no decoder";
}

}  // namespace mpxdec
