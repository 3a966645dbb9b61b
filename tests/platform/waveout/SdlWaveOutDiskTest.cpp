// The real SDL path into SDL's disk driver, which writes every byte the
// device plays into a file, as fast as it can.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "tests/platform/waveout/WaveOutTestSupport.h"
#include "tests/support/TestEnvironment.h"

using namespace waveouttest;

namespace {
struct DiskCase {
    const char* name;
    int channels;
    int rate;
    int bits;
    std::vector<std::size_t> lengths;  // whole sample frames, spanning several periods
};

void PrintTo(const DiskCase& c, std::ostream* out) { *out << c.name; }

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The driver writes silence before the first and after the last queued byte.
std::vector<std::uint8_t> TrimSilence(std::vector<std::uint8_t> bytes, std::uint8_t silence) {
    std::size_t first = 0;
    while (first < bytes.size() && bytes[first] == silence) ++first;
    std::size_t end = bytes.size();
    while (end > first && bytes[end - 1] == silence) --end;
    return {bytes.begin() + first, bytes.begin() + end};
}

class SdlWaveOutDiskTest : public ::testing::TestWithParam<DiskCase> {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
    }
};
}  // namespace

TEST_P(SdlWaveOutDiskTest, QueuedHeadersReachTheDriverByteExactAndInOrder) {
    const DiskCase& c = GetParam();
    const std::string capture = testenv::Home() + "/" + c.name + ".raw";
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);  // read by SDL at each open

    auto device = CreateSdlWaveOut();
    const PcmFormat format = MakeFormat(c.channels, c.rate, c.bits);
    std::string error;
    ASSERT_TRUE(device->Open(format, &error)) << error;
    device->Pause();
    std::vector<std::size_t> byteLengths;
    for (std::size_t frames : c.lengths) byteLengths.push_back(frames * format.blockAlign);
    auto blocks = MakeBlocks(byteLengths);
    PrepareAndWrite(*device, blocks);
    device->Restart();

    ASSERT_TRUE(WaitUntil([&] { return AllDone(blocks); }, std::chrono::seconds(5)));
    std::vector<std::uint8_t> expected;
    for (const auto& block : blocks) {
        EXPECT_EQ(block->header.flags.load() & WHDR_INQUEUE, 0u);
        expected.insert(expected.end(), block->bytes.begin(), block->bytes.end());
    }
    EXPECT_EQ(device->PositionBytes(), expected.size());
    device->Close();

    const std::uint8_t silence = c.bits == 8 ? 0x80 : 0x00;
    const std::vector<std::uint8_t> played = TrimSilence(ReadFile(capture), silence);
    ASSERT_EQ(played.size(), expected.size());
    EXPECT_TRUE(played == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SdlWaveOutDiskTest,
    ::testing::Values(DiskCase{"Stereo16Bit44100", 2, 44100, 16, {9216, 0, 1, 3000, 2048, 12345}},
                      DiskCase{"Mono8Bit11025", 1, 11025, 8, {4608, 7, 256, 9000}}),
    [](const ::testing::TestParamInfo<DiskCase>& info) { return std::string(info.param.name); });
