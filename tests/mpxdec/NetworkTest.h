#pragma once
// Common ground for the network tests: a fresh library with a short open
// timeout, no proxy from the environment, and an open that goes through the
// same calls as the player's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Decoder.h"
#include "tests/mpxdec/TestFiles.h"
#include "tests/mpxdec/TestHttpServer.h"

namespace mpxtest {

// The library's own command for the open timeout in milliseconds.
constexpr std::uint32_t kOpenTimeoutCommand = 0x00010391;
// The library's own command for the first pause before reconnecting, in milliseconds.
constexpr std::uint32_t kReconnectPauseCommand = 0x00010392;
constexpr int kOpenTimeoutMs = 1000;
constexpr DecoderStatus kStatusNoAudio = 0x81010102;

constexpr std::size_t kIcyInterval = 1000;

// The body with an ICY metadata block after every interval bytes: the
// first names the song, the rest are empty as on a real station.
inline std::vector<std::uint8_t> WithIcyMetadata(const std::vector<std::uint8_t>& audio,
                                                 const std::string& title = "Song One",
                                                 std::size_t interval = kIcyInterval)
{
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < audio.size(); i += interval) {
        std::size_t n = std::min(interval, audio.size() - i);
        out.insert(out.end(), audio.begin() + static_cast<std::ptrdiff_t>(i),
                   audio.begin() + static_cast<std::ptrdiff_t>(i + n));
        if (n < interval) {
            break;
        }
        if (i == 0) {
            std::string meta = "StreamTitle='" + title + "';";
            meta.resize(32, '\0');
            out.push_back(2);
            out.insert(out.end(), meta.begin(), meta.end());
        } else {
            out.push_back(0);
        }
    }
    return out;
}

// 200 with Content-Length, the body sent in small pieces with pauses.
inline TestHttpServer::Handler SlowFile(std::vector<std::uint8_t> body)
{
    return [body = std::move(body)](HttpConnection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\n\r\n");
        for (std::size_t i = 0; i < body.size() && c.Pause(std::chrono::milliseconds(10)); i += 700) {
            c.Send(body.data() + i, std::min<std::size_t>(700, body.size() - i));
        }
    };
}

// A station: "ICY 200 OK", no length, metadata blocks between the audio.
inline TestHttpServer::Handler IcyStation(const std::vector<std::uint8_t>& audio)
{
    return [body = WithIcyMetadata(audio)](HttpConnection& c) {
        c.Send("ICY 200 OK\r\nicy-name: Test Radio\r\nicy-metaint: " + std::to_string(kIcyInterval) +
               "\r\ncontent-type: audio/mpeg\r\n\r\n");
        c.Send(body.data(), body.size());
    };
}

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                                 "no_proxy", "NO_PROXY"}) {
            unsetenv(name);
        }
        ASSERT_EQ(decoder.Init(), 0u);
        decoder.Command(kOpenTimeoutCommand, kOpenTimeoutMs, 0, nullptr);
        // The library keeps the proxy across mpegDone: an earlier test's
        // proxy would be long gone. So it keeps a test's reconnect pause.
        decoder.Command(DecoderCommand::Proxy, reinterpret_cast<std::intptr_t>(""), 0, nullptr);
        decoder.Command(DecoderCommand::NoProxy, reinterpret_cast<std::intptr_t>(""), 0, nullptr);
        decoder.Command(kReconnectPauseCommand, 0, 0, nullptr);
    }
    void TearDown() override
    {
        decoder.Close();
        decoder.Done();
        server.Stop();
    }
    // mpegOpen, then the engine's commands up to the start of the source.
    DecoderStatus OpenUrl(const std::string& url)
    {
        DecoderStatus status = decoder.Open(url, 0, 0, 0, 0);
        decoder.Command(DecoderCommand::AfterOpen, 0, 0, nullptr);
        if (!IsSuccess(status)) {
            return status;
        }
        decoder.Command(DecoderCommand::AddRequestHeader, reinterpret_cast<std::intptr_t>("Accept"),
                        reinterpret_cast<std::intptr_t>("audio/x-mpeg"), nullptr);
        decoder.Command(DecoderCommand::AddRequestHeader, reinterpret_cast<std::intptr_t>("User-Agent"),
                        reinterpret_cast<std::intptr_t>("Brelune3"), nullptr);
        return decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr);
    }
    std::int32_t Kind()
    {
        std::int32_t kind = 0;
        decoder.Command(DecoderCommand::SourceKind, 0, 0, &kind);
        return kind;
    }

    MpxDecoder decoder;
    TestHttpServer server;
    const std::string songPath = Fixture("l3_mpeg1_44k_stereo.mp3");
    const std::vector<std::uint8_t> song = ReadFile(songPath);
};

}  // namespace mpxtest
