// The decode loop over a scripted decoder and a fake device: pre-roll, end of
// stream, format changes, re-buffering and the stops they cause.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engine/EngineHarness.h"

namespace {
using Calls = std::vector<std::string>;
const std::uint32_t kFullBuffer = 8 * kLayer3StereoBytes;

TEST(PlaybackEngineTest, OpenStreamStartsTheSourceWithItsHeadersAndWaitsForTheFormat) {
    EngineHarness h;
    h.decoder.sourceKind = 3;
    EXPECT_FALSE(h.engine->PauseOutput());
    ASSERT_TRUE(h.engine->OpenStream("http://127.0.0.1/a.mp3", 1, 1, 1, 4));

    EXPECT_EQ(h.decoder.openedLocations, Calls{"http://127.0.0.1/a.mp3"});
    EXPECT_EQ(h.decoder.openQuality, 1);
    EXPECT_EQ(h.decoder.openResolution, 1);
    EXPECT_EQ(h.decoder.openDownmix, 1);
    EXPECT_EQ(h.decoder.openCpuType, 4);
    EXPECT_EQ(h.decoder.CommandCount(DecoderCommand::AfterOpen), 1);
    const std::vector<std::pair<std::string, std::string>> headers{{"Accept", "audio/x-mpeg"},
                                                                   {"User-Agent", "Brelune3"}};
    EXPECT_EQ(h.decoder.requestHeaders, headers);
    EXPECT_EQ(h.decoder.CommandCount(DecoderCommand::StartSource), 1);
    EXPECT_EQ(h.engine->PlayType(), 3);
    EXPECT_TRUE(h.engine->IsActive());
    // No device until a frame tells the format; meanwhile a 120 ms timer polls.
    EXPECT_FALSE(h.device.IsOpen());
    ASSERT_EQ(h.timer.started.size(), 1u);
    EXPECT_EQ(h.timer.started[0].periodMs, 120u);
    EXPECT_EQ(h.timer.started[0].resolutionMs, 1u);
    EXPECT_EQ(h.timer.started[0].user, reinterpret_cast<std::uintptr_t>(&h.owner));
    EXPECT_EQ(h.engine->ElapsedSeconds(), -1);
    EXPECT_TRUE(h.engine->PauseOutput());
}

TEST(PlaybackEngineTest, DeviceIsHeldForFortyEightFramesThenStartsWithoutTheOpeningFrame) {
    EngineHarness h;
    h.decoder.Add(100, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());

    EXPECT_EQ(h.engine->DecodeFrames(1), PlaybackEngine::kDecodeMore);
    EXPECT_EQ(h.device.calls, (Calls{"open", "pause"}));
    EXPECT_TRUE(h.device.writes.empty());
    EXPECT_EQ(h.timer.killed.size(), 1u);  // the 120 ms timer
    EXPECT_EQ(h.timer.LivePeriod(), 130u);

    h.engine->DecodeFrames(46);
    EXPECT_TRUE(h.device.IsPaused());
    EXPECT_EQ(h.device.writes.size(), 5u);

    h.engine->DecodeFrames(1);
    EXPECT_EQ(h.device.calls, (Calls{"open", "pause", "restart"}));
    EXPECT_EQ(h.device.writes,
              (std::vector<std::uint32_t>{kFullBuffer, kFullBuffer, kFullBuffer, kFullBuffer, kFullBuffer,
                                          7 * kLayer3StereoBytes}));

    h.device.PlayHeaders(6);
    ASSERT_EQ(h.device.played.size(), 47u * kLayer3StereoBytes);
    EXPECT_EQ(h.device.played.front(), ScriptedDecoder::PatternOf(2));
    EXPECT_EQ(h.device.played.back(), ScriptedDecoder::PatternOf(48));
}

TEST(PlaybackEngineTest, StreamShorterThanThePrerollPlaysAndStopsAfterItsLastBuffer) {
    EngineHarness h;
    h.decoder.Add(10, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());

    EXPECT_EQ(h.engine->DecodeFrames(20), PlaybackEngine::kDecodeMore);
    EXPECT_EQ(h.device.writes, (std::vector<std::uint32_t>{kFullBuffer, kLayer3StereoBytes}));
    EXPECT_FALSE(h.device.IsPaused());
    EXPECT_TRUE(h.engine->IsActive());
    EXPECT_EQ(h.Stopped(), 0);

    h.device.PlayHeaders(2);
    EXPECT_EQ(h.engine->DecodeFrames(1), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.device.played.size(), 9u * kLayer3StereoBytes);
    EXPECT_EQ(h.Stopped(), 1);
    EXPECT_FALSE(h.device.IsOpen());
    EXPECT_EQ(h.decoder.closeCount, 1);
    EXPECT_EQ(h.timer.LiveCount(), 0u);
}

TEST(PlaybackEngineTest, EndOfStreamWhilePausedWaitsUntilTheQueuedAudioHasPlayedAfterResume) {
    EngineHarness h;
    h.decoder.Add(20, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    ASSERT_TRUE(h.engine->PauseOutput());

    h.engine->DecodeFrames(30);  // reaches the end of the stream
    EXPECT_EQ(h.device.writes.size(), 3u);
    EXPECT_TRUE(h.device.IsPaused());
    EXPECT_EQ(h.device.PlayHeaders(3), 0);
    h.engine->DecodeFrames(5);
    EXPECT_TRUE(h.engine->IsActive());
    EXPECT_EQ(h.Stopped(), 0);

    ASSERT_TRUE(h.engine->ResumeOutput());
    EXPECT_EQ(h.device.PlayHeaders(3), 3);
    EXPECT_EQ(h.engine->DecodeFrames(1), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.Stopped(), 1);
    EXPECT_EQ(h.device.played.size(), 19u * kLayer3StereoBytes);
}

struct FormatChangeCase {
    const char* name;
    std::vector<ScriptedFrame> change;  // after 20 frames of stereo 44.1 kHz
    int opens;
    int channels;
    int rate;
};

const FormatChangeCase kFormatChanges[] = {
    {"ChannelCountChangeReopens", {{0, 2304, {3, 1, 128, 1, 44100}}}, 2, 1, 44100},
    {"RateChangeAfterResyncReopens",
     {{kStatusResync, 0, kLayer3Stereo}, {0, kLayer3StereoBytes, {3, 1, 128, 2, 48000}}}, 2, 2, 48000},
    {"RateChangeWithoutResyncIsNotChecked", {{0, kLayer3StereoBytes, {3, 1, 128, 2, 48000}}}, 1, 2, 44100},
};

TEST(PlaybackEngineTest, FormatChangeReopensTheDeviceAndDropsTheFrameThatChangedIt) {
    for (const FormatChangeCase& c : kFormatChanges) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.decoder.Add(20, 0, kLayer3StereoBytes, kLayer3Stereo);
        for (const ScriptedFrame& frame : c.change) h.decoder.script.push_back(frame);
        const ScriptedFrame after = c.change.back();
        h.decoder.Add(100, 0, after.bytes, after.info);
        ASSERT_TRUE(h.Open());

        h.engine->DecodeFrames(20 + static_cast<int>(c.change.size()));
        EXPECT_EQ(h.device.openCount, c.opens);
        EXPECT_EQ(h.device.openFormat.channels, c.channels);
        EXPECT_EQ(h.device.openFormat.samplesPerSec, c.rate);
        EXPECT_TRUE(h.engine->IsActive());
        if (c.opens == 1) continue;

        // A fresh pre-roll: held for 48 frames counting the dropped one.
        EXPECT_EQ(h.timer.LiveCount(), 1u);
        h.engine->DecodeFrames(46);
        EXPECT_TRUE(h.device.IsPaused());
        h.engine->DecodeFrames(1);
        EXPECT_FALSE(h.device.IsPaused());
        h.device.PlayHeaders(16);
        ASSERT_FALSE(h.device.played.empty());
        EXPECT_EQ(h.device.played.front(), ScriptedDecoder::PatternOf(20 + static_cast<int>(c.change.size()) + 1));
        EXPECT_EQ(h.device.played.size(), 47u * static_cast<std::size_t>(after.bytes));
    }
}

TEST(PlaybackEngineTest, ResyncWithTwoOrFewerBuffersQueuedHoldsTheDeviceForANewPreroll) {
    struct Case {
        int queued;
        bool rebuffers;
    };
    for (const Case c : {Case{2, true}, Case{0, true}, Case{3, false}}) {
        SCOPED_TRACE(c.queued);
        EngineHarness h;
        h.decoder.Add(48, 0, kLayer3StereoBytes, kLayer3Stereo);
        h.decoder.script.push_back({kStatusResync, 0, kLayer3Stereo});
        h.decoder.Add(100, 0, kLayer3StereoBytes, kLayer3Stereo);
        ASSERT_TRUE(h.Open());
        h.engine->DecodeFrames(48);
        ASSERT_FALSE(h.device.IsPaused());
        h.device.PlayHeaders(static_cast<int>(h.device.QueuedHeaders()) - c.queued);
        ASSERT_EQ(h.engine->QueuedBuffers(), c.queued);

        h.engine->DecodeFrames(2);  // the resync and a frame of the same format
        EXPECT_EQ(h.device.openCount, 1);
        EXPECT_EQ(h.device.IsPaused(), c.rebuffers);
        if (!c.rebuffers) continue;
        h.engine->DecodeFrames(46);
        EXPECT_TRUE(h.device.IsPaused());
        h.engine->DecodeFrames(1);
        EXPECT_FALSE(h.device.IsPaused());
    }
}

TEST(PlaybackEngineTest, ReconnectingIsNoErrorAndAudioThatReturnsToADryRingBuffersAgain) {
    EngineHarness h;
    h.decoder.Add(50, 0, kLayer3StereoBytes, kLayer3Stereo);
    // The decoder says so at every call while it reconnects.
    h.decoder.Add(5, kStatusReconnecting, 0, kLayer3Stereo);
    h.decoder.Add(100, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    h.engine->DecodeFrames(50);
    ASSERT_FALSE(h.device.IsPaused());
    const std::size_t submitted = h.device.writes.size();

    for (int i = 0; i < 5; ++i) EXPECT_EQ(h.engine->DecodeFrames(1), PlaybackEngine::kDecodeMore);
    EXPECT_TRUE(h.engine->IsReconnecting());
    EXPECT_TRUE(h.engine->IsActive());
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.Stopped(), 0);
    EXPECT_EQ(h.device.writes.size(), submitted + 1) << "what was decoded is handed over, once";
    h.device.PlayHeaders(16);  // the ring runs dry meanwhile

    h.engine->DecodeFrames(1);
    EXPECT_FALSE(h.engine->IsReconnecting()) << "audio flows again";
    EXPECT_TRUE(h.device.IsPaused()) << "held for a fresh pre-roll";
    h.engine->DecodeFrames(46);
    EXPECT_TRUE(h.device.IsPaused());
    h.engine->DecodeFrames(1);
    EXPECT_FALSE(h.device.IsPaused());
}

TEST(PlaybackEngineTest, ReconnectingDuringThePrerollNeitherShortensItNorStartsTheDevice) {
    EngineHarness h;
    h.decoder.Add(10, 0, kLayer3StereoBytes, kLayer3Stereo);
    h.decoder.Add(60, kStatusReconnecting, 0, kLayer3Stereo);
    h.decoder.Add(100, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    h.engine->DecodeFrames(70);
    EXPECT_TRUE(h.device.IsPaused());
    EXPECT_EQ(std::count(h.device.calls.begin(), h.device.calls.end(), "restart"), 0);

    // The first frame back starts a whole pre-roll again.
    h.engine->DecodeFrames(47);
    EXPECT_TRUE(h.device.IsPaused());
    h.engine->DecodeFrames(1);
    EXPECT_FALSE(h.device.IsPaused());

    h.decoder.script.push_front({kStatusReconnecting, 0, kLayer3Stereo});
    h.engine->DecodeFrames(1);
    ASSERT_TRUE(h.engine->IsReconnecting());
    EXPECT_TRUE(h.engine->StopStream());
    EXPECT_FALSE(h.engine->IsReconnecting());
    EXPECT_EQ(h.Stopped(), 1);
}

TEST(PlaybackEngineTest, FrameOfLayerMinusOneAfterAResyncStopsTheStreamSilently) {
    EngineHarness h;
    h.decoder.Add(10, 0, kLayer3StereoBytes, kLayer3Stereo);
    h.decoder.script.push_back({kStatusResync, 0, kLayer3Stereo});
    h.decoder.script.push_back({0, kLayer3StereoBytes, {-1, 1, 128, 2, 44100}});
    ASSERT_TRUE(h.Open());

    EXPECT_EQ(h.engine->DecodeFrames(20), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.decoder.getFrameCount, 12);
    EXPECT_FALSE(h.engine->IsActive());
    EXPECT_FALSE(h.device.IsOpen());
    EXPECT_EQ(h.Stopped(), 1);
    EXPECT_TRUE(h.messages.empty());
}

TEST(PlaybackEngineTest, PlaybackStoppedIsPostedExactlyOncePerActiveStream) {
    EngineHarness h;
    ASSERT_TRUE(h.Open());
    EXPECT_TRUE(h.engine->StopStream());
    EXPECT_FALSE(h.engine->StopStream());
    EXPECT_EQ(h.Stopped(), 1);

    // Opening over an active stream stops it first.
    ASSERT_TRUE(h.Open());
    ASSERT_TRUE(h.Open());
    EXPECT_EQ(h.Stopped(), 2);

    // End of stream, then more ticks.
    EXPECT_EQ(h.engine->DecodeFrames(3), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.engine->DecodeFrames(3), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.Stopped(), 3);

    // Destroying the engine stops what plays.
    ASSERT_TRUE(h.Open());
    h.engine.reset();
    EXPECT_EQ(h.Stopped(), 4);
    for (const auto& m : h.owner.Posted()) {
        EXPECT_EQ(m.message, UM_PLAYBACK_STOPPED);
        EXPECT_EQ(m.wParam, 0u);
        EXPECT_EQ(m.lParam, 0);
    }
}

TEST(PlaybackEngineTest, StopArrivingWhileTheDecoderOpensWinsOverTheOpen) {
    EngineHarness h;
    h.decoder.onOpen = [&h] { h.engine->StopStream(); };
    EXPECT_FALSE(h.Open());
    EXPECT_EQ(h.Stopped(), 1);
    EXPECT_FALSE(h.engine->IsActive());
    EXPECT_EQ(h.decoder.CommandCount(DecoderCommand::StartSource), 0);
    EXPECT_GE(h.decoder.closeCount, 1);
    EXPECT_EQ(h.timer.LiveCount(), 0u);
    EXPECT_TRUE(h.messages.empty());
}
}  // namespace
