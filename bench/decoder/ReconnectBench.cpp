// What reconnecting costs the caller: how long mpegClose takes while a lost
// station waits between attempts or while an attempt hangs (target: well
// under 100 ms), and what the tag-change query the player makes at every
// display update costs. Against the decoder tests' own server on 127.0.0.1.
//
// Usage: mpxdec_reconnect_bench [rounds]   (default 20)

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "mpxdec/mpxdec.h"
#include "tests/mpxdec/TestHttpServer.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kAfterOpen = 0x00010385;
constexpr std::uint32_t kStart = 0x01010105;
constexpr std::uint32_t kTagChanges = 0x00100020;
constexpr std::uint32_t kReconnectPause = 0x00010392;
constexpr std::uint32_t kOpenTimeout = 0x00010391;
constexpr std::uint32_t kReconnecting = 0x81010105;

std::vector<std::uint8_t> Station()
{
    std::FILE* f = std::fopen(BRELUNE_BENCH_FIXTURE, "rb");
    std::vector<std::uint8_t> bytes;
    if (f == nullptr) {
        return bytes;
    }
    std::uint8_t buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, f)) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(f);
    return bytes;
}

// Opens the station and decodes until the library reports reconnecting.
bool PlayUntilReconnecting(const std::string& url)
{
    if (mpegOpen(url.c_str(), 0, 0, 0, 0) != 0) {
        return false;
    }
    mpegCommand(0, kAfterOpen, 0, 0, nullptr);
    if (mpegCommand(0, kStart, 0, 0, nullptr) != 0x41010101) {
        return false;
    }
    std::vector<std::uint8_t> pcm(4608);
    auto deadline = Clock::now() + 10s;
    while (Clock::now() < deadline) {
        std::int32_t bytes = 0;
        FrameInfo info{};
        std::uint32_t status = mpegGetFrame(pcm.data(), &bytes, &info);
        if (status == kReconnecting) {
            return true;
        }
        if (status >> 30 == 3) {
            return false;
        }
        if (status != 0) {
            std::this_thread::sleep_for(1ms);
        }
    }
    return false;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Report(const char* what, const std::vector<double>& ms)
{
    std::printf("%-44s median %6.2f ms  max %6.2f ms  (target: well under 100 ms)\n", what, Median(ms),
                *std::max_element(ms.begin(), ms.end()));
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::vector<std::uint8_t> audio = Station();
    if (audio.empty() || mpegInit() != 0) {
        std::fprintf(stderr, "cannot read %s or start the library\n", BRELUNE_BENCH_FIXTURE);
        return 1;
    }
    mpegCommand(0, kOpenTimeout, 2000, 0, nullptr);
    mpegCommand(0, kReconnectPause, 1000, 0, nullptr);
    const std::string head = "ICY 200 OK\r\ncontent-type: audio/mpeg\r\n\r\n";

    mpxtest::TestHttpServer server;
    // Each open gets the station once; it drops at once, and every attempt
    // after it is answered 503 (a pause follows) or never answered.
    std::atomic<bool> onAir{false};
    server.Route("/pausing", [&](mpxtest::HttpConnection& c) {
        if (onAir.exchange(false)) {
            c.Send(head);
            c.Send(audio.data(), audio.size());
        } else {
            c.Send("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
        }
    });
    server.Route("/hanging", [&](mpxtest::HttpConnection& c) {
        if (onAir.exchange(false)) {
            c.Send(head);
            c.Send(audio.data(), audio.size());
        } else {
            c.Pause(30s);
        }
    });

    std::vector<double> inPause;
    std::vector<double> inAttempt;
    for (int i = 0; i < rounds; ++i) {
        for (auto [path, times, wait] : {std::tuple{"/pausing", &inPause, 300ms + (i % 5) * 100ms},
                                         std::tuple{"/hanging", &inAttempt, 1300ms}}) {
            onAir = true;
            if (!PlayUntilReconnecting(server.Url(path))) {
                std::fprintf(stderr, "%s did not reach reconnecting\n", path);
                return 1;
            }
            std::this_thread::sleep_for(wait);
            auto start = Clock::now();
            mpegClose();
            times->push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    std::printf("mpegClose while reconnecting, %d rounds each:\n", rounds);
    Report("  during the pause between attempts", inPause);
    Report("  during an attempt the server never answers", inAttempt);

    // The query the player makes at every display update, while a station plays.
    onAir = true;
    if (!PlayUntilReconnecting(server.Url("/pausing"))) {
        return 1;
    }
    constexpr int kCalls = 1000000;
    std::int32_t changes = 0;
    auto start = Clock::now();
    for (int i = 0; i < kCalls; ++i) {
        mpegCommand(0, kTagChanges, 0, 0, &changes);
    }
    double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kCalls;
    std::printf("tag-change query (0x00100020): %.1f ns a call, %d calls\n", ns, kCalls);
    mpegClose();
    mpegDone();
    return 0;
}
