#pragma once
// Common ground for the network tests: a fresh library with a short open
// timeout, no proxy from the environment, and an open that goes through the
// same calls as the player's.

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Decoder.h"
#include "tests/mpxdec/TestFiles.h"
#include "tests/mpxdec/TestHttpServer.h"

namespace mpxtest {

// The library's own command for the open timeout in milliseconds.
constexpr std::uint32_t kOpenTimeoutCommand = 0x00010391;
constexpr int kOpenTimeoutMs = 1000;
constexpr DecoderStatus kStatusNoAudio = 0x81010102;

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
