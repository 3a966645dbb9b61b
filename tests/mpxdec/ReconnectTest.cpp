// A stream whose connection is lost after it started playing: a station
// connects again by itself with growing pauses and plays on under its new
// title, a file of known length resumes where it stopped, a save carries on
// into the same file, and a close during a pause returns at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "tests/mpxdec/DecodeLoop.h"
#include "tests/mpxdec/NetworkTest.h"
#include "tests/mpxdec/ReferenceDecode.h"

namespace {

using mpxtest::HttpConnection;
using mpxtest::TestHttpServer;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr DecoderStatus kStatusNotFound = 0xC1010020;

void SendStation(HttpConnection& c, const Bytes& audio, const std::string& title, std::size_t interval)
{
    c.Send("ICY 200 OK\r\nicy-name: Test Radio\r\nicy-metaint: " + std::to_string(interval) +
           "\r\ncontent-type: audio/mpeg\r\n\r\n");
    const Bytes body = mpxtest::WithIcyMetadata(audio, title, interval);
    c.Send(body.data(), body.size());
}

std::string FileHead(std::size_t length)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: audio/mpeg\r\nContent-Length: " + std::to_string(length) + "\r\n\r\n";
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t to)
{
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to));
}

std::size_t Count(const std::vector<DecoderStatus>& statuses, DecoderStatus status)
{
    return static_cast<std::size_t>(std::count(statuses.begin(), statuses.end(), status));
}

class MpxdecReconnect : public mpxtest::NetworkTest {
protected:
    DecoderStatus SaveTo(const std::string& path)
    {
        return decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(path.c_str()), 0, nullptr);
    }
    std::string Title()
    {
        char title[128] = {};
        decoder.Command(DecoderCommand::Title, 0, 125, title);
        return title;
    }
    std::int32_t TagChanges()
    {
        std::int32_t changes = -1;
        decoder.Command(DecoderCommand::TagChanges, 0, 0, &changes);
        return changes;
    }

    // Layer II frames without an encoder's header, as a station sends them.
    const std::string stationPath = mpxtest::Fixture("l2_mpeg1_44k_stereo.mp2");
    const Bytes station = mpxtest::ReadFile(stationPath);
};

TEST_F(MpxdecReconnect, AStationThatDropsOrStallsReconnectsAndPlaysOnUnderItsNewTitle)
{
    decoder.Command(mpxtest::kReconnectPauseCommand, 50, 0, nullptr);
    // Cut inside a frame, and taken up again elsewhere, as a station would.
    const Bytes first = Slice(station, 0, station.size() * 6 / 10);
    const Bytes second = Slice(station, station.size() * 3 / 10, station.size());
    const std::size_t pcmInBoth = mpxtest::ReferenceDecode(mpxtest::WriteFile("first.mp2", first), 0, 0, 0).size() +
                                  mpxtest::ReferenceDecode(mpxtest::WriteFile("second.mp2", second), 0, 0, 0).size();
    const std::size_t framesInBoth = pcmInBoth / mpxtest::kMaxFrameBytes;
    for (bool stall : {false, true}) {
        SCOPED_TRACE(stall ? "the connection stalls" : "the server goes down for a while");
        const std::string path = stall ? "/stalls" : "/drops";
        auto connections = std::make_shared<std::atomic<int>>(0);
        server.Route(path, [&, stall, connections](HttpConnection& c) {
            const int n = (*connections)++;
            if (n == 0) {
                SendStation(c, first, "Song One", mpxtest::kIcyInterval);
                if (stall) {
                    c.Pause(10s);
                    return;
                }
                server.StopListening();
                c.Close();
                c.Pause(300ms);
                server.ResumeListening();
            } else if (n == 1) {
                // Another metadata interval: the new connection's own counts.
                SendStation(c, second, "Song Two", 700);
            } else {
                c.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
            }
        });
        const std::size_t requestsBefore = server.Requests().size();
        ASSERT_EQ(OpenUrl(server.Url(path)), kStatusMaySave);
        EXPECT_EQ(Kind(), 4);
        const std::string target = testenv::Home() + "/station.mp2";
        ASSERT_EQ(SaveTo(target), 0u);

        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
        // The second connection plays to its end, and once that server only
        // says 404 the station ends with that answer.
        ASSERT_EQ(run.last, kStatusNotFound) << decoder.ErrorText(run.last);
        EXPECT_NE(decoder.ErrorText(run.last).find("HTTP 404 Not Found"), std::string::npos);
        EXPECT_GT(Count(run.otherStatuses, kStatusReconnecting), 0u);
        for (std::size_t i = 0; i + 1 < run.otherStatuses.size(); ++i) {
            EXPECT_EQ(StatusClass(run.otherStatuses[i]), 2u) << "nothing but the last status is an error";
        }
        EXPECT_GE(run.frames.size() + 3, framesInBoth) << "both connections play, less a frame or two at the seam";
        EXPECT_FALSE(run.wroteBeyondFrame);
        EXPECT_EQ(Title(), "Song Two");
        EXPECT_EQ(TagChanges(), 2);
        EXPECT_EQ(Kind(), 4);

        const std::vector<mpxtest::SeenRequest> requests = server.Requests();
        ASSERT_GE(requests.size(), requestsBefore + 2);
        const mpxtest::SeenRequest& again = requests[requestsBefore + 1];
        EXPECT_EQ(again.headers.count("range"), 0u) << "a station goes on from where it is now";
        EXPECT_EQ(again.headers.at("icy-metadata"), "1");
        EXPECT_EQ(again.headers.at("user-agent"), "Brelune3");

        decoder.Close();
        Bytes both = first;
        both.insert(both.end(), second.begin(), second.end());
        EXPECT_TRUE(mpxtest::ReadFile(target) == both) << "the save goes on with the new connection's audio";
    }
}

TEST_F(MpxdecReconnect, PausesGrowToTheirLongestAndACloseDuringOneReturnsAtOnce)
{
    decoder.Command(mpxtest::kReconnectPauseCommand, 20, 0, nullptr);
    std::atomic<int> connections{0};
    server.Route("/live", [&](HttpConnection& c) {
        if (connections++ == 0) {
            SendStation(c, station, "Song One", mpxtest::kIcyInterval);
            return;
        }
        // A server that cannot serve now is asked again without end.
        c.Send("HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
    });
    ASSERT_EQ(OpenUrl(server.Url("/live")), kStatusMaySave);

    // The pauses before the second to seventh attempts: doubling from 20 ms,
    // then no longer than 30 times the first.
    const int pauses[] = {40, 80, 160, 320, 600, 600};
    const std::size_t wanted = 2 + std::size(pauses);
    std::vector<DecoderStatus> statuses;
    auto deadline = Clock::now() + 10s;
    while (server.Requests().size() < wanted && Clock::now() < deadline) {
        Bytes pcm(mpxtest::kMaxFrameBytes);
        std::int32_t bytes = 0;
        FrameInfo info{};
        DecoderStatus status = decoder.GetFrame(pcm.data(), &bytes, &info);
        if (status != 0) {
            statuses.push_back(status);
        }
        std::this_thread::sleep_for(2ms);
    }
    const std::vector<mpxtest::SeenRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), wanted);
    for (DecoderStatus status : statuses) {
        ASSERT_EQ(StatusClass(status), 2u) << std::hex << status;
    }
    EXPECT_GT(Count(statuses, kStatusReconnecting), 0u);
    for (std::size_t i = 0; i < std::size(pauses); ++i) {
        auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(requests[i + 2].at - requests[i + 1].at);
        SCOPED_TRACE("pause " + std::to_string(i + 2) + ": " + std::to_string(gap.count()) + " ms");
        EXPECT_GE(gap.count(), pauses[i]);
        // Generous for a loaded machine, yet below the next doubling.
        EXPECT_LT(gap.count(), pauses[i] + 350);
    }

    std::this_thread::sleep_for(100ms);
    auto closing = Clock::now();
    decoder.Close();
    EXPECT_LT(Clock::now() - closing, 100ms) << "the close does not wait for the pause to end";
    std::this_thread::sleep_for(650ms);
    EXPECT_EQ(server.Requests().size(), wanted) << "no attempt after the close";
}

TEST_F(MpxdecReconnect, AFileThatDropsResumesWhereItStoppedAndItsSaveHoldsEveryByteOnce)
{
    decoder.Command(mpxtest::kReconnectPauseCommand, 50, 0, nullptr);
    const std::size_t cut = song.size() * 4 / 10;
    enum class Loss { Drop, Stall };
    enum class Answer { Range, Whole, Changed, Gone };
    struct Case {
        const char* name;
        Loss loss;
        Answer answer;
        const char* error;  // nullptr: the whole file plays
    };
    const Case cases[] = {
        {"dropped, resumed by a range", Loss::Drop, Answer::Range, nullptr},
        {"stalled, resumed by a range", Loss::Stall, Answer::Range, nullptr},
        {"dropped, and the server sends the whole file again", Loss::Drop, Answer::Whole, nullptr},
        {"dropped, and the file has changed", Loss::Drop, Answer::Changed, "The file changed on the server"},
        {"dropped, and the file is gone", Loss::Drop, Answer::Gone, "HTTP 404 Not Found"},
    };
    const Bytes reference = mpxtest::ReferenceDecode(songPath, 0, 0, 0);
    const auto& song = this->song;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::string path = "/file" + std::to_string(i);
        auto connections = std::make_shared<std::atomic<int>>(0);
        server.Route(path, [&song, cut, c, connections](HttpConnection& h) {
            if ((*connections)++ == 0) {
                h.Send(FileHead(song.size()));
                h.Send(song.data(), cut);
                if (c.loss == Loss::Stall) {
                    h.Pause(10s);
                }
                return;
            }
            const auto range = h.Request().headers.find("range");
            std::size_t from = range == h.Request().headers.end() ? 0 : std::stoul(range->second.substr(6));
            switch (c.answer) {
            case Answer::Range:
                h.Send("HTTP/1.1 206 Partial Content\r\nContent-Type: audio/mpeg\r\nContent-Range: bytes " +
                       std::to_string(from) + "-" + std::to_string(song.size() - 1) + "/" +
                       std::to_string(song.size()) + "\r\nContent-Length: " + std::to_string(song.size() - from) +
                       "\r\n\r\n");
                h.Send(song.data() + from, song.size() - from);
                break;
            case Answer::Whole:
                h.Send(FileHead(song.size()));
                h.Send(song.data(), song.size());
                break;
            case Answer::Changed:
                h.Send(FileHead(song.size() + 1000));
                h.Send(song.data(), song.size());
                break;
            case Answer::Gone:
                h.Send("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
                break;
            }
        });
        const std::size_t requestsBefore = server.Requests().size();
        ASSERT_EQ(OpenUrl(server.Url(path)), kStatusMaySave);
        const std::string target = testenv::Home() + "/file.mp3";
        ASSERT_EQ(SaveTo(target), 0u);

        mpxtest::DecodeRun run = mpxtest::DecodeAll(decoder);
        EXPECT_GT(Count(run.otherStatuses, kStatusReconnecting), 0u);
        if (c.error == nullptr) {
            EXPECT_EQ(run.last, kStatusEndOfStream) << decoder.ErrorText(run.last);
            ASSERT_EQ(run.pcm.size(), reference.size());
            EXPECT_TRUE(run.pcm == reference) << "nothing played twice, nothing left out";
        } else {
            ASSERT_TRUE(IsError(run.last)) << std::hex << run.last;
            EXPECT_NE(decoder.ErrorText(run.last).find(c.error), std::string::npos) << decoder.ErrorText(run.last);
            EXPECT_GT(run.frames.size(), 5u) << "what arrived plays";
        }
        EXPECT_EQ(Kind(), 2) << "a range answer does not change what the stream is";
        std::int32_t length = 0;
        EXPECT_EQ(decoder.Command(DecoderCommand::InputLength, 0, 0, &length), 0u);
        EXPECT_EQ(length, static_cast<std::int32_t>(song.size()));

        const std::vector<mpxtest::SeenRequest> requests = server.Requests();
        ASSERT_GE(requests.size(), requestsBefore + 2);
        const auto& again = requests[requestsBefore + 1].headers;
        ASSERT_EQ(again.count("range"), 1u);
        EXPECT_EQ(again.at("range"), "bytes=" + std::to_string(cut) + "-");

        decoder.Close();
        EXPECT_TRUE(mpxtest::ReadFile(target) == (c.error == nullptr ? song : Slice(song, 0, cut)))
            << "the saved file holds each byte of the file once";
    }
}

}  // namespace
