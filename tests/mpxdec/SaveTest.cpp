// Saving a stream: the file holds the stream's own bytes (ICY metadata
// taken out), whether it plays meanwhile or not, and a save that fails
// says so through the next frame's status.

#include <gtest/gtest.h>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/mpxdec/ReferenceDecode.h"

namespace {

using mpxtest::TestHttpServer;

class MpxdecSave : public mpxtest::NetworkTest {
protected:
    DecoderStatus SaveTo(const std::string& path)
    {
        return decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(path.c_str()), 0, nullptr);
    }
};

TEST_F(MpxdecSave, PlayingAndSavingWritesTheStreamsOwnBytes)
{
    server.Route("/plain", TestHttpServer::File(song));
    server.Route("/slow", mpxtest::SlowFile(song));
    server.Route("/icy", mpxtest::IcyStation(song));
    const std::vector<std::uint8_t> reference = mpxtest::ReferenceDecode(songPath, 0, 0, 0);
    for (const char* path : {"/plain", "/slow", "/icy"}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(OpenUrl(server.Url(path)), kStatusMaySave);
        // As the player does: the file is named after the stream has started.
        const std::string target = testenv::Home() + "/saved.mp3";
        ASSERT_EQ(SaveTo(target), 0u);
        // A station's close is a drop it reconnects after; the save ends with the stream.
        const bool station = std::string(path) == "/icy";
        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder, std::chrono::seconds(10), station);
        EXPECT_EQ(run.last, station ? kStatusReconnecting : kStatusEndOfStream) << decoder.ErrorText(run.last);
        EXPECT_TRUE(run.pcm == reference);
        decoder.Close();
        EXPECT_TRUE(mpxtest::ReadFile(target) == song) << "metadata blocks are not part of the saved file";
    }
}

TEST_F(MpxdecSave, SavingWithoutPlayingGivesNoAudioAndEndsWhenTheFileIsComplete)
{
    server.Route("/slow", mpxtest::SlowFile(song));
    ASSERT_EQ(OpenUrl(server.Url("/slow")), kStatusMaySave);
    const std::string target = testenv::Home() + "/only.mp3";
    EXPECT_EQ(decoder.Command(DecoderCommand::SaveOnly, 0, 0, nullptr), 0u);
    ASSERT_EQ(SaveTo(target), 0u);
    mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
    EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
    EXPECT_TRUE(run.frames.empty());
    run.otherStatuses.pop_back();
    for (DecoderStatus status : run.otherStatuses) {
        ASSERT_EQ(status, mpxtest::kStatusNoAudio);
    }
    EXPECT_TRUE(mpxtest::ReadFile(target) == song);
}

TEST_F(MpxdecSave, ASaveThatFailsSaysSo)
{
    server.Route("/slow", mpxtest::SlowFile(song));
    struct Case {
        std::string target;
        const char* text;
    };
    const Case cases[] = {
        {testenv::Home() + "/no-such-folder/a.mp3", "Cannot save to"},
        {"/dev/full", "No space left on device"},  // a disk that is full
    };
    for (bool saveOnly : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.target + (saveOnly ? " while only saving" : " while playing"));
            ASSERT_EQ(OpenUrl(server.Url("/slow")), kStatusMaySave);
            if (saveOnly) {
                decoder.Command(DecoderCommand::SaveOnly, 0, 0, nullptr);
            }
            SaveTo(c.target);
            mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
            ASSERT_TRUE(IsError(run.last)) << std::hex << run.last;
            EXPECT_NE(decoder.ErrorText(run.last).find(c.text), std::string::npos) << decoder.ErrorText(run.last);
            decoder.Close();
        }
    }
}

}  // namespace
