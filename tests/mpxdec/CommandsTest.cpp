// The command table on local files: version, lifecycle, error texts, tags,
// source facts, offsets and lengths, and the misuses a caller can make.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "engine/Decoder.h"
#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/ReferenceDecode.h"
#include "tests/mpxdec/TestFiles.h"
#include "tests/support/TaggedCopy.h"
#include "tests/support/TestEnvironment.h"

namespace {

using mpxtest::Fixture;

class MpxdecCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(decoder.Init(), 0u); }
    void TearDown() override
    {
        decoder.Close();
        decoder.Done();
    }
    std::int32_t Int(std::uint32_t code, DecoderStatus expected = 0)
    {
        std::int32_t value = -12345;
        EXPECT_EQ(decoder.Command(code, 0, 0, &value), expected) << std::hex << code;
        return value;
    }
    MpxDecoder decoder;
};

TEST(MpxdecLifecycle, InitVersionAndDoneFollowTheirContract)
{
    MpxDecoder decoder;
    DecoderStatus early = decoder.Open(Fixture("l2_mpeg1_44k_stereo.mp2"), 0, 0, 0, 0);
    EXPECT_TRUE(IsError(early));
    EXPECT_NE(decoder.ErrorText(early).find("not initialised"), std::string::npos);
    // Every call that needs a stream says the same before mpegInit, not "no stream".
    std::uint8_t pcm[mpxtest::kMaxFrameBytes];
    std::int32_t bytes = -1;
    FrameInfo info{};
    EXPECT_EQ(decoder.GetFrame(pcm, &bytes, &info), 0xC1010001u);
    EXPECT_EQ(decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr), 0xC1010001u);
    std::int32_t kind = 0;
    EXPECT_EQ(decoder.Command(DecoderCommand::SourceKind, 0, 0, &kind), 0xC1010001u);

    ASSERT_EQ(decoder.Init(), 0u);
    EXPECT_EQ(decoder.Init(), 0u) << "a second init is harmless";
    std::uint32_t version = 0;
    EXPECT_EQ(decoder.Command(DecoderCommand::VersionCheck, kDecoderVersion, 0, &version), 0u);
    EXPECT_EQ(version, kDecoderVersion);
    version = 0;
    EXPECT_TRUE(IsError(decoder.Command(DecoderCommand::VersionCheck, 0x01000000, 0, &version)));
    EXPECT_EQ(version, kDecoderVersion) << "the caller compares what is stored";

    EXPECT_EQ(decoder.Done(), 0u);
    EXPECT_TRUE(IsError(decoder.Done()));
}

TEST_F(MpxdecCommands, ErrorTextsAreCutToTheBufferAtACharacterBoundary)
{
    DecoderStatus status = decoder.Open(testenv::Home() + "/missing.mp3", 0, 0, 0, 0);
    ASSERT_TRUE(IsError(status));
    EXPECT_EQ(decoder.ErrorText(status), "No such file");
    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(decoder.Command(DecoderCommand::ErrorText, status, 5, small), 0u);
    EXPECT_STREQ(small, "No s");
    EXPECT_EQ(small[5], 'x') << "nothing written past the size given";
    EXPECT_EQ(decoder.ErrorText(0), "") << "success has no error text";

    // "Grüße" in ISO 8859-1; the library hands out UTF-8.
    std::vector<std::uint8_t> bytes = mpxtest::Id3v2Tag("Gr\xFC\xDF" "e", 64);
    std::vector<std::uint8_t> audio = mpxtest::ReadFile(Fixture("l2_mpeg1_44k_stereo.mp2"));
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    ASSERT_EQ(decoder.Open(mpxtest::WriteFile("umlaut.mp2", bytes), 0, 0, 0, 0), 0u);
    char title[128];
    ASSERT_EQ(decoder.Command(DecoderCommand::Title, 0, 125, title), 0u);
    EXPECT_STREQ(title, "Gr\xC3\xBC\xC3\x9F" "e");
    ASSERT_EQ(decoder.Command(DecoderCommand::Title, 0, 4, title), 0u);
    EXPECT_STREQ(title, "Gr") << "the u-umlaut's two bytes do not fit, so neither is stored";
}

TEST_F(MpxdecCommands, TagsComeFromId3v2AndThenId3v1)
{
    struct TagCase {
        const char* file;
        const char* title;
        const char* artist;
        const char* author;
        const char* composer;
    };
    const TagCase cases[] = {
        {"l3_mpeg1_44k_stereo.mp3", "Tone Title", "Tone Artist", "Tone Author", "Tone Composer"},
        {"l3_mpeg1_48k_vbr_id3v1.mp3", "Old Title", "Old Artist", nullptr, nullptr},
        {"l2_mpeg1_44k_stereo.mp2", nullptr, nullptr, nullptr, nullptr},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(decoder.Open(Fixture(c.file), 0, 0, 0, 0), 0u);
        const std::pair<std::uint32_t, const char*> fields[] = {{DecoderCommand::Title, c.title},
                                                               {DecoderCommand::Artist, c.artist},
                                                               {DecoderCommand::Author, c.author},
                                                               {DecoderCommand::Composer, c.composer}};
        for (const auto& [code, expected] : fields) {
            char text[128] = "unchanged";
            DecoderStatus status = decoder.Command(code, 0, 125, text);
            if (expected != nullptr) {
                EXPECT_EQ(status, 0u) << std::hex << code;
                EXPECT_STREQ(text, expected);
            } else {
                EXPECT_NE(status, 0u) << std::hex << code;
                EXPECT_FALSE(IsError(status)) << "a missing tag is no error to show";
                EXPECT_STREQ(text, "unchanged");
            }
        }
        decoder.Close();
    }
}

TEST_F(MpxdecCommands, TheAlbumComesFromEitherTag)
{
    using testsupport::TagKind;
    for (const TagKind kind : {TagKind::Id3v2, TagKind::Id3v1}) {
        const std::string copy = testenv::Home() + "/album.mp2";
        ASSERT_TRUE(testsupport::WriteTaggedCopy(Fixture("l2_mpeg1_44k_stereo.mp2"), copy,
                                                 {"A Title", "", "The Album"}, kind));
        ASSERT_EQ(decoder.Open(copy, 0, 0, 0, 0), 0u);
        char text[128] = "unchanged";
        EXPECT_EQ(decoder.Command(DecoderCommand::Album, 0, 125, text), 0u);
        EXPECT_STREQ(text, "The Album");
        EXPECT_EQ(decoder.Command(DecoderCommand::Artist, 0, 125, text), 0x81010110u) << "no artist given";
        decoder.Close();
    }
}

TEST_F(MpxdecCommands, AFileReportsItsKindLengthAndHowFarItWasRead)
{
    const std::string path = Fixture("l3_mpeg1_44k_stereo.mp3");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    ASSERT_EQ(decoder.Open(path, 0, 0, 0, 0), 0u);
    EXPECT_EQ(decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr), 0u) << "a file may not be saved";
    EXPECT_EQ(Int(DecoderCommand::SourceKind), 1);
    EXPECT_EQ(Int(DecoderCommand::InputLength), st.st_size);
    std::int32_t before = Int(DecoderCommand::InputPosition);
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    std::int32_t after = Int(DecoderCommand::InputPosition);
    EXPECT_LT(before, after);
    EXPECT_GE(after, st.st_size * 9 / 10);
    EXPECT_LE(after, st.st_size);
}

TEST_F(MpxdecCommands, OffsetAndLengthSelectWholeFramesInEveryUnit)
{
    // Layer II has no encoder delay, so frame k is exactly PCM bytes
    // [k * 4608, (k + 1) * 4608) of the reference.
    const std::string path = Fixture("l2_mpeg1_44k_stereo.mp2");
    const std::vector<std::uint8_t> reference = mpxtest::ReferenceDecode(path, 0, 0, 0);
    constexpr std::size_t kFrameBytes = 4608;
    constexpr int kFrames = 23;
    constexpr int kCodedFrameBytes = 627;  // 192 kbit/s at 44.1 kHz
    struct Case {
        const char* name;
        std::intptr_t offset, offsetUnit, length, lengthUnit;
        int firstFrame, frameCount;
    };
    const Case cases[] = {
        {"frames", 5, 2, 10, 2, 5, 10},
        {"bytes", 5 * kCodedFrameBytes, 0, 10 * kCodedFrameBytes, 0, 5, 10},
        {"offset only", 20, 2, 0, 2, 20, kFrames - 20},
        {"length longer than the file", 0, 2, 1000, 2, 0, kFrames},
        {"offset beyond the end", 1, 1, 0, 1, kFrames, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(decoder.Open(path, 0, 0, 0, 0), 0u);
        if (c.offset > 0) {
            decoder.Command(DecoderCommand::StartOffset, c.offset, c.offsetUnit, nullptr);
        }
        if (c.length > 0) {
            EXPECT_EQ(decoder.Command(DecoderCommand::PlayLength, c.length, c.lengthUnit, nullptr), 0u);
        }
        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
        EXPECT_EQ(run.last, kStatusEndOfStream);
        EXPECT_EQ(run.frames.size(), static_cast<std::size_t>(c.frameCount));
        const auto first = reference.begin() + static_cast<std::ptrdiff_t>(c.firstFrame * kFrameBytes);
        ASSERT_EQ(run.pcm.size(), c.frameCount * kFrameBytes);
        EXPECT_TRUE(std::equal(run.pcm.begin(), run.pcm.end(), first));
        decoder.Close();
    }
    ASSERT_EQ(decoder.Open(path, 0, 0, 0, 0), 0u);
    EXPECT_TRUE(IsError(decoder.Command(DecoderCommand::StartOffset, 1, 7, nullptr))) << "unknown unit";
}

TEST_F(MpxdecCommands, MisusesAreRefusedWithAText)
{
    std::uint8_t pcm[mpxtest::kMaxFrameBytes];
    std::int32_t bytes = -1;
    FrameInfo info{};
    DecoderStatus status = decoder.GetFrame(pcm, &bytes, &info);
    EXPECT_TRUE(IsError(status)) << "no stream is open";
    EXPECT_EQ(bytes, 0);

    status = decoder.Command(0x00777777, 0, 0, nullptr);
    EXPECT_TRUE(IsError(status));
    EXPECT_NE(decoder.ErrorText(status).find("Unknown command"), std::string::npos);

    status = decoder.Open("ftp://127.0.0.1/a.mp3", 0, 0, 0, 0);
    EXPECT_TRUE(IsError(status));
    EXPECT_NE(decoder.ErrorText(status).find("Unsupported location"), std::string::npos);

    EXPECT_TRUE(IsError(decoder.Open(Fixture("l2_mpeg1_44k_stereo.mp2"), 3, 0, 0, 0))) << "quality 0 to 2 only";

    // A playlist entry's file part keeps the blank before its options.
    ASSERT_EQ(decoder.Open(Fixture("l2_mpeg1_44k_stereo.mp2") + " ", 0, 0, 0, 0), 0u);
    const std::string target = testenv::Home() + "/copy.mp2";
    status = decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(target.c_str()), 0, nullptr);
    EXPECT_TRUE(IsError(status));
    EXPECT_NE(decoder.ErrorText(status).find("Only network streams"), std::string::npos);
    EXPECT_NE(decoder.Command(DecoderCommand::InputLength, 0, 0, nullptr), 0u) << "no output to store into";
}

}  // namespace
