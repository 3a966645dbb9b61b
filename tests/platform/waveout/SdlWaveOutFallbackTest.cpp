// A driver that cannot play must leave the player running on SDL's dummy
// driver. FALLBACK_DRIVER and FALLBACK_FILE pick the failing driver; SDL
// reads them at its first start, so each choice is its own test program.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "tests/platform/waveout/WaveOutTestSupport.h"

using namespace waveouttest;

TEST(SdlWaveOutFallbackTest, OpenFallsBackToTheDummyDriverAndPlays) {
    setenv("SDL_AUDIODRIVER", FALLBACK_DRIVER, 1);
    setenv("SDL_DISKAUDIOFILE", FALLBACK_FILE, 1);
    auto device = CreateSdlWaveOut();
    std::string error;
    ASSERT_TRUE(device->Open(MakeFormat(2, 44100, 16), &error)) << error;
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
    auto blocks = MakeBlocks({17640});
    PrepareAndWrite(*device, blocks);
    EXPECT_TRUE(WaitUntil([&] { return AllDone(blocks); }, std::chrono::milliseconds(2000)));
    EXPECT_EQ(device->PositionBytes(), 17640u);

    // The process stays on the dummy driver: the next device opens there.
    device->Close();
    auto next = CreateSdlWaveOut();
    EXPECT_TRUE(next->Open(MakeFormat(1, 8000, 8), &error)) << error;
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
}
