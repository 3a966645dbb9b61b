#include "mpxdec/MpegDecoder.h"

#include <mpg123.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace mpxdec {

namespace {

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

bool IsStandardRate(long rate)
{
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    return std::find(rates, rates + count, rate) != rates + count;
}

long StreamRate(mpg123_handle* handle)
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_frameinfo2 fi{};
    if (mpg123_getformat(handle, &rate, &channels, &encoding) != MPG123_OK || mpg123_info2(handle, &fi) != MPG123_OK) {
        return 0;
    }
    return fi.rate;
}

}  // namespace

MpegDecoder::~MpegDecoder()
{
    Delete(handle_);
    Delete(probe_);
}

mpg123_handle* MpegDecoder::NewHandle(const OutputSettings& settings)
{
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) {
        return nullptr;
    }
    long flags = MPG123_QUIET | MPG123_GAPLESS;
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
    long divided = streamRate >> settings_.quality;
    if (settings_.quality > 0 && divided > 0 && !IsStandardRate(divided)) {
        return mpg123_param(handle_, MPG123_FORCE_RATE, divided, 0) == MPG123_OK &&
               mpg123_format(handle_, divided, MPG123_MONO | MPG123_STEREO, Encoding(settings_)) == MPG123_OK;
    }
    return mpg123_param(handle_, MPG123_DOWN_SAMPLE, settings_.quality, 0) == MPG123_OK;
}

bool MpegDecoder::OpenFd(int fd, const OutputSettings& settings)
{
    settings_ = settings;
    OutputSettings full = settings;
    full.quality = 0;
    mpg123_handle* probe = NewHandle(full);
    long rate = probe != nullptr && mpg123_open_fd(probe, fd) == MPG123_OK ? StreamRate(probe) : 0;
    Delete(probe);
    handle_ = NewHandle(settings);
    return handle_ != nullptr && lseek(fd, 0, SEEK_SET) == 0 && Configure(rate) &&
           mpg123_open_fd(handle_, fd) == MPG123_OK;
}

bool MpegDecoder::OpenFeed(const OutputSettings& settings)
{
    settings_ = settings;
    OutputSettings full = settings;
    full.quality = 0;
    handle_ = NewHandle(settings);
    probe_ = NewHandle(full);
    return handle_ != nullptr && probe_ != nullptr && mpg123_open_feed(handle_) == MPG123_OK &&
           mpg123_open_feed(probe_) == MPG123_OK;
}

bool MpegDecoder::Feed(const std::uint8_t* data, std::size_t size)
{
    if (probe_ != nullptr) {
        mpg123_feed(probe_, data, size);
    }
    return mpg123_feed(handle_, data, size) == MPG123_OK;
}

MpegDecoder::Result MpegDecoder::ReadFormat()
{
    if (probe_ != nullptr) {
        // The real handle has only stored the bytes so far, so it can still
        // be told how to divide the rate.
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        int rc = mpg123_getformat(probe_, &rate, &channels, &encoding);
        if (rc == MPG123_NEED_MORE) {
            return Result::NeedMore;
        }
        rate = rc == MPG123_OK ? StreamRate(probe_) : 0;
        Delete(probe_);
        probe_ = nullptr;
        if (rc != MPG123_OK || !Configure(rate)) {
            return Result::Error;
        }
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    int rc = mpg123_getformat(handle_, &rate, &channels, &encoding);
    if (rc == MPG123_OK) {
        formatKnown_ = true;
        UpdateInfo();
        return Result::Frame;
    }
    if (rc == MPG123_NEED_MORE) {
        return Result::NeedMore;
    }
    return rc == MPG123_DONE ? Result::End : Result::Error;
}

MpegDecoder::Result MpegDecoder::DecodeFrame(void* pcm, std::int32_t* bytes)
{
    *bytes = 0;
    for (;;) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        std::size_t size = 0;
        int rc = mpg123_decode_frame(handle_, &frame, &audio, &size);
        switch (rc) {
        case MPG123_OK:
            if (size > 0) {
                std::memcpy(pcm, audio, size);
            }
            *bytes = static_cast<std::int32_t>(size);
            UpdateInfo();
            return Result::Frame;
        case MPG123_NEW_FORMAT:
            if (formatKnown_) {
                UpdateInfo();
                return Result::FormatChanged;
            }
            formatKnown_ = true;
            break;
        case MPG123_NEED_MORE:
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
    return pos < 0 ? 0 : static_cast<std::int64_t>(pos);
}

void MpegDecoder::ReadTags(StreamTags* tags) const
{
    mpg123_id3v1* v1 = nullptr;
    mpg123_id3v2* v2 = nullptr;
    if (handle_ == nullptr || (mpg123_meta_check(handle_) & MPG123_ID3) == 0 ||
        mpg123_id3(handle_, &v1, &v2) != MPG123_OK) {
        return;
    }
    if (v2 != nullptr) {
        tags->title = Text(v2->title);
        tags->artist = Text(v2->artist);
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

std::string MpegDecoder::ErrorText() const
{
    return handle_ != nullptr ? mpg123_strerror(handle_) : "no decoder";
}

}  // namespace mpxdec
