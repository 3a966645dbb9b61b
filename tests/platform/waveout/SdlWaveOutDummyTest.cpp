// The real SDL path into SDL's dummy driver, which consumes audio in real
// time and plays nothing.
#include <gtest/gtest.h>

#include <string>

#include "tests/platform/waveout/WaveOutTestSupport.h"

using namespace waveouttest;
using std::chrono::milliseconds;

TEST(SdlWaveOutDummyTest, PositionAdvancesInRealTimeAndStandsStillWhilePaused) {
    auto device = CreateSdlWaveOut();
    const PcmFormat format = MakeFormat(2, 44100, 16);
    std::string error;
    ASSERT_TRUE(device->Open(format, &error)) << error;
    auto blocks = MakeBlocks({static_cast<std::size_t>(format.avgBytesPerSec) * 7 / 10});
    const std::uint64_t total = blocks[0]->bytes.size();
    PrepareAndWrite(*device, blocks);

    std::this_thread::sleep_for(milliseconds(250));
    device->Pause();
    std::this_thread::sleep_for(milliseconds(60));  // a period that had begun still ends
    const std::uint64_t held = device->PositionBytes();
    EXPECT_GT(held, 0u);
    EXPECT_LT(held, total);
    EXPECT_EQ(held % format.blockAlign, 0u);
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(device->PositionBytes(), held);
    EXPECT_FALSE(blocks[0]->Done());

    device->Restart();
    ASSERT_TRUE(WaitUntil([&] { return AllDone(blocks); }, milliseconds(3000)));
    EXPECT_EQ(device->PositionBytes(), total);
    device->Close();
}

TEST(SdlWaveOutDummyTest, ResetReturnsEveryQueuedHeaderDoneAndKeepsThePause) {
    auto device = CreateSdlWaveOut();
    std::string error;
    ASSERT_TRUE(device->Open(MakeFormat(2, 48000, 16), &error)) << error;
    device->Pause();
    auto blocks = MakeBlocks({4096, 4096, 4096, 4096});
    PrepareAndWrite(*device, blocks);
    std::this_thread::sleep_for(milliseconds(100));
    for (const auto& block : blocks) EXPECT_FALSE(block->Done());

    device->Reset();
    for (const auto& block : blocks) {
        EXPECT_TRUE(block->Done());
        EXPECT_EQ(block->header.flags.load() & WHDR_INQUEUE, 0u);
        EXPECT_NE(block->header.flags.load() & WHDR_PREPARED, 0u);
    }
    EXPECT_EQ(device->PositionBytes(), 0u);

    auto later = MakeBlocks({4096});
    PrepareAndWrite(*device, later);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_FALSE(later[0]->Done()) << "reset must not restart a paused device";
    device->Restart();
    EXPECT_TRUE(WaitUntil([&] { return AllDone(later); }, milliseconds(2000)));
    device->Close();
}

TEST(SdlWaveOutDummyTest, CloseReturnsQueuedHeadersAndIsSafeWhenClosed) {
    auto device = CreateSdlWaveOut();
    device->Close();
    std::string error;
    ASSERT_TRUE(device->Open(MakeFormat(1, 22050, 8), &error)) << error;
    EXPECT_TRUE(device->IsOpen());
    EXPECT_FALSE(device->Open(MakeFormat(1, 22050, 8), &error));
    EXPECT_FALSE(error.empty());
    device->Pause();
    auto blocks = MakeBlocks({22050, 22050});
    PrepareAndWrite(*device, blocks);
    device->Close();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_TRUE(AllDone(blocks));
    device->Close();

    ASSERT_TRUE(device->Open(MakeFormat(2, 32000, 16), &error)) << error;
    EXPECT_EQ(device->PositionBytes(), 0u);
}

TEST(SdlWaveOutDummyTest, WriteRefusesHeadersItCannotQueue) {
    auto device = CreateSdlWaveOut();
    auto blocks = MakeBlocks({1024});
    WaveHeader& header = blocks[0]->header;
    device->Prepare(&header);
    header.flags.fetch_and(~WHDR_DONE);
    EXPECT_FALSE(device->Write(&header)) << "device not open";

    std::string error;
    ASSERT_TRUE(device->Open(MakeFormat(2, 44100, 16), &error)) << error;
    device->Pause();
    EXPECT_FALSE(device->Write(nullptr));
    device->Unprepare(&header);
    EXPECT_FALSE(device->Write(&header)) << "not prepared";
    device->Prepare(&header);
    ASSERT_TRUE(device->Write(&header));
    EXPECT_FALSE(device->Write(&header)) << "already queued";
    device->Unprepare(&header);
    EXPECT_NE(header.flags.load() & WHDR_PREPARED, 0u) << "a queued header stays prepared";
    device->Close();
    EXPECT_TRUE(blocks[0]->Done());
}

TEST(SdlWaveOutDummyTest, OpenRejectsFormatsItCannotPlayWithAReason) {
    struct BadFormat {
        const char* what;
        PcmFormat format;
    };
    PcmFormat wrongAlign = MakeFormat(2, 44100, 16);
    wrongAlign.blockAlign = 2;
    PcmFormat wrongRate = MakeFormat(2, 44100, 16);
    wrongRate.avgBytesPerSec = 44100;
    const BadFormat cases[] = {
        {"no channels", MakeFormat(0, 44100, 16)},  {"three channels", MakeFormat(3, 44100, 16)},
        {"12-bit samples", MakeFormat(2, 44100, 12)}, {"24-bit samples", MakeFormat(2, 44100, 24)},
        {"zero rate", MakeFormat(2, 0, 16)},          {"negative rate", MakeFormat(1, -8000, 8)},
        {"block alignment", wrongAlign},              {"byte rate", wrongRate},
        {"all zero", PcmFormat{}},
    };
    for (const BadFormat& c : cases) {
        auto device = CreateSdlWaveOut();
        std::string error;
        EXPECT_FALSE(device->Open(c.format, &error)) << c.what;
        EXPECT_FALSE(device->IsOpen()) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        device->Close();
    }
}

// SDL's own close sleeps through two more periods; ours hands that to another
// thread, and the next open either takes the waiting device back (same
// format) or closes it first (another format, as the dummy holds one device).
TEST(SdlWaveOutDummyTest, CloseReturnsAtOnceAndTheNextOpenPlaysInAnyFormat) {
    struct Reopen {
        const char* what;
        PcmFormat next;
    };
    const PcmFormat first = MakeFormat(2, 44100, 16);
    const Reopen cases[] = {{"same format", first}, {"other format", MakeFormat(1, 22050, 8)}};
    for (const Reopen& c : cases) {
        auto device = CreateSdlWaveOut();
        std::string error;
        ASSERT_TRUE(device->Open(first, &error)) << error;
        auto playing = MakeBlocks({static_cast<std::size_t>(first.avgBytesPerSec)});
        PrepareAndWrite(*device, playing);
        std::this_thread::sleep_for(milliseconds(150));

        const auto closeStart = std::chrono::steady_clock::now();
        device->Close();
        EXPECT_LT(std::chrono::steady_clock::now() - closeStart, milliseconds(40)) << c.what;
        EXPECT_TRUE(AllDone(playing)) << c.what;

        ASSERT_TRUE(device->Open(c.next, &error)) << c.what << ": " << error;
        EXPECT_EQ(device->PositionBytes(), 0u) << c.what;
        auto next = MakeBlocks({static_cast<std::size_t>(c.next.avgBytesPerSec) / 4});
        PrepareAndWrite(*device, next);
        EXPECT_TRUE(WaitUntil([&] { return AllDone(next); }, milliseconds(2000))) << c.what;
        EXPECT_EQ(device->PositionBytes(), next[0]->bytes.size()) << c.what;
        device->Close();
    }
}

// A closed device must not call back into an object that is gone.
TEST(SdlWaveOutDummyTest, DestroyingAPlayingDeviceLeavesNothingRunningIntoIt) {
    auto blocks = MakeBlocks({44100 * 4});
    {
        auto device = CreateSdlWaveOut();
        std::string error;
        ASSERT_TRUE(device->Open(MakeFormat(2, 44100, 16), &error)) << error;
        PrepareAndWrite(*device, blocks);
        std::this_thread::sleep_for(milliseconds(120));
    }
    EXPECT_TRUE(AllDone(blocks));
    const std::uint32_t flags = blocks[0]->header.flags.load();
    std::this_thread::sleep_for(milliseconds(300));  // several periods of the parked device
    EXPECT_EQ(blocks[0]->header.flags.load(), flags);
}
