// The cheapest possible player's decoding: libmpg123 alone turning the first
// `seconds` of a file into 16-bit PCM, nothing else. It is the yardstick for
// bench/player/callgrind-player.sh, which sets the instructions the whole player
// executes per second of audio against this loop's.
//
//   mpxdec_bare_decode file.mp3 [seconds]
#include <mpg123.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: mpxdec_bare_decode file.mp3 [seconds]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 1e9;
    int error = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    // The flags and the format the player's decoder asks for.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_param(mh, MPG123_RESYNC_LIMIT, -1, 0);
    mpg123_format_none(mh);
    mpg123_format2(mh, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, argv[1]) != MPG123_OK) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    long long bytes = 0, limit = -1;
    for (;;) {
        off_t frame = 0;
        unsigned char* audio = nullptr;
        size_t size = 0;
        const int rc = mpg123_decode_frame(mh, &frame, &audio, &size);
        if (rc == MPG123_NEW_FORMAT) {
            mpg123_getformat(mh, &rate, &channels, &encoding);
            limit = static_cast<long long>(seconds * double(rate) * channels * 2);
        } else if (rc != MPG123_OK) {
            break;
        }
        bytes += static_cast<long long>(size);
        if (limit >= 0 && bytes >= limit) break;
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    std::printf("decoded %.1f s of audio\n", rate > 0 ? double(bytes) / (double(rate) * channels * 2) : 0.0);
    return 0;
}
