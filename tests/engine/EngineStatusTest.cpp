// What the engine reports for the display: time, frames, progress, bit rate
// and sync state.

#include <gtest/gtest.h>

#include "tests/engine/EngineHarness.h"

namespace {
// Decodes n frames, letting the device play everything queued as it goes.
void DecodePlaying(EngineHarness& h, int n) {
    for (int i = 0; i < n; ++i) {
        h.device.PlayHeaders(16);
        h.engine->DecodeFrames(1);
    }
}

TEST(EngineStatusTest, FramesWithoutPcmCountInElapsedTimeAndFramesPlayed) {
    EngineHarness h;
    h.decoder.Add(48, 0, kLayer3StereoBytes, kLayer3Stereo);
    h.decoder.Add(40, 0, 0, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    h.engine->DecodeFrames(48);

    // An empty frame ends the batch.
    EXPECT_EQ(h.engine->DecodeFrames(10), PlaybackEngine::kDecodeEmptyFrame);
    for (int i = 1; i < 40; ++i) h.engine->DecodeFrames(1);
    h.device.PlayHeaders(16);  // 47 frames

    // 40 × 4608 / 176 400 s = 1.04 s skipped, plus 216 576 bytes = 1.2 s played.
    EXPECT_EQ(h.engine->ElapsedSeconds(), 2);
    EXPECT_EQ(h.engine->FramesPlayed(), 80);  // (47 + 40) rounded down to tens
    EXPECT_EQ(h.engine->ProgressPercent(), -1);
}

TEST(EngineStatusTest, EstimatesTheFrameCountFromInputLengthAndPosition) {
    EngineHarness h;
    h.decoder.hasInputLength = true;
    h.decoder.inputLength = 1000000;
    // Position 100 000 after 200 frames, and not proportional before.
    h.decoder.inputOffset = 4000;
    h.decoder.inputPerFrame = 480;
    h.decoder.Add(300, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());

    DecodePlaying(h, 100);
    EXPECT_EQ(h.engine->EstimatedFrames(), 1923);
    DecodePlaying(h, 100);
    EXPECT_EQ(h.engine->EstimatedFrames(), 2000);
    h.device.PlayHeaders(16);
    // 199 frames played (the opening frame is never heard) of 2000.
    EXPECT_EQ(h.engine->ProgressPercent(), 9);
}

TEST(EngineStatusTest, NoInputLengthMeansNoEstimateAndNoProgress) {
    EngineHarness h;
    h.decoder.inputPerFrame = 480;
    h.decoder.Add(60, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    DecodePlaying(h, 60);
    EXPECT_EQ(h.engine->EstimatedFrames(), -1);
    EXPECT_EQ(h.engine->ProgressPercent(), -1);
}

TEST(EngineStatusTest, BitRateAverageCarriesOverIntoTheNextTrack) {
    EngineHarness h;
    h.decoder.Add(11, 0, kLayer3StereoBytes, {3, 1, 320, 2, 44100});
    ASSERT_TRUE(h.Open());
    h.engine->DecodeFrames(11);
    EXPECT_EQ(h.engine->BitRate(), 320);

    h.decoder.Add(2, 0, kLayer3StereoBytes, {3, 1, 128, 2, 44100});
    ASSERT_TRUE(h.Open());
    EXPECT_EQ(h.engine->BitRate(), -1);
    h.engine->DecodeFrames(1);
    EXPECT_EQ(h.engine->BitRate(), 128);  // the opening frame's own rate
    h.engine->DecodeFrames(1);
    EXPECT_EQ(h.engine->BitRate(), 300);  // (9 × 320 + 128 + 0.5) / 10, truncated
}

TEST(EngineStatusTest, SyncStateFollowsTheLastFrameStatus) {
    struct Case {
        DecoderStatus status;
        int sync;
    };
    for (const Case c : {Case{0, 2}, Case{kStatusNoFrame1, 1}, Case{kStatusResync, 3}, Case{kStatusNoFrame2, 4},
                         Case{kStatusEndOfStream, 5}, Case{0x41000001, 0}}) {
        SCOPED_TRACE(c.status);
        EngineHarness h;
        h.decoder.script.push_back({c.status, kLayer3StereoBytes, kLayer3Stereo});
        ASSERT_TRUE(h.Open());
        h.engine->DecodeFrames(1);
        EXPECT_EQ(h.engine->SyncState(), c.sync);
    }
}
}  // namespace
