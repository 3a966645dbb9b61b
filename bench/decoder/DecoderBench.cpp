// Decoding cost through mpegGetFrame against a bare libmpg123 loop on the
// same five-minute 128 kbit/s file, in one run. Prints the CPU time per
// second of audio for both and their ratio; exits 1 when the library costs
// more than 5 % over the bare loop.
//
// Usage: mpxdec_bench [file.mp3]   (without a file, one is generated with
// sox and lame in a temporary folder and removed afterwards)

#include <mpg123.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mpxdec/mpxdec.h"

namespace {

constexpr int kRuns = 7;
constexpr double kAllowedRatio = 1.05;

double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Returns the PCM bytes decoded, or -1.
long long ThroughLibrary(const std::string& path)
{
    if (mpegOpen(path.c_str(), 0, 0, 0, 0) != 0) {
        return -1;
    }
    std::vector<unsigned char> pcm(4608);
    long long total = 0;
    FrameInfo info{};
    for (;;) {
        int32_t bytes = 0;
        uint32_t status = mpegGetFrame(pcm.data(), &bytes, &info);
        if (status != 0) {
            break;
        }
        total += bytes;
    }
    mpegClose();
    return total;
}

long long BareLoop(const std::string& path)
{
    int error = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(mh);
    mpg123_format2(mh, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long long total = -1;
    if (mpg123_open(mh, path.c_str()) == MPG123_OK) {
        total = 0;
        for (;;) {
            off_t frame = 0;
            unsigned char* audio = nullptr;
            size_t bytes = 0;
            int rc = mpg123_decode_frame(mh, &frame, &audio, &bytes);
            if (rc == MPG123_OK) {
                total += static_cast<long long>(bytes);
            } else if (rc != MPG123_NEW_FORMAT) {
                break;
            }
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return total;
}

template <typename F>
double Measure(F decode, const std::string& path, long long* bytes)
{
    double start = CpuSeconds();
    *bytes = decode(path);
    return CpuSeconds() - start;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string path;
    std::string folder;
    if (argc > 1) {
        path = argv[1];
    } else {
        char pattern[] = "/tmp/mpxdec-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            return 2;
        }
        folder = pattern;
        path = folder + "/five-minutes.mp3";
        std::printf("generating %s ...\n", path.c_str());
        std::fflush(stdout);
        const std::string command = "sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth 300 pinknoise sine 440 gain -9 | "
                                    "lame --silent -b 128 - '" + path + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "could not generate the file (needs sox and lame)\n");
            return 2;
        }
    }
    if (mpegInit() != 0) {
        return 2;
    }
    long long libraryBytes = 0;
    long long bareBytes = 0;
    // Warm the page cache and the code paths before measuring.
    Measure(ThroughLibrary, path, &libraryBytes);
    Measure(BareLoop, path, &bareBytes);
    std::vector<double> library;
    std::vector<double> bare;
    for (int i = 0; i < kRuns; ++i) {
        library.push_back(Measure(ThroughLibrary, path, &libraryBytes));
        bare.push_back(Measure(BareLoop, path, &bareBytes));
    }
    mpegDone();
    if (!folder.empty()) {
        unlink(path.c_str());
        rmdir(folder.c_str());
    }
    if (libraryBytes <= 0 || libraryBytes != bareBytes) {
        std::fprintf(stderr, "decoded sizes differ: library %lld, bare %lld\n", libraryBytes, bareBytes);
        return 2;
    }
    // The least disturbed run of each is the fairest on a shared machine.
    const double audioSeconds = static_cast<double>(libraryBytes) / (44100.0 * 4);
    const double libraryCost = *std::min_element(library.begin(), library.end()) / audioSeconds;
    const double bareCost = *std::min_element(bare.begin(), bare.end()) / audioSeconds;
    const double ratio = libraryCost / bareCost;
    std::printf("audio: %.1f s, best of %d runs each\n", audioSeconds, kRuns);
    std::printf("mpegGetFrame:  %.3f ms CPU per second of audio (1/%.0f of real time)\n", libraryCost * 1000,
                1 / libraryCost);
    std::printf("bare libmpg123: %.3f ms CPU per second of audio (1/%.0f of real time)\n", bareCost * 1000,
                1 / bareCost);
    std::printf("ratio: %.3f (allowed %.2f)\n", ratio, kAllowedRatio);
    return ratio <= kAllowedRatio ? 0 : 1;
}
