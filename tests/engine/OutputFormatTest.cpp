// The output format, frame size, timer period and buffer threshold derived
// from the first frame's format and the output settings.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/EngineHarness.h"

namespace {
struct FormatCase {
    const char* name;
    FrameInfo frame;
    int quality, resolution, downmix;
    // Expected.
    int channels, rate, avgBytesPerSec, blockAlign, bits;
    int frameBytes, msPerFrame, timerPeriod, threshold, framesPerBuffer;
};

const FormatCase kFormats[] = {
    {"Mpeg1Layer3Stereo", {3, 1, 128, 2, 44100}, 0, 0, 0, 2, 44100, 176400, 4, 16, 4608, 26, 130, 36864, 8},
    {"Mpeg1Layer3Downmixed", {3, 1, 128, 2, 44100}, 0, 0, 1, 1, 44100, 88200, 2, 16, 2304, 26, 130, 18432, 8},
    {"Mpeg1Layer3HalfRate", {3, 1, 128, 2, 44100}, 1, 0, 0, 2, 22050, 88200, 4, 16, 2304, 26, 130, 36864, 16},
    {"Mpeg1Layer3EightBit", {3, 1, 128, 2, 44100}, 0, 1, 0, 2, 44100, 88200, 2, 8, 2304, 26, 130, 36864, 16},
    {"Mpeg1Layer3QuarterRateEightBitMono", {3, 1, 128, 2, 44100}, 2, 1, 1, 1, 11025, 11025, 1, 8, 288, 26, 130,
     18432, 64},
    {"Mpeg2Layer3Stereo", {3, 2, 64, 2, 22050}, 0, 0, 0, 2, 22050, 88200, 4, 16, 2304, 26, 130, 18432, 8},
    {"Layer1At48kStereo", {1, 1, 384, 2, 48000}, 0, 0, 0, 2, 48000, 192000, 4, 16, 1536, 8, 40, 36864, 24},
    {"Layer2At48kStereo", {2, 1, 192, 2, 48000}, 0, 0, 0, 2, 48000, 192000, 4, 16, 4608, 24, 120, 36864, 8},
};

class OutputFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(OutputFormatTest, FirstFrameOpensTheDeviceWithTheDerivedFormatTimerAndThreshold) {
    const FormatCase& c = GetParam();
    EngineHarness h;
    // Frames of exactly frameBytes, enough for the pre-roll and two full buffers after it.
    h.decoder.Add(1 + 47 + 2 * c.framesPerBuffer, 0, c.frameBytes, c.frame);
    ASSERT_TRUE(h.Open(c.quality, c.resolution, c.downmix));
    ASSERT_EQ(h.engine->DecodeFrames(1000), PlaybackEngine::kDecodeMore);

    const PcmFormat& f = h.device.openFormat;
    EXPECT_EQ(f.channels, c.channels);
    EXPECT_EQ(f.samplesPerSec, c.rate);
    EXPECT_EQ(f.avgBytesPerSec, c.avgBytesPerSec);
    EXPECT_EQ(f.blockAlign, c.blockAlign);
    EXPECT_EQ(f.bitsPerSample, c.bits);
    EXPECT_EQ(h.engine->FrameBytes(), c.frameBytes);
    EXPECT_EQ(h.engine->MsPerFrame(), c.msPerFrame);
    EXPECT_EQ(h.timer.LivePeriod(), static_cast<std::uint32_t>(c.timerPeriod));
    EXPECT_EQ(h.timer.started.back().resolutionMs, 1u);
    EXPECT_EQ(h.engine->FillThreshold(), c.threshold);
    // The pre-roll's end hands over a partial buffer; full ones follow.
    ASSERT_FALSE(h.device.writes.empty());
    EXPECT_EQ(*std::max_element(h.device.writes.begin(), h.device.writes.end()),
              static_cast<std::uint32_t>(c.framesPerBuffer * c.frameBytes));
    // The current format is the one decoded, before downmix and rate division.
    EXPECT_EQ(h.engine->CurrentFormat().channels, c.frame.channels);
    EXPECT_EQ(h.engine->CurrentFormat().samplingRate, c.frame.frequency);
}

INSTANTIATE_TEST_SUITE_P(Formats, OutputFormatTest, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
    const char* name;
    FrameInfo frame;
};

const RefusedCase kRefused[] = {
    {"LayerFour", {4, 1, 128, 2, 44100}},
    {"LayerZero", {0, 1, 128, 2, 44100}},
    {"ThreeChannels", {3, 1, 128, 3, 44100}},
    {"LessThanOneFramePerSecond", {3, 1, 8, 2, 100}},
    {"LessThanAMillisecondPerFrame", {1, 1, 384, 2, 500000}},
};

TEST(OutputFormatRefusalTest, UnplayableFrameFormatStopsTheStreamWithoutOpeningTheDevice) {
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.decoder.Add(3, 0, 4608, c.frame);
        ASSERT_TRUE(h.Open());
        EXPECT_EQ(h.engine->DecodeFrames(3), PlaybackEngine::kDecodeInactive);
        EXPECT_EQ(h.device.openCount, 0);
        EXPECT_EQ(h.Stopped(), 1);
        EXPECT_EQ(h.timer.LiveCount(), 0u);
        EXPECT_TRUE(h.messages.empty());
    }
}
}  // namespace
