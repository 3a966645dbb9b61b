// Every layer and MPEG version, under every output setting, decodes
// sample-exactly: the library's frames joined together equal a plain
// libmpg123 decode of the whole file.

#include <gtest/gtest.h>

#include <string>

#include "engine/Decoder.h"
#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/ReferenceDecode.h"
#include "tests/support/TestEnvironment.h"

namespace {

struct Fixture {
    const char* file;
    int layer;
    int version;
    int channels;
    int frequency;
    int samplesPerFrame;
};

const Fixture kFixtures[] = {
    {"l1_mpeg1_48k_stereo.mp1", 1, 1, 2, 48000, 384},
    {"l1_mpeg2_24k_mono.mp1", 1, 2, 1, 24000, 384},
    {"l2_mpeg1_44k_stereo.mp2", 2, 1, 2, 44100, 1152},
    {"l2_mpeg2_22k_mono.mp2", 2, 2, 1, 22050, 1152},
    {"l3_mpeg1_44k_stereo.mp3", 3, 1, 2, 44100, 1152},
    {"l3_mpeg1_48k_vbr_id3v1.mp3", 3, 1, 2, 48000, 1152},
    {"l3_mpeg2_22k_mono.mp3", 3, 2, 1, 22050, 576},
    {"l3_mpeg25_11k_stereo.mp3", 3, 2, 2, 11025, 576},  // MPEG 2.5 reports version 2
};

struct Output {
    int quality;
    int resolution;
    int downmix;
};

class MpxdecDecodeTable : public ::testing::TestWithParam<Fixture> {
protected:
    void SetUp() override { ASSERT_EQ(decoder.Init(), 0u); }
    void TearDown() override { decoder.Done(); }
    MpxDecoder decoder;
};

TEST_P(MpxdecDecodeTable, EveryOutputSettingMatchesTheReferenceDecodeSampleForSample)
{
    const Fixture& f = GetParam();
    const std::string path = testenv::FixturesDir() + "/" + f.file;
    for (int quality = 0; quality <= 2; ++quality) {
        for (int resolution = 0; resolution <= 1; ++resolution) {
            for (int downmix = 0; downmix <= 1; ++downmix) {
                SCOPED_TRACE("quality " + std::to_string(quality) + " resolution " + std::to_string(resolution) +
                             " downmix " + std::to_string(downmix));
                ASSERT_EQ(decoder.Open(path, quality, resolution, downmix, 0), 0u) << decoder.ErrorText(0xC1010012);
                EXPECT_EQ(decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr), 0u);
                std::int32_t kind = 0;
                EXPECT_EQ(decoder.Command(DecoderCommand::SourceKind, 0, 0, &kind), 0u);
                EXPECT_EQ(kind, 1);

                mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
                EXPECT_EQ(run.last, kStatusEndOfStream);
                EXPECT_EQ(run.otherStatuses.size(), 1u) << "only the end of the stream interrupts a file";
                EXPECT_FALSE(run.wroteBeyondFrame);
                ASSERT_FALSE(run.frames.empty());

                const int outChannels = downmix ? 1 : f.channels;
                const int maxBytes = (f.samplesPerFrame >> quality) * outChannels * (resolution ? 1 : 2);
                for (std::size_t i = 0; i < run.frames.size(); ++i) {
                    const FrameInfo& info = run.frames[i];
                    ASSERT_EQ(info.layer, f.layer);
                    ASSERT_EQ(info.version, f.version);
                    ASSERT_EQ(info.channels, f.channels) << "channels as coded, before any downmix";
                    ASSERT_EQ(info.frequency, f.frequency) << "rate as coded, before any division";
                    ASSERT_GT(info.bitrate, 0);
                    ASSERT_LE(run.frameBytes[i], maxBytes) << "frame " << i << " gave more than one frame";
                }
                // Only the first and last frames may be shorter (gapless trimming):
                // every other one has the full divided rate's samples.
                EXPECT_GE(run.pcm.size() * 100, (run.frames.size() - 2) * maxBytes * 99u);
                std::vector<std::uint8_t> reference = mpxtest::ReferenceDecode(path, quality, resolution, downmix);
                ASSERT_EQ(run.pcm.size(), reference.size());
                EXPECT_TRUE(run.pcm == reference);

                std::int32_t bytes = -1;
                FrameInfo info{};
                std::uint8_t pcm[mpxtest::kMaxFrameBytes];
                EXPECT_EQ(decoder.GetFrame(pcm, &bytes, &info), kStatusEndOfStream) << "the end stays the end";
                EXPECT_EQ(bytes, 0);
                decoder.Close();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayersAndVersions, MpxdecDecodeTable, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
