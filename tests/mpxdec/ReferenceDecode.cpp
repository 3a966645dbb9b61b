#include "tests/mpxdec/ReferenceDecode.h"

#include <mpg123.h>

#include <algorithm>
#include <iterator>

namespace mpxtest {

namespace {

long StreamRate(const std::string& path)
{
    int error = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    mpg123_frameinfo2 fi{};
    if (mpg123_open(mh, path.c_str()) == MPG123_OK && mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK &&
        mpg123_info2(mh, &fi) == MPG123_OK) {
        rate = fi.rate;
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return rate;
}

}  // namespace

std::vector<std::uint8_t> ReferenceDecode(const std::string& path, int quality, int resolution, int downmix)
{
    std::vector<std::uint8_t> pcm;
    const long divided = StreamRate(path) >> quality;
    int error = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (mh == nullptr) {
        return pcm;
    }
    const int encoding = resolution ? MPG123_ENC_UNSIGNED_8 : MPG123_ENC_SIGNED_16;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | (downmix ? MPG123_MONO_MIX : 0), 0);
    mpg123_format_none(mh);
    mpg123_format2(mh, 0, MPG123_MONO | MPG123_STEREO, encoding);
    // libmpg123 divides only down to its standard rates; below them the
    // divided rate is reached by resampling.
    const long standard[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    if (quality > 0 && std::find(std::begin(standard), std::end(standard), divided) == std::end(standard)) {
        mpg123_param(mh, MPG123_FORCE_RATE, divided, 0);
        mpg123_format(mh, divided, MPG123_MONO | MPG123_STEREO, encoding);
    } else {
        mpg123_param(mh, MPG123_DOWN_SAMPLE, quality, 0);
    }
    if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
        std::vector<unsigned char> block(256 * 1024);
        for (;;) {
            size_t done = 0;
            int rc = mpg123_read(mh, block.data(), block.size(), &done);
            pcm.insert(pcm.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(done));
            if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
                break;
            }
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return pcm;
}

}  // namespace mpxtest
