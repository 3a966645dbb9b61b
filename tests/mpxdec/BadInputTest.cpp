// Files that are not what they claim give a defined status and a clear
// text, never a crash or a hang; damaged but real audio plays what it holds.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <random>

#include "engine/Decoder.h"
#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/ReferenceDecode.h"
#include "tests/mpxdec/TestFiles.h"

namespace {

using mpxtest::Fixture;
using mpxtest::WriteFile;

class MpxdecBadInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(decoder.Init(), 0u); }
    void TearDown() override
    {
        decoder.Close();
        decoder.Done();
    }
    MpxDecoder decoder;
};

std::vector<std::uint8_t> RandomBytes(std::size_t n)
{
    std::mt19937 random(20240611);
    std::vector<std::uint8_t> bytes(n);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

struct RejectedFile {
    const char* name;
    std::function<std::string()> make;
    const char* text;
};

TEST_F(MpxdecBadInput, FilesThatAreNotMpegAudioFailToOpenWithAClearText)
{
    const RejectedFile cases[] = {
        {"missing file", [] { return testenv::Home() + "/no-such-file.mp3"; }, "No such file"},
        {"directory",
         [] {
             std::string dir = testenv::Home() + "/folder.mp3";
             mkdir(dir.c_str(), 0700);
             return dir;
         },
         "folder"},
        {"named pipe",
         [] {
             std::string fifo = testenv::Home() + "/pipe.mp3";
             mkfifo(fifo.c_str(), 0600);
             return fifo;
         },
         "not a regular file"},
        {"zero length", [] { return WriteFile("empty.mp3", {}); }, "empty"},
        {"random bytes", [] { return WriteFile("random.mp3", RandomBytes(200000)); }, "Not MPEG audio"},
        {"html page",
         [] {
             std::string page = "<html><body>404 Not Found</body></html>\n";
             return WriteFile("page.mp3", {page.begin(), page.end()});
         },
         "Not MPEG audio"},
        // A tag header that claims 256 MB in a file of a few bytes.
        {"tag larger than the file",
         [] { return WriteFile("liar.mp3", {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 'x'}); },
         "Not MPEG audio"},
    };
    for (const RejectedFile& c : cases) {
        SCOPED_TRACE(c.name);
        DecoderStatus status = decoder.Open(c.make(), 0, 0, 0, 0);
        EXPECT_TRUE(IsError(status)) << std::hex << status;
        EXPECT_NE(decoder.ErrorText(status).find(c.text), std::string::npos) << decoder.ErrorText(status);
        decoder.Close();
        std::int32_t bytes = -1;
        FrameInfo info{};
        std::uint8_t pcm[mpxtest::kMaxFrameBytes];
        EXPECT_TRUE(IsError(decoder.GetFrame(pcm, &bytes, &info))) << "no stream after a failed open";
        EXPECT_EQ(bytes, 0);
    }
}

TEST_F(MpxdecBadInput, ATruncatedFilePlaysItsWholeFramesAndThenEnds)
{
    std::vector<std::uint8_t> full = mpxtest::ReadFile(Fixture("l3_mpeg1_44k_stereo.mp3"));
    // Cut in the middle of a frame.
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(full.size() * 6 / 10 + 77));
    const std::string path = WriteFile("truncated.mp3", cut);
    ASSERT_EQ(decoder.Open(path, 0, 0, 0, 0), 0u);
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream);
    std::vector<std::uint8_t> whole = mpxtest::ReferenceDecode(Fixture("l3_mpeg1_44k_stereo.mp3"), 0, 0, 0);
    ASSERT_GT(run.pcm.size(), whole.size() / 3);
    ASSERT_LT(run.pcm.size(), whole.size());
    EXPECT_TRUE(std::equal(run.pcm.begin(), run.pcm.end(), whole.begin())) << "what plays is the file's start";
}

TEST_F(MpxdecBadInput, AHugeId3TagIsSkippedAndItsTitleRead)
{
    std::vector<std::uint8_t> bytes = mpxtest::Id3v2Tag("Huge Tag Title", 8 * 1024 * 1024);
    std::vector<std::uint8_t> audio = mpxtest::ReadFile(Fixture("l3_mpeg1_48k_vbr_id3v1.mp3"));
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    const std::string path = WriteFile("huge-tag.mp3", bytes);

    ASSERT_EQ(decoder.Open(path, 0, 0, 0, 0), 0u) << decoder.ErrorText(0xC1010012);
    char title[128] = {};
    EXPECT_EQ(decoder.Command(DecoderCommand::Title, 0, 125, title), 0u);
    EXPECT_STREQ(title, "Huge Tag Title") << "the ID3v2 title wins over the ID3v1 one";
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream);
    EXPECT_TRUE(run.pcm == mpxtest::ReferenceDecode(Fixture("l3_mpeg1_48k_vbr_id3v1.mp3"), 0, 0, 0));
}

}  // namespace
