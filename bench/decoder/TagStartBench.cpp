// Starting a network stream whose server sends a huge ID3v2 tag (256 MiB
// unless given in MiB on the command line) before the audio: the memory the
// process gains while the start runs, and how long the start takes. Run by
// hand: build/bench/decoder/mpxdec_tag_start_bench [tag MiB]
//
// The server is the decoder tests' own, on 127.0.0.1; the tag is sent from
// a small buffer so that only the library's memory is measured.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mpxdec/mpxdec.h"
#include "tests/mpxdec/TestHttpServer.h"

namespace {

std::int64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

std::int64_t peak = 0;

void SampleMemory(void*)
{
    peak = std::max(peak, ResidentBytes());
}

}  // namespace

int main(int argc, char** argv)
{
    const std::uint32_t tagMiB = argc > 1 ? static_cast<std::uint32_t>(std::atoi(argv[1])) : 256;
    const std::uint32_t tagBytes = std::min<std::uint32_t>(tagMiB << 20, (1u << 28) - 1 + 10);
    std::ifstream in(BRELUNE_FIXTURES "/l3_mpeg1_44k_stereo_5s.mp3", std::ios::binary);
    const std::vector<std::uint8_t> song{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    mpxtest::TestHttpServer server;
    server.Route("/tagged", [&](mpxtest::HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
               std::to_string(std::uint64_t(tagBytes) + song.size()) + "\r\n\r\n");
        std::vector<std::uint8_t> block(64 * 1024, 0);
        const std::uint32_t body = tagBytes - 10;
        const std::uint8_t header[10] = {'I', 'D', '3', 3, 0, 0, std::uint8_t((body >> 21) & 0x7F),
                                         std::uint8_t((body >> 14) & 0x7F), std::uint8_t((body >> 7) & 0x7F),
                                         std::uint8_t(body & 0x7F)};
        std::copy(header, header + 10, block.begin());
        for (std::uint32_t sent = 0; sent < tagBytes;) {
            const std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(block.size()), tagBytes - sent);
            if (!c.Send(block.data(), n)) return;
            sent += n;
            std::fill(block.begin(), block.begin() + 10, 0);
        }
        c.Send(song.data(), song.size());
    });

    mpegInit();
    mpegCommand(0, 0x00010391, 60000, 0, nullptr);
    mpegCommand(0, 0x00010390, reinterpret_cast<std::intptr_t>(&SampleMemory), 0, nullptr);
    const std::int64_t before = ResidentBytes();
    const auto start = std::chrono::steady_clock::now();
    std::uint32_t status = mpegOpen(server.Url("/tagged").c_str(), 0, 0, 0, 0);
    if (status >> 30 != 3) status = mpegCommand(0, 0x01010105, 0, 0, nullptr);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    SampleMemory(nullptr);
    if (status != 0x41010101) {
        char text[256] = {};
        mpegCommand(0, 0x00000001, status, sizeof text, text);
        std::printf("start failed: %08x %s\n", status, text);
        return 1;
    }
    int frames = 0;
    std::vector<std::uint8_t> pcm(4608);
    for (;;) {
        std::int32_t bytes = 0;
        FrameInfo info{};
        status = mpegGetFrame(pcm.data(), &bytes, &info);
        if (status == 0) ++frames;
        if (status == 0x81010104 || status >> 30 == 3) break;
        if (status == 0x81010101) usleep(1000);
    }
    mpegClose();
    mpegDone();
    std::printf("tag %u MiB: start %.2f s, resident memory +%.1f MiB at most while starting (%.1f MiB before), "
                "%d frames played after it\n",
                tagBytes >> 20, seconds, (peak - before) / 1048576.0, before / 1048576.0, frames);
    return 0;
}
