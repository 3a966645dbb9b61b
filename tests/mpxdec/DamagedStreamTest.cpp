// Real-world damage that must not stop a track: a file of one frame, a
// damaged region in the middle, a sampling rate that changes mid-stream.
// Each case starts from a generated fixture (tools/make_fixtures.sh).

#include <gtest/gtest.h>

#include <random>

#include "engine/Decoder.h"
#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/ReferenceDecode.h"
#include "tests/mpxdec/TestFiles.h"

namespace {

using mpxtest::Fixture;
using mpxtest::WriteFile;

class MpxdecDamagedStream : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(decoder.Init(), 0u); }
    void TearDown() override
    {
        decoder.Close();
        decoder.Done();
    }
    MpxDecoder decoder;
};

std::vector<std::uint8_t> Junk(std::size_t n, bool zeros)
{
    std::mt19937 random(777);
    std::vector<std::uint8_t> bytes(n, 0);
    if (!zeros) {
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
    }
    return bytes;
}

TEST_F(MpxdecDamagedStream, AFileOfExactlyOneFramePlaysThatFrame)
{
    for (const char* name : {"l3_one_frame.mp3", "l2_one_frame.mp2"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> frame = mpxtest::ReadFile(Fixture(name));
        // Alone, after a small tag, and before an ID3v1 tag.
        std::vector<std::uint8_t> tagged = mpxtest::Id3v2Tag("One Frame", 200);
        tagged.insert(tagged.end(), frame.begin(), frame.end());
        std::vector<std::uint8_t> withV1 = frame;
        std::string v1 = "TAG" + std::string("Old Title");
        v1.resize(128, '\0');
        withV1.insert(withV1.end(), v1.begin(), v1.end());
        for (const auto& bytes : {frame, tagged, withV1}) {
            ASSERT_EQ(decoder.Open(WriteFile("one.mp3", bytes), 0, 0, 0, 0), 0u);
            mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
            EXPECT_EQ(run.last, kStatusEndOfStream);
            ASSERT_EQ(run.frames.size(), 1u);
            EXPECT_EQ(run.frameBytes[0], 4608) << "1152 stereo samples at 16 bits";
            EXPECT_EQ(run.frames[0].frequency, 44100);
            decoder.Close();
        }
    }
    // One frame's worth of random bytes is still not MPEG audio.
    EXPECT_TRUE(IsError(decoder.Open(WriteFile("junk.mp3", Junk(417, false)), 0, 0, 0, 0)));
}

TEST_F(MpxdecDamagedStream, DamageInTheMiddleIsSkippedAndTheTrackPlaysOn)
{
    const std::string source = Fixture("l3_mpeg1_44k_stereo_5s.mp3");
    const std::vector<std::uint8_t> good = mpxtest::ReadFile(source);
    const std::size_t reference = mpxtest::ReferenceDecode(source, 0, 0, 0).size();
    struct Case {
        std::size_t size;
        bool zeros;
        bool overwrite;  // damaged bytes in place, or bytes put in
    };
    const Case cases[] = {{500, true, false},      {1100, true, false},   {1100, false, true},
                          {16 * 1024, true, true}, {300 * 1024, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.size << (c.zeros ? " zero" : " junk")
                                          << (c.overwrite ? " bytes over audio" : " bytes put in"));
        std::vector<std::uint8_t> bytes = good;
        std::vector<std::uint8_t> junk = Junk(c.size, c.zeros);
        const std::size_t at = good.size() / 3 + 123;
        if (c.overwrite) {
            std::copy(junk.begin(), junk.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
        } else {
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), junk.begin(), junk.end());
        }
        ASSERT_EQ(decoder.Open(WriteFile("damaged.mp3", bytes), 0, 0, 0, 0), 0u);
        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
        EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
        // What the damage covers is lost, and the frames around it; the rest plays.
        const std::size_t lost = c.overwrite ? c.size * 12 + 8 * 4608 : 8 * 4608;
        EXPECT_GT(run.pcm.size() + lost, reference);
        decoder.Close();
    }
}

TEST_F(MpxdecDamagedStream, AFileThatNeverRecoversEndsAsAnOrdinaryEnd)
{
    std::vector<std::uint8_t> bytes = mpxtest::ReadFile(Fixture("l3_mpeg1_44k_stereo.mp3"));
    bytes.resize(bytes.size() / 2);
    std::vector<std::uint8_t> junk = Junk(200 * 1024, false);
    bytes.insert(bytes.end(), junk.begin(), junk.end());
    ASSERT_EQ(decoder.Open(WriteFile("rotten.mp3", bytes), 0, 0, 0, 0), 0u);
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
    EXPECT_GT(run.frames.size(), 5u);
}

TEST_F(MpxdecDamagedStream, ASampleRateChangeIsAnnouncedAndEachPartComesAtItsOwnDividedRate)
{
    struct Case {
        const char* name;
        int first, second;  // coded rates
    };
    const Case cases[] = {{"l3_44k_then_22k.mp3", 44100, 22050},
                          {"l3_22k_then_44k.mp3", 22050, 44100},
                          {"l3_44k_then_11k.mp3", 44100, 11025}};
    for (const Case& c : cases) {
        for (int quality : {0, 1, 2}) {
            SCOPED_TRACE(::testing::Message() << c.name << " quality " << quality);
            ASSERT_EQ(decoder.Open(Fixture(c.name), quality, 0, 0, 0), 0u);
            ::testing::internal::CaptureStderr();
            mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
            EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "nothing printed behind the player's back";
            EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
            EXPECT_EQ(std::count(run.otherStatuses.begin(), run.otherStatuses.end(), kStatusResync), 1);
            std::size_t changeAt = 0;
            while (changeAt < run.frames.size() && run.frames[changeAt].frequency == c.first) {
                ++changeAt;
            }
            EXPECT_GT(changeAt, 5u);
            ASSERT_LT(changeAt + 5, run.frames.size());
            for (std::size_t i = 0; i < run.frames.size(); ++i) {
                const int rate = i < changeAt ? c.first : c.second;
                const int samples = rate == 44100 ? 1152 : 576;
                ASSERT_EQ(run.frames[i].frequency, rate) << "frame " << i;
                ASSERT_EQ(run.frameBytes[i], (samples >> quality) * 4) << "frame " << i;
            }
            decoder.Close();
        }
    }
}

}  // namespace
