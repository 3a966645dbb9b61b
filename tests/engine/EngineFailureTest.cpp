// Failures of opening and playing a stream, and the messages they show.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/engine/EngineHarness.h"

namespace {
struct OpenCase {
    const char* name;
    DecoderStatus openStatus;
    DecoderStatus startStatus;
    bool hasErrorText;
    LRESULT confirmAnswer;
    bool opens;
    std::optional<std::string> message;
};

const OpenCase kOpenCases[] = {
    {"OpenErrorShowsTheLibraryText", 0xC1000005, 0, true, 1, false,
     "Unable to play track.mp3\ndecoder error text"},
    {"OpenErrorWithoutLibraryText", 0xC1000005, 0, false, 1, false, "Unable to play track.mp3\n"},
    {"StartErrorShowsTheLibraryText", 0, 0xC1000007, true, 1, false, "Unable to play track.mp3\ndecoder error text"},
    {"ConditionNotShownFailsSilently", 0x81000002, 0, true, 1, false, std::nullopt},
    {"StreamNotConfirmedFailsSilently", 0, kStatusMaySave, true, 0, false, std::nullopt},
    {"ConfirmedStreamOpens", 0, kStatusMaySave, true, 1, true, std::nullopt},
    {"InformationStatusOpens", 0x41000009, 0, true, 1, true, std::nullopt},
};

TEST(EngineFailureTest, OpenStreamFailsByTheStatusClassAndTheOwnersAnswer) {
    for (const OpenCase& c : kOpenCases) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.decoder.openStatus = c.openStatus;
        h.decoder.startStatus = c.startStatus;
        h.decoder.hasErrorText = c.hasErrorText;
        h.owner.sendAnswer = c.confirmAnswer;

        // The location outlives the open so that the confirmation's text can be read after it.
        const std::string location = "track.mp3";
        EXPECT_EQ(h.engine->OpenStream(location, 0, 0, 0, 0), c.opens);
        EXPECT_EQ(h.engine->IsActive(), c.opens);
        EXPECT_EQ(h.decoder.closeCount, c.opens ? 0 : 1);
        EXPECT_EQ(h.timer.LiveCount(), c.opens ? 1u : 0u);
        EXPECT_EQ(h.Stopped(), 0);
        if (c.message) {
            EXPECT_EQ(h.messages, std::vector<std::string>{*c.message});
            EXPECT_EQ(h.engine->PlayType(), 0);
        } else {
            EXPECT_TRUE(h.messages.empty());
        }
        if (c.startStatus == kStatusMaySave) {
            ASSERT_EQ(h.owner.sent.size(), 1u);
            EXPECT_EQ(h.owner.sent[0].message, UM_CONFIRM_STREAM);
            EXPECT_EQ(h.owner.sent[0].wParam, 1u);
            EXPECT_STREQ(reinterpret_cast<const char*>(h.owner.sent[0].lParam), "track.mp3");
        } else {
            EXPECT_TRUE(h.owner.sent.empty());
        }
    }
}

TEST(EngineFailureTest, TimerThatCannotBeCreatedAtOpenFailsTheOpen) {
    EngineHarness h;
    h.timer.failSetEvent = true;
    EXPECT_FALSE(h.Open());
    EXPECT_EQ(h.messages, std::vector<std::string>{"Requested Windows Resource is not available (Multimedia-Timer)"});
    EXPECT_FALSE(h.engine->IsActive());
    EXPECT_EQ(h.decoder.closeCount, 1);
    EXPECT_EQ(h.Stopped(), 0);
}

TEST(EngineFailureTest, TimerThatCannotBeCreatedForTheFrameRateStopsTheStream) {
    EngineHarness h;
    h.decoder.Add(5, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    h.timer.failSetEvent = true;
    EXPECT_EQ(h.engine->DecodeFrames(5), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.messages, std::vector<std::string>{"Requested Windows Resource is not available (Multimedia-Timer)"});
    EXPECT_FALSE(h.device.IsOpen());
    EXPECT_EQ(h.Stopped(), 1);
}

TEST(EngineFailureTest, DeviceThatCannotBeOpenedShowsItsTextAndStopsTheStream) {
    EngineHarness h;
    h.device.failOpen = true;
    h.device.openErrorText = "No audio device is available";
    h.decoder.Add(5, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    EXPECT_EQ(h.engine->DecodeFrames(5), PlaybackEngine::kDecodeInactive);
    EXPECT_EQ(h.messages, std::vector<std::string>{"No audio device is available"});
    EXPECT_EQ(h.timer.LiveCount(), 0u);
    EXPECT_EQ(h.Stopped(), 1);
}

TEST(EngineFailureTest, DecodeErrorShowsTheLibraryTextAndStopsTheStream) {
    struct Case {
        bool hasErrorText;
        const char* message;
    };
    for (const Case c : {Case{true, "Brelune3: Error while decoding!\ndecoder error text"},
                         Case{false, "Brelune3: Error while decoding!\n"}}) {
        SCOPED_TRACE(c.message);
        EngineHarness h;
        h.decoder.hasErrorText = c.hasErrorText;
        h.decoder.Add(20, 0, kLayer3StereoBytes, kLayer3Stereo);
        h.decoder.script.push_back({0xC1010101, 0, kLayer3Stereo});
        ASSERT_TRUE(h.Open());
        EXPECT_EQ(h.engine->DecodeFrames(30), PlaybackEngine::kDecodeInactive);
        EXPECT_EQ(h.messages, std::vector<std::string>{c.message});
        ASSERT_EQ(h.decoder.CommandCount(DecoderCommand::ErrorText), 1);
        for (const auto& call : h.decoder.commands) {
            if (call.code != DecoderCommand::ErrorText) continue;
            EXPECT_EQ(call.p1, 0xC1010101);
            EXPECT_EQ(call.p2, 256);
        }
        EXPECT_FALSE(h.device.IsOpen());
        EXPECT_EQ(h.Stopped(), 1);
    }
}
}  // namespace
