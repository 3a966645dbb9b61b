// Without its network module the library still plays local files, and a
// network location fails with a text that says why.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/Decoder.h"
#include "tests/mpxdec/TestFiles.h"

namespace {
// Opens a local fixture, starts it and decodes its first frame; the stream
// stays open.
void PlayFirstLocalFrame(MpxDecoder& decoder) {
    ASSERT_TRUE(IsSuccess(decoder.Open(mpxtest::Fixture("l3_mpeg2_22k_mono.mp3"), 0, 0, 0, 0)));
    ASSERT_TRUE(IsSuccess(decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr)));
    std::vector<std::uint8_t> pcm(8192);
    std::int32_t bytes = 0;
    FrameInfo info{};
    EXPECT_EQ(decoder.GetFrame(pcm.data(), &bytes, &info), 0u);
}
}  // namespace

TEST(MpxdecNetworkModule, PlayingALocalFileLeavesLibcurlUnloaded) {
    MpxDecoder decoder;
    ASSERT_EQ(decoder.Init(), 0u);
    ASSERT_NO_FATAL_FAILURE(PlayFirstLocalFrame(decoder));
    // Mapped already if the library linked it or loaded its module early.
    EXPECT_EQ(dlopen("libcurl.so.4", RTLD_LAZY | RTLD_NOLOAD), nullptr);
    decoder.Close();
    EXPECT_EQ(decoder.Done(), 0u);
}

TEST(MpxdecNetworkModule, AMissingModuleFailsNetworkLocationsOnlyAndSaysWhy) {
    // Read when the first network location is started, which this process
    // has not done yet.
    setenv("MPXDEC_HTTP_MODULE", "/nonexistent/libmpxdec_http.so", 1);
    MpxDecoder decoder;
    ASSERT_EQ(decoder.Init(), 0u);
    ASSERT_NO_FATAL_FAILURE(PlayFirstLocalFrame(decoder));
    decoder.Close();

    ASSERT_TRUE(IsSuccess(decoder.Open("http://127.0.0.1:9/stream.mp3", 0, 0, 0, 0)));
    const DecoderStatus status = decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr);
    EXPECT_TRUE(IsError(status));
    EXPECT_NE(decoder.ErrorText(status).find("Network support is not available"), std::string::npos)
        << decoder.ErrorText(status);
    decoder.Close();
    EXPECT_EQ(decoder.Done(), 0u);
}
