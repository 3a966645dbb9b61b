// Against a real radio station: icecast2 fed by ezstream on 127.0.0.1
// (tests/support/IcecastServer.h), reached directly and through a real
// tinyproxy. The station plays with its titles, a save holds exactly the
// bytes the server sent, and a station that dies is reconnected by itself
// and plays on once it is back.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/support/IcecastServer.h"
#include "tests/support/TinyProxy.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A 128 kbit/s MPEG-1 Layer III frame at 44.1 kHz, padding aside.
constexpr std::size_t kFrameBytes = 417;

class MpxdecIcecast : public mpxtest::NetworkTest {
protected:
    void SetUp() override
    {
        NetworkTest::SetUp();
        // A real server on a loaded machine: room for a slow moment.
        decoder.Command(mpxtest::kOpenTimeoutCommand, 5000, 0, nullptr);
        std::string error;
        ASSERT_TRUE(station.Start(&error)) << error;
    }

    std::string Title()
    {
        char title[256] = {};
        return decoder.Command(DecoderCommand::Title, 0, sizeof title, title) == 0 ? title : "";
    }

    // Plays frames until done() holds (then 0), the stream ends or fails
    // (that status), or the limit passes (kStatusNoFrame1).
    DecoderStatus PlayUntil(const std::function<bool()>& done, std::chrono::seconds limit = 15s)
    {
        const auto deadline = Clock::now() + limit;
        std::uint8_t pcm[mpxtest::kMaxFrameBytes];
        while (Clock::now() < deadline) {
            if (done()) {
                return 0;
            }
            std::int32_t bytes = 0;
            FrameInfo info{};
            DecoderStatus status = decoder.GetFrame(pcm, &bytes, &info);
            lastStatus = status;
            if (status == 0) {
                ++frames;
                asCoded = asCoded && info.layer == 3 && info.version == 1 && info.bitrate == 128 &&
                          info.channels == 2 && info.frequency == 44100;
            } else if (status == kStatusEndOfStream || IsError(status)) {
                return status;
            } else {
                std::this_thread::sleep_for(2ms);
            }
        }
        return kStatusNoFrame1;
    }

    int frames = 0;
    DecoderStatus lastStatus = 0;
    bool asCoded = true;  // every frame as the station's tracks are coded
    testsupport::IcecastServer station;
};

TEST_F(MpxdecIcecast, AStationPlaysWithItsTitlesDirectlyAndThroughAProxy)
{
    testsupport::TinyProxy proxy;
    ASSERT_TRUE(proxy.Running()) << "tinyproxy (package tinyproxy-bin) did not start. " << proxy.Error();
    const auto& titles = station.Titles();
    for (bool viaProxy : {false, true}) {
        SCOPED_TRACE(viaProxy ? "through tinyproxy" : "directly");
        const std::string host = viaProxy ? "127.0.0.1" : "";
        decoder.Command(DecoderCommand::Proxy, reinterpret_cast<std::intptr_t>(host.c_str()),
                        viaProxy ? proxy.Port() : 0, nullptr);
        frames = 0;
        DecoderStatus status = OpenUrl(station.Url());
        ASSERT_EQ(status, kStatusMaySave) << decoder.ErrorText(status) << "\n" << station.Logs();
        EXPECT_EQ(Kind(), 4) << "a station";

        // The first title comes with the first metadata block.
        ASSERT_EQ(PlayUntil([&] { return !Title().empty() && frames >= 20; }), 0u) << station.Logs();
        const std::string first = Title();
        auto current = std::find(titles.begin(), titles.end(), first);
        ASSERT_NE(current, titles.end()) << first;
        const std::string next = titles[static_cast<std::size_t>(current - titles.begin() + 1) % titles.size()];
        // The source moves to its next track within one track's time.
        EXPECT_EQ(PlayUntil([&] { return Title() != first; }), 0u) << station.Logs();
        EXPECT_EQ(Title(), next);
        EXPECT_TRUE(asCoded);

        const auto requests = proxy.Requests();
        const bool forwarded =
            std::find(requests.begin(), requests.end(), "GET " + station.Url() + " HTTP/1.1") != requests.end();
        EXPECT_EQ(forwarded, viaProxy);
        decoder.Close();
    }
}

TEST_F(MpxdecIcecast, ASaveHoldsExactlyTheBytesTheServerSent)
{
    const std::size_t loop = station.FedLoop().size();
    struct Case {
        const char* name;
        int playedBefore;        // frames played before the save is asked for
        std::size_t savedBytes;  // then played until the file holds this much
    };
    // The first save covers more than the source's loop, so its run wraps
    // around the loop's end wherever it starts.
    const Case cases[] = {{"saved from the start", 0, loop * 11 / 10},
                          {"saved from the middle of the play", 50, 16 * 1024}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(OpenUrl(station.Url()), kStatusMaySave);
        frames = 0;
        ASSERT_EQ(PlayUntil([&] { return frames >= c.playedBefore; }), 0u);
        const std::string target = testenv::Home() + "/station-" + std::to_string(c.playedBefore) + ".mp3";
        ASSERT_EQ(decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(target.c_str()), 0,
                                  nullptr),
                  0u);
        std::error_code ignored;
        ASSERT_EQ(PlayUntil([&] { return std::filesystem::file_size(target, ignored) >= c.savedBytes; }), 0u);
        decoder.Close();

        const std::vector<std::uint8_t> saved = mpxtest::ReadFile(target);
        if (c.playedBefore == 0) {
            EXPECT_GE(saved.size(), static_cast<std::size_t>(frames) * kFrameBytes) << "all that played";
        }
        std::string why;
        EXPECT_TRUE(station.IsRunOfFedLoop(saved, &why)) << why;
    }
}

TEST_F(MpxdecIcecast, AStationThatIsKilledReconnectsByItselfOnceRestartedAndItsSaveHoldsWhatEachSent)
{
    decoder.Command(mpxtest::kReconnectPauseCommand, 200, 0, nullptr);
    ASSERT_EQ(OpenUrl(station.Url()), kStatusMaySave);
    const std::string target = testenv::Home() + "/across-restart.mp3";
    ASSERT_EQ(decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(target.c_str()), 0, nullptr),
              0u);
    ASSERT_EQ(PlayUntil([&] { return frames >= 50; }), 0u);
    const int before = frames;

    station.Kill();
    // What had arrived plays, then the library reconnects; while the server
    // is down every attempt is refused, and that is no error.
    ASSERT_EQ(PlayUntil([&] { return lastStatus == kStatusReconnecting; }), 0u) << std::hex << lastStatus;
    EXPECT_EQ(PlayUntil([] { return false; }, 1s), kStatusNoFrame1) << "still reconnecting, not ended";
    EXPECT_EQ(lastStatus, kStatusReconnecting);

    const int port = station.Port();
    std::string error;
    ASSERT_TRUE(station.Restart(&error)) << error;
    EXPECT_EQ(station.Port(), port);
    EXPECT_EQ(PlayUntil([&] { return frames >= before + 50; }), 0u) << "the same open plays on\n" << station.Logs();
    EXPECT_TRUE(asCoded);
    decoder.Close();

    // The file is what the first server sent, then what the restarted one
    // sent: the longest prefix that is a run of the fed loop ends at the seam.
    const std::vector<std::uint8_t> saved = mpxtest::ReadFile(target);
    std::size_t low = 0;
    std::size_t high = saved.size();
    std::string why;
    while (low < high) {
        const std::size_t mid = (low + high + 1) / 2;
        if (station.IsRunOfFedLoop({saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(mid)}, &why)) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    EXPECT_GE(low, static_cast<std::size_t>(before) * kFrameBytes) << "all that played before the kill";
    ASSERT_LT(low + 20 * kFrameBytes, saved.size()) << "the restarted station's bytes follow";
    EXPECT_TRUE(station.IsRunOfFedLoop({saved.begin() + static_cast<std::ptrdiff_t>(low), saved.end()}, &why))
        << why;
}

}  // namespace
