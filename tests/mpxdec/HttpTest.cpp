// Locations fetched over HTTP from a server the test runs: however the
// bytes arrive they decode exactly like the file, failures name their
// cause, and the caller's window is never held up.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/mpxdec/ReferenceDecode.h"

namespace {

using mpxtest::HttpConnection;
using mpxtest::TestHttpServer;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class MpxdecHttp : public mpxtest::NetworkTest {};

TEST_F(MpxdecHttp, StreamsDecodeExactlyLikeTheFileHoweverTheBytesArrive)
{
    // Longer than the stall below, which must not count as a dead server.
    decoder.Command(mpxtest::kOpenTimeoutCommand, 3000, 0, nullptr);
    const auto& song = this->song;
    server.Route("/plain", TestHttpServer::File(song));
    server.Route("/slow", mpxtest::SlowFile(song));
    server.Route("/chunked", [&song](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nTransfer-Encoding: chunked\r\n\r\n");
        std::size_t sizes[] = {1, 333, 4096, 17, 2500};
        for (std::size_t i = 0, k = 0; i < song.size(); ++k) {
            std::size_t n = std::min(sizes[k % 5], song.size() - i);
            char head[32];
            std::snprintf(head, sizeof head, "%zx\r\n", n);
            c.Send(head);
            c.Send(song.data() + i, n);
            c.Send("\r\n");
            i += n;
        }
        c.Send("0\r\n\r\n");
    });
    server.Route("/unsized", [&song](HttpConnection& c) {
        c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n");
        c.Send(song.data(), song.size());
    });
    server.Route("/icy", mpxtest::IcyStation(song));
    server.Route("/moved", [](HttpConnection& c) {
        c.Send("HTTP/1.1 302 Found\r\nLocation: /plain\r\nContent-Length: 0\r\n\r\n");
    });
    server.Route("/stall", [&song](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " + std::to_string(song.size()) +
               "\r\n\r\n");
        c.Send(song.data(), song.size() / 2);
        if (c.Pause(1200ms)) {
            c.Send(song.data() + song.size() / 2, song.size() - song.size() / 2);
        }
    });

    struct Case {
        const char* path;
        std::int32_t kind;  // 2 sized file, 3 stream without length, 4 ICY station
        bool stalls;
    };
    const Case cases[] = {{"/plain", 2, false},   {"/slow", 2, false},  {"/chunked", 3, false},
                          {"/unsized", 3, false}, {"/icy", 4, false},   {"/moved", 2, false},
                          {"/stall", 2, true}};
    const std::vector<std::uint8_t> reference = mpxtest::ReferenceDecode(songPath, 0, 0, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DecoderStatus status = OpenUrl(server.Url(c.path));
        ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
        EXPECT_EQ(Kind(), c.kind);
        // A station never ends by itself: when its server closes, it reconnects.
        const bool station = c.kind == 4;
        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder, 10s, station);
        EXPECT_EQ(run.last, station ? kStatusReconnecting : kStatusEndOfStream) << decoder.ErrorText(run.last);
        EXPECT_FALSE(run.wroteBeyondFrame);
        ASSERT_EQ(run.pcm.size(), reference.size());
        EXPECT_TRUE(run.pcm == reference);
        bool resynced = std::count(run.otherStatuses.begin(), run.otherStatuses.end(), kStatusResync) > 0;
        EXPECT_EQ(resynced, c.stalls) << "a stall, and only a stall, asks the player to buffer again";
        char title[128] = {};
        DecoderStatus titleStatus = decoder.Command(DecoderCommand::Title, 0, 125, title);
        EXPECT_EQ(titleStatus, 0u);
        EXPECT_STREQ(title, c.kind == 4 ? "Song One" : "Tone Title") << "a station's title wins over the file's tag";
        decoder.Close();
    }
}

TEST_F(MpxdecHttp, FailuresNameTheirCause)
{
    server.Route("/missing", [](HttpConnection& c) {
        const std::string page = "<html><body>gone</body></html>";
        c.Send("HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
               "\r\n\r\n" + page);
    });
    server.Route("/page", TestHttpServer::File({'<', 'h', 't', 'm', 'l', '>'}, "text/html; charset=utf-8"));
    server.Route("/loop", [](HttpConnection& c) {
        c.Send("HTTP/1.1 302 Found\r\nLocation: /loop\r\nContent-Length: 0\r\n\r\n");
    });
    std::vector<std::uint8_t> noise(50000);
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<std::uint8_t>((i * 7919u) ^ (i >> 3));
    }
    server.Route("/noise", TestHttpServer::File(noise));
    server.Route("/empty", TestHttpServer::File({}));
    server.Route("/silent", [](HttpConnection& c) { c.Pause(10s); });

    struct Case {
        std::string url;
        const char* text;
    };
    const Case cases[] = {
        {server.Url("/missing"), "HTTP 404 Not Found"},
        {server.Url("/page"), "The server sent text/html, not MPEG audio"},
        {server.Url("/loop"), "Too many redirects"},
        {server.Url("/noise"), "Not MPEG audio"},
        {server.Url("/empty"), "Not MPEG audio: the server sent no data"},
        {server.Url("/silent"), "Timed out: no answer from the server within 1 s"},
        {"http://127.0.0.1:" + std::to_string(mpxtest::ClosedPort()) + "/a.mp3", "Connection refused"},
        {"http://no-such-host.invalid/a.mp3", "Host not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        auto start = Clock::now();
        DecoderStatus status = OpenUrl(c.url);
        EXPECT_TRUE(IsError(status)) << std::hex << status;
        EXPECT_NE(decoder.ErrorText(status).find(c.text), std::string::npos) << decoder.ErrorText(status);
        EXPECT_LT(Clock::now() - start, 3s);
        decoder.Close();
    }
}

struct HookState {
    Decoder* decoder = nullptr;
    int calls = 0;
    Clock::time_point start;
    Clock::time_point abortedAt;
    bool closeInstead = false;
};

void AbortAfterAWhile(void* user)
{
    auto* state = static_cast<HookState*>(user);
    ++state->calls;
    if (state->abortedAt == Clock::time_point{} && Clock::now() - state->start > 300ms) {
        state->abortedAt = Clock::now();
        if (state->closeInstead) {
            state->decoder->Close();
        } else {
            state->decoder->Command(DecoderCommand::AbortOpen, 0, 0, nullptr);
        }
    }
}

TEST_F(MpxdecHttp, TheWaitHookKeepsTheCallerRunningAndAnAbortEndsTheOpenAtOnce)
{
    server.Route("/silent", [](HttpConnection& c) { c.Pause(10s); });
    for (bool closeInstead : {false, true}) {
        SCOPED_TRACE(closeInstead ? "close from inside the hook" : "abort command");
        HookState state{&decoder, 0, Clock::now(), {}, closeInstead};
        decoder.Command(DecoderCommand::WaitHook, reinterpret_cast<std::intptr_t>(&AbortAfterAWhile),
                        reinterpret_cast<std::intptr_t>(&state), nullptr);
        DecoderStatus status = OpenUrl(server.Url("/silent"));
        auto returned = Clock::now();
        EXPECT_EQ(StatusClass(status), 2u) << "aborted by the caller: nothing to show" << std::hex << status;
        ASSERT_NE(state.abortedAt, Clock::time_point{});
        EXPECT_LT(returned - state.abortedAt, 100ms);
        // About one call per wait slice; a loaded machine gives fewer.
        EXPECT_GE(state.calls, 5) << "the hook runs all the while";

        auto closing = Clock::now();
        decoder.Close();
        EXPECT_LT(Clock::now() - closing, 100ms);
        std::uint8_t pcm[mpxtest::kMaxFrameBytes];
        std::int32_t bytes = -1;
        FrameInfo info{};
        EXPECT_TRUE(IsError(decoder.GetFrame(pcm, &bytes, &info)));
        decoder.Command(DecoderCommand::WaitHook, 0, 0, nullptr);
    }
}

TEST_F(MpxdecHttp, RequestHeadersReachTheServerAndBadOnesAreRefused)
{
    server.Route("/plain", TestHttpServer::File(song));
    ASSERT_EQ(OpenUrl(server.Url("/plain")), kStatusMaySave);
    ASSERT_EQ(server.Requests().size(), 1u);
    auto headers = server.Requests()[0].headers;
    EXPECT_EQ(headers["user-agent"], "Brelune3");
    EXPECT_EQ(headers["accept"], "audio/x-mpeg");
    EXPECT_EQ(headers["icy-metadata"], "1") << "stations are asked for their titles";

    ASSERT_EQ(decoder.Open(server.Url("/plain"), 0, 0, 0, 0), 0u);
    EXPECT_TRUE(IsError(decoder.Command(DecoderCommand::AddRequestHeader, reinterpret_cast<std::intptr_t>("X-A"),
                                        reinterpret_cast<std::intptr_t>("1\r\nX-Injected: 2"), nullptr)));
}

TEST_F(MpxdecHttp, AFastServerIsHeldBackWhileNobodyReads)
{
    // About 8 MB of Layer II frames: far more than the reader may hold.
    const std::vector<std::uint8_t> frames = mpxtest::ReadFile(mpxtest::Fixture("l2_mpeg1_44k_stereo.mp2"));
    std::vector<std::uint8_t> body;
    while (body.size() < 8 * 1024 * 1024) {
        body.insert(body.end(), frames.begin(), frames.end());
    }
    server.SetSendBuffer(32 * 1024);
    server.Route("/big", TestHttpServer::File(body));
    ASSERT_EQ(OpenUrl(server.Url("/big")), kStatusMaySave);
    // The first frame lies at the start, so the start needs one read.
    std::int32_t taken = 0;
    decoder.Command(DecoderCommand::InputPosition, 0, 0, &taken);
    EXPECT_LE(taken, 64 * 1024) << "the start takes in only what finding the first frame needs";
    std::this_thread::sleep_for(1500ms);
    // Our 256 KiB queue, the socket's receive buffer (512 KiB as the kernel
    // counts it) and the server's send buffer hold under a megabyte.
    std::int64_t sent = server.BytesSent();
    EXPECT_LT(sent, 1280 * 1024) << "the server sent " << sent / 1024 << " KiB while nobody read; the start took "
                                 << taken / 1024 << " KiB";
    auto closing = Clock::now();
    decoder.Close();
    // Generous for a loaded machine; an unpaused transfer would take seconds.
    EXPECT_LT(Clock::now() - closing, 300ms);
}

}  // namespace
