// Odd servers and damaged streams: a stream of one frame, damage in the
// middle, a huge tag before the audio, answers that are not HTTP at all.
// None of them may stop good audio, flood memory or be named wrongly.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/mpxdec/ReferenceDecode.h"

namespace {

using mpxtest::HttpConnection;
using mpxtest::TestHttpServer;

class MpxdecHttpDamage : public mpxtest::NetworkTest {};

std::int64_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

struct PeakMemory {
    std::int64_t peak = 0;
};

void SampleMemory(void* user)
{
    auto* memory = static_cast<PeakMemory*>(user);
    memory->peak = std::max(memory->peak, ResidentBytes());
}

TEST_F(MpxdecHttpDamage, AStreamOfOneFramePlaysThatFrame)
{
    const std::vector<std::uint8_t> frame = mpxtest::ReadFile(mpxtest::Fixture("l3_one_frame.mp3"));
    server.Route("/sized", TestHttpServer::File(frame));
    server.Route("/unsized", [&frame](HttpConnection& c) {
        c.Send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n");
        c.Send(frame.data(), frame.size());
    });
    for (const char* path : {"/sized", "/unsized"}) {
        SCOPED_TRACE(path);
        DecoderStatus status = OpenUrl(server.Url(path));
        ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
        EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
        ASSERT_EQ(run.frames.size(), 1u);
        EXPECT_EQ(run.frameBytes[0], 4608);
        decoder.Close();
    }
}

TEST_F(MpxdecHttpDamage, DamageInTheMiddleOfAStreamIsSkipped)
{
    const std::string source = mpxtest::Fixture("l3_mpeg1_44k_stereo_5s.mp3");
    std::vector<std::uint8_t> bytes = mpxtest::ReadFile(source);
    std::vector<std::uint8_t> junk(200 * 1024);
    for (std::size_t i = 0; i < junk.size(); ++i) {
        junk[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    }
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2), junk.begin(), junk.end());
    server.Route("/damaged", TestHttpServer::File(bytes));
    DecoderStatus status = OpenUrl(server.Url("/damaged"));
    ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
    EXPECT_GT(run.pcm.size() + 8 * 4608, mpxtest::ReferenceDecode(source, 0, 0, 0).size());
}

TEST_F(MpxdecHttpDamage, AHugeTagFromAServerIsSkippedWithoutHoldingIt)
{
    // A tag of 128 MiB, sent from a small buffer, then the song.
    constexpr std::uint32_t kTagBytes = 128u << 20;
    const auto& song = this->song;
    server.Route("/tagged", [&song](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " +
               std::to_string(kTagBytes + song.size()) + "\r\n\r\n");
        std::vector<std::uint8_t> block = mpxtest::Id3v2Tag("Lost Title", 64 * 1024);
        const std::uint32_t body = kTagBytes - 10;
        for (int i = 0; i < 4; ++i) {
            block[6 + i] = static_cast<std::uint8_t>((body >> (7 * (3 - i))) & 0x7F);
        }
        for (std::uint32_t sent = 0; sent < kTagBytes; sent += static_cast<std::uint32_t>(block.size())) {
            if (!c.Send(block.data(), block.size())) {
                return;
            }
            std::fill(block.begin(), block.end(), 0);
        }
        c.Send(song.data(), song.size());
    });
    decoder.Command(mpxtest::kOpenTimeoutCommand, 10000, 0, nullptr);
    PeakMemory memory;
    decoder.Command(DecoderCommand::WaitHook, reinterpret_cast<std::intptr_t>(&SampleMemory),
                    reinterpret_cast<std::intptr_t>(&memory), nullptr);
    const std::int64_t before = ResidentBytes();
    DecoderStatus status = OpenUrl(server.Url("/tagged"));
    ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status);
    decoder.Command(DecoderCommand::WaitHook, 0, 0, nullptr);
#if !defined(__SANITIZE_ADDRESS__)
    // The sanitizer's quarantine holds freed blocks, so only a plain build measures.
    EXPECT_LT(memory.peak - before, 16 << 20) << "bytes held while the tag passed";
#endif
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
    EXPECT_TRUE(run.pcm == mpxtest::ReferenceDecode(songPath, 0, 0, 0));
}

TEST_F(MpxdecHttpDamage, AnswersThatAreNotHttpAreNamedForWhatTheyAre)
{
    server.Route("/garbled", [](HttpConnection& c) { c.Send("HTXP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc"); });
    server.Route("/future", [](HttpConnection& c) { c.Send("HTTP/9.9 200 OK\r\nContent-Length: 3\r\n\r\nabc"); });
    server.Route("/noise", [](HttpConnection& c) { c.Send(std::string("\x01\x02\x03\xff binary\r\n\r\n", 15)); });
    server.Route("/longheader", [](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nX-Filler: " + std::string(200 * 1000, 'x') +
               "\r\nContent-Length: 3\r\n\r\nabc");
    });
    struct Case {
        const char* path;
        const char* text;
    };
    const Case cases[] = {{"/garbled", "The server's answer is not HTTP"},
                          {"/future", "The server's answer is not HTTP"},
                          {"/noise", "The server's answer is not HTTP"},
                          {"/longheader", "The server sent a header line too long"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        DecoderStatus status = OpenUrl(server.Url(c.path));
        EXPECT_EQ(status, 0xC1010024u) << std::hex << status;
        EXPECT_NE(decoder.ErrorText(status).find(c.text), std::string::npos) << decoder.ErrorText(status);
        decoder.Close();
    }
}

}  // namespace
