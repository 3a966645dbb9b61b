// The decode tick: how much it decodes per timer period and when it stops,
// and the timer callback that posts it.

#include <gtest/gtest.h>

#include "tests/engine/EngineHarness.h"

namespace {
struct BudgetCase {
    const char* name;
    int ticks;          // periods counted since the last tick
    std::uint32_t msPerDecode;
    int decoded;        // GetFrame calls the tick makes
    int reports;
};

const BudgetCase kBudgets[] = {
    // 10 frames take 70 ms; single frames follow while under 100 ms: at 70, 77, 84, 91 and 98.
    {"SingleFramesFillTheBudget", 1, 7, 15, 6},
    // Missed periods are made up in the first batch even past the budget.
    {"FirstBatchIsTenFramesPerPeriod", 3, 7, 30, 1},
    {"SlowBatchLeavesNoBudget", 1, 30, 10, 1},
    // A frozen clock: only the full ring ends the tick (1 dropped + 127 heard frames).
    {"FullRingEndsTheTick", 1, 0, 128, 1 + 118 + 1},
};

TEST(DecodeTickTest, DecodesTenFramesPerPeriodThenSingleFramesWithinOneHundredMilliseconds) {
    for (const BudgetCase& c : kBudgets) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.decoder.Add(1000, 0, kLayer3StereoBytes, kLayer3Stereo);
        h.decoder.onGetFrame = [&h, &c] { h.clock.now += c.msPerDecode; };
        ASSERT_TRUE(h.Open());
        TickCounter = c.ticks;

        h.engine->DecodeTick();
        EXPECT_EQ(h.decoder.getFrameCount, c.decoded);
        EXPECT_EQ(h.reports, c.reports);
        EXPECT_EQ(TickCounter.load(), 0);
    }
}

TEST(DecodeTickTest, TickThatFindsTheCurrentBufferQueuedStopsAtOnce) {
    EngineHarness h;
    h.decoder.Add(1000, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    TickCounter = 1;
    h.engine->DecodeTick();
    ASSERT_EQ(h.engine->QueuedBuffers(), 16);
    const int calls = h.decoder.getFrameCount;

    TickCounter = 5;
    h.engine->DecodeTick();
    EXPECT_EQ(h.decoder.getFrameCount, calls);
}

TEST(DecodeTickTest, TickEndsWhenTheDecoderHasNoFrameToGive) {
    struct Case {
        const char* name;
        DecoderStatus status;
    };
    for (const Case c : {Case{"EndOfStreamWithAudioQueued", kStatusEndOfStream},
                         Case{"NoDataYet", kStatusNoFrame1}}) {
        SCOPED_TRACE(c.name);
        EngineHarness h;
        h.clock.stepPerRead = 1;
        h.decoder.Add(10, 0, kLayer3StereoBytes, kLayer3Stereo);
        h.decoder.afterScript = c.status;
        ASSERT_TRUE(h.Open());
        TickCounter = 1;
        h.engine->DecodeTick();
        EXPECT_EQ(h.decoder.getFrameCount, 11);
        EXPECT_TRUE(h.engine->IsActive());
    }
}

TEST(DecodeTickTest, TimerPostsOneTickUntilTheTickHasRun) {
    EngineHarness h;
    h.decoder.Add(1000, 0, kLayer3StereoBytes, kLayer3Stereo);
    ASSERT_TRUE(h.Open());
    h.clock.now = 1234;

    h.timer.Fire();
    h.timer.Fire();
    h.timer.Fire();
    auto posted = h.owner.TakePosted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, UM_DECODE_TICK);
    EXPECT_EQ(posted[0].wParam, 0u);
    EXPECT_EQ(posted[0].lParam, 1234);
    EXPECT_EQ(TickCounter.load(), 3);

    h.engine->DecodeTick();
    EXPECT_EQ(TickCounter.load(), 0);
    h.timer.Fire();
    EXPECT_EQ(h.owner.TakePosted().size(), 1u);
}
}  // namespace
