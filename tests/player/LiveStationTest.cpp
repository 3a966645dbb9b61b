// A station played by the main window through the real decoder and SDL's
// dummy driver, from a server the test runs: when its connection drops the
// window title says it is reconnecting until audio flows again, the Track
// information window follows the station's title, and Stop ends the
// reconnecting at once.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "player/PlayerWnd.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/mpxdec/NetworkTest.h"
#include "ui/TrackInfoDialog.h"

namespace {
using mpxtest::HttpConnection;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

constexpr UINT kMainWindowStyle = 0x00CA0000;
constexpr int kWaitMs = 10000;
constexpr const char* kReconnectingTitle = "Reconnecting...";

void SendStation(HttpConnection& c, const Bytes& audio, const std::string& title) {
    c.Send("ICY 200 OK\r\nicy-name: Test Radio\r\nicy-metaint: " + std::to_string(mpxtest::kIcyInterval) +
           "\r\ncontent-type: audio/mpeg\r\n\r\n");
    const Bytes body = mpxtest::WithIcyMetadata(audio, title);
    c.Send(body.data(), body.size());
}

struct LivePlayer {
    MemorySettingsStore store;
    PlayerWnd* wnd = nullptr;
    mpxtest::TestHttpServer server;
    std::vector<std::string> messages;
    const Bytes song = mpxtest::ReadFile(mpxtest::Fixture("l3_mpeg1_44k_stereo_5s.mp3"));
    // Two seconds of the song, then the rest from a second connection.
    const std::size_t cut = song.size() * 2 / 5;

    LivePlayer() {
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            messages.push_back(text);
            return IDOK;
        });
        MpxDecoder library;
        library.Command(mpxtest::kOpenTimeoutCommand, mpxtest::kOpenTimeoutMs, 0, nullptr);
        library.Command(mpxtest::kReconnectPauseCommand, 100, 0, nullptr);
        wnd = new PlayerWnd(store, PlayerDevices::Real());
        EXPECT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
        wnd->ShowWindow(SW_SHOWNORMAL);
        wnd->playlist = {server.Url("/live")};
        wnd->trackCount = 1;
        wnd->currentTrack = 1;
    }
    ~LivePlayer() {
        wnd->SendMessage(WM_CLOSE, 0, 0);
        server.Stop();
        MpxDecoder().Command(mpxtest::kReconnectPauseCommand, 0, 0, nullptr);
        SetMessageBoxHandler({});
    }
    void Command(UINT id) { wnd->SendMessage(WM_COMMAND, MakeCommandWParam(id, BN_CLICKED), 0); }
    bool WaitForTitle(const std::string& title) {
        return QTest::qWaitFor([&] { return wnd->GetWindowText() == title; }, kWaitMs);
    }
    std::string InfoTitle() const { return wnd->infoDialog->GetDlgItemText(TrackInfoDialog::IDC_TITLE); }
};

TEST(LiveStation, TheTitleSaysReconnectingUntilAudioFlowsAgainAndTheInfoWindowFollowsTheStation) {
    LivePlayer player;
    auto connections = std::make_shared<std::atomic<int>>(0);
    player.server.Route("/live", [&player, connections](HttpConnection& c) {
        const int n = (*connections)++;
        if (n == 0) {
            SendStation(c, Bytes(player.song.begin(), player.song.begin() + std::ptrdiff_t(player.cut)), "Song One");
            // The server goes down for a while.
            player.server.StopListening();
            c.Close();
            c.Pause(500ms);
            player.server.ResumeListening();
        } else {
            SendStation(c, Bytes(player.song.begin() + std::ptrdiff_t(player.cut), player.song.end()), "Song Two");
            c.Pause(10s);  // and stays on the air
        }
    });
    player.Command(ID_TRACK_INFO);
    ASSERT_NE(player.wnd->infoDialog, nullptr);
    player.Command(ID_PLAY);
    ASSERT_EQ(player.wnd->state, PlayState::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.InfoTitle() == "Song One"; }, kWaitMs));

    ASSERT_TRUE(player.WaitForTitle(kReconnectingTitle));
    EXPECT_EQ(player.wnd->state, PlayState::Playing);
    EXPECT_TRUE(player.wnd->engine->IsActive());

    ASSERT_TRUE(player.WaitForTitle(player.wnd->windowTitle)) << "restored once audio flows again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return player.InfoTitle() == "Song Two"; }, kWaitMs))
        << "the open Track information window shows the station's new title";
    EXPECT_EQ(player.wnd->state, PlayState::Playing);
    EXPECT_TRUE(player.wnd->engine->IsActive());
    EXPECT_EQ(*connections, 2);
    EXPECT_TRUE(player.messages.empty()) << player.messages.front();
}

TEST(LiveStation, StopWhileReconnectingEndsItAtOnce) {
    LivePlayer player;
    player.server.Route("/live", [&player](HttpConnection& c) {
        SendStation(c, Bytes(player.song.begin(), player.song.begin() + std::ptrdiff_t(player.cut)), "Song One");
        // Gone for good: every attempt is refused.
        player.server.StopListening();
    });
    player.Command(ID_PLAY);
    ASSERT_EQ(player.wnd->state, PlayState::Playing);
    ASSERT_TRUE(player.WaitForTitle(kReconnectingTitle));
    // Well into the attempts, so that a pause or a connect is under way.
    QTest::qWait(400);

    const auto pressed = Clock::now();
    player.Command(ID_STOP);
    EXPECT_LT(Clock::now() - pressed, 100ms);
    EXPECT_EQ(player.wnd->state, PlayState::Stopped);
    EXPECT_FALSE(player.wnd->engine->IsActive());
    EXPECT_TRUE(player.WaitForTitle(player.wnd->windowTitle));
    EXPECT_TRUE(player.messages.empty()) << player.messages.front();
}
}  // namespace
