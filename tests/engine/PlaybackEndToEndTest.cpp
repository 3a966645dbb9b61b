// A generated file played through the real decoder library, the engine, the
// real thread timer and SDL's disk driver: the bytes that reach the driver are
// exactly a plain libmpg123 decode of the file, less the opening frame that
// only tells the format.

#include <gtest/gtest.h>
#include <mpg123.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/Decoder.h"
#include "engine/PlaybackEngine.h"
#include "engine/PlayerMessages.h"
#include "platform/framework/MessageBox.h"
#include "platform/mmtimer/SteadyClock.h"
#include "platform/mmtimer/ThreadTimer.h"
#include "platform/waveout/SdlWaveOut.h"
#include "tests/fakes/ForwardingWaveOut.h"
#include "tests/fakes/QueuedMessageTarget.h"
#include "tests/support/TestEnvironment.h"

namespace {
using namespace std::chrono_literals;

// The whole file through a plain libmpg123 loop in large blocks, with the
// output settings the decoder library maps the player's settings to.
std::vector<std::uint8_t> ReferenceDecode(const std::string& path, int quality, int resolution, int downmix) {
    std::vector<std::uint8_t> pcm;
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) return pcm;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | (downmix ? MPG123_MONO_MIX : 0), 0);
    mpg123_param(handle, MPG123_DOWN_SAMPLE, quality, 0);
    mpg123_format_none(handle);
    mpg123_format2(handle, 0, MPG123_MONO | MPG123_STEREO, resolution ? MPG123_ENC_UNSIGNED_8 : MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        std::vector<unsigned char> block(256 * 1024);
        int rc = MPG123_OK;
        while (rc == MPG123_OK || rc == MPG123_NEW_FORMAT) {
            std::size_t done = 0;
            rc = mpg123_read(handle, block.data(), block.size(), &done);
            pcm.insert(pcm.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(done));
        }
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return pcm;
}

// PCM bytes of the first frame the decoder library gives for the file; -1 when it gives none.
int FirstFrameBytes(Decoder& decoder, const std::string& path, int quality, int resolution, int downmix) {
    if (decoder.Open(path, quality, resolution, downmix, 0) != 0 ||
        decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr) != 0)
        return -1;
    std::vector<std::uint8_t> frame(2 * OutputBuffer::kLargestFrameBytes);
    int bytes = -1;
    for (int call = 0; call < 1000 && bytes < 0; ++call) {
        std::int32_t given = 0;
        FrameInfo info{};
        const DecoderStatus status = decoder.GetFrame(frame.data(), &given, &info);
        if (status == 0) bytes = given;
        if (status == kStatusEndOfStream || IsError(status)) break;
    }
    decoder.Close();
    return bytes;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The driver writes silence while the device is held and after the last
// buffer; the expected bytes must appear once, aligned on their own first
// non-silent byte, with nothing but silence around them.
::testing::AssertionResult IsSilenceAround(const std::vector<std::uint8_t>& played,
                                           const std::vector<std::uint8_t>& expected, std::uint8_t silence) {
    std::size_t firstPlayed = 0;
    while (firstPlayed < played.size() && played[firstPlayed] == silence) ++firstPlayed;
    std::size_t firstExpected = 0;
    while (firstExpected < expected.size() && expected[firstExpected] == silence) ++firstExpected;
    if (firstPlayed < firstExpected || firstPlayed == played.size())
        return ::testing::AssertionFailure() << "no audio where expected";
    const std::size_t start = firstPlayed - firstExpected;
    if (played.size() - start < expected.size())
        return ::testing::AssertionFailure() << "played " << played.size() - start << " bytes of " << expected.size();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (played[start + i] != expected[i])
            return ::testing::AssertionFailure() << "first difference at byte " << i << " of " << expected.size();
    }
    for (std::size_t i = start + expected.size(); i < played.size(); ++i) {
        if (played[i] != silence) return ::testing::AssertionFailure() << "extra audio after the stream";
    }
    return ::testing::AssertionSuccess();
}

struct EndToEndCase {
    const char* name;
    int quality, resolution, downmix;
};

class PlaybackEndToEndTest : public ::testing::TestWithParam<EndToEndCase> {
protected:
    static void SetUpTestSuite() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        // About four times real time: quick, yet the driver never outruns the
        // ticks that refill the ring, so no silence is played mid-stream.
        setenv("SDL_DISKAUDIODELAY", "5", 1);
        MpxDecoder().Init();
    }
    static void TearDownTestSuite() { MpxDecoder().Done(); }
};

TEST_P(PlaybackEndToEndTest, DriverReceivesTheReferenceDecodeLessTheOpeningFrame) {
    const EndToEndCase& c = GetParam();
    const std::string file = testenv::FixturesDir() + "/l3_mpeg1_44k_stereo_5s.mp3";
    const std::string capture = testenv::Home() + "/" + c.name + ".raw";
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);  // read by SDL at each device open

    MpxDecoder decoder;
    const int firstFrameBytes = FirstFrameBytes(decoder, file, c.quality, c.resolution, c.downmix);
    ASSERT_GE(firstFrameBytes, 0);
    const std::vector<std::uint8_t> reference = ReferenceDecode(file, c.quality, c.resolution, c.downmix);
    ASSERT_GT(reference.size(), static_cast<std::size_t>(firstFrameBytes));
    const std::vector<std::uint8_t> expected(reference.begin() + firstFrameBytes, reference.end());

    std::vector<std::string> messages;
    SetMessageBoxHandler([&messages](const std::string& text, MessageBoxIcon) {
        messages.push_back(text);
        return IDOK;
    });
    QueuedMessageTarget owner;
    SdlWaveOut device;
    ThreadTimer timer;
    SteadyClock clock;
    bool stopped = false;
    {
        PlaybackEngine engine(owner, decoder, device, timer, clock, {});
        ASSERT_TRUE(engine.OpenStream(file, c.quality, c.resolution, c.downmix, 0));
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!stopped && std::chrono::steady_clock::now() < deadline) {
            UINT message = 0;
            if (!owner.Wait(&message, 200ms)) continue;
            if (message == UM_DECODE_TICK) engine.DecodeTick();
            stopped = message == UM_PLAYBACK_STOPPED;
        }
    }
    SetMessageBoxHandler({});
    ASSERT_TRUE(stopped);
    EXPECT_TRUE(messages.empty());

    const std::uint8_t silence = c.resolution == 1 ? 0x80 : 0x00;
    EXPECT_TRUE(IsSilenceAround(ReadFile(capture), expected, silence));
}

const EndToEndCase kCases[] = {
    {"Stereo16Bit", 0, 0, 0},
    {"HalfRateEightBitMono", 1, 1, 1},
};

INSTANTIATE_TEST_SUITE_P(Formats, PlaybackEndToEndTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });
}  // namespace

namespace {

// The real device, with the rate of every open noted.
class RateLog : public ForwardingWaveOut {
public:
    RateLog() : ForwardingWaveOut(std::make_unique<SdlWaveOut>()) {}
    bool Open(const PcmFormat& format, std::string* errorText) override {
        rates.push_back(format.samplesPerSec);
        return ForwardingWaveOut::Open(format, errorText);
    }
    std::vector<int> rates;
};

TEST(PlaybackRateChangeTest, TheDeviceFollowsASampleRateChangeAtEveryQuality) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    setenv("SDL_DISKAUDIOFILE", (testenv::Home() + "/rates.raw").c_str(), 1);
    MpxDecoder decoder;
    ASSERT_EQ(decoder.Init(), 0u);
    struct Case {
        const char* file;
        int first, second;
    };
    const Case cases[] = {{"l3_44k_then_22k.mp3", 44100, 22050},
                          {"l3_22k_then_44k.mp3", 22050, 44100},
                          {"l3_44k_then_11k.mp3", 44100, 11025}};
    for (const Case& c : cases) {
        for (int quality : {0, 1, 2}) {
            SCOPED_TRACE(::testing::Message() << c.file << " quality " << quality);
            std::vector<std::string> messages;
            SetMessageBoxHandler([&messages](const std::string& text, MessageBoxIcon) {
                messages.push_back(text);
                return IDOK;
            });
            QueuedMessageTarget owner;
            RateLog device;
            ThreadTimer timer;
            SteadyClock clock;
            bool stopped = false;
            {
                PlaybackEngine engine(owner, decoder, device, timer, clock, {});
                ASSERT_TRUE(engine.OpenStream(testenv::FixturesDir() + "/" + c.file, quality, 0, 0, 0));
                const auto deadline = std::chrono::steady_clock::now() + 30s;
                while (!stopped && std::chrono::steady_clock::now() < deadline) {
                    UINT message = 0;
                    if (!owner.Wait(&message, 200ms)) continue;
                    if (message == UM_DECODE_TICK) engine.DecodeTick();
                    stopped = message == UM_PLAYBACK_STOPPED;
                }
            }
            SetMessageBoxHandler({});
            EXPECT_TRUE(stopped);
            EXPECT_TRUE(messages.empty()) << messages.front();
            EXPECT_EQ(device.rates, (std::vector<int>{c.first >> quality, c.second >> quality}));
        }
    }
    decoder.Done();
}

}  // namespace
