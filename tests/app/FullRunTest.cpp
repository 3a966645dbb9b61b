// The whole player, started as the program starts it, with two generated
// files on its command line: both play to their end through the real decoder
// library, the thread timer and SDL's dummy driver in real time, and the
// player then rests stopped on track 1.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "player/PlayerWnd.h"
#include "tests/fakes/ForwardingWaveOut.h"
#include "tests/support/TestEnvironment.h"
#include "ui/SplitArguments.h"

namespace {
// Every byte the real device took, per open.
class CountingWaveOut : public ForwardingWaveOut {
public:
    explicit CountingWaveOut(std::vector<std::uint64_t>& playedPerOpen)
        : ForwardingWaveOut(CreateSdlWaveOut()), playedPerOpen(playedPerOpen) {}
    void Close() override {
        if (real->IsOpen()) playedPerOpen.push_back(real->PositionBytes());
        real->Close();
    }

private:
    std::vector<std::uint64_t>& playedPerOpen;
};

struct RunRecord {
    std::vector<std::uint64_t> playedPerOpen;
    std::vector<std::string> trackNames;
    PlayState finalState = PlayState::Stopping;
    int finalTrack = -1;
    int trackCount = -1;
};

// Closes itself once the second track has ended, noting the state it rests in.
class FullRunWnd : public PlayerWnd {
public:
    FullRunWnd(SettingsStore& store, PlayerDevices devices, RunRecord& record)
        : PlayerWnd(store, std::move(devices)), record(record) {}
    void PublishItem(const std::string& item, const std::string& value) override {
        if (item == "TrackName") record.trackNames.push_back(value);
        PlayerWnd::PublishItem(item, value);
    }
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnStopped(WPARAM wParam, LPARAM lParam) {
        const LRESULT result = OnPlaybackStopped(wParam, lParam);
        if (state == PlayState::Stopped) {
            record.finalState = state;
            record.finalTrack = currentTrack;
            record.trackCount = trackCount;
            PostMessage(WM_CLOSE, 0, 0);
        }
        return result;
    }
    RunRecord& record;
};

const MessageMap* FullRunWnd::MessageTable() {
    static const MessageEntry entries[] = {OnMessage(UM_PLAYBACK_STOPPED, &FullRunWnd::OnStopped)};
    static const MessageMap table{PlayerWnd::MessageTable(), entries};
    return &table;
}

class FullRunApp : public PlayerApp {
public:
    FullRunApp(const std::string& commandLine, RunRecord& record)
        : PlayerApp(commandLine, SW_SHOWNORMAL, "/usr/bin/brelune3", "brelune3-fullrun"), record(record) {}

protected:
    SkinFrameWnd* NewMainWindow(SettingsStore& store) override {
        PlayerDevices devices = PlayerDevices::Real();
        devices.device = std::make_unique<CountingWaveOut>(record.playedPerOpen);
        return new FullRunWnd(store, std::move(devices), record);
    }

private:
    RunRecord& record;
};

// PCM bytes the player should hand the device: every frame the library
// decodes, less the first, which only tells the format.
std::uint64_t ExpectedBytes(const std::string& path) {
    MpxDecoder decoder;
    std::uint64_t total = 0;
    std::int32_t first = -1;
    if (decoder.Init() != 0) return 0;
    if (decoder.Open(path, 0, 0, 0, 0) == 0 && decoder.Command(DecoderCommand::StartSource, 0, 0, nullptr) == 0) {
        std::vector<std::uint8_t> pcm(2 * OutputBuffer::kLargestFrameBytes);
        for (int call = 0; call < 100000; ++call) {
            std::int32_t bytes = 0;
            FrameInfo info{};
            const DecoderStatus status = decoder.GetFrame(pcm.data(), &bytes, &info);
            if (status == 0) {
                if (first < 0) first = bytes;
                total += std::uint64_t(bytes);
            }
            if (status == kStatusEndOfStream || IsError(status)) break;
        }
        decoder.Close();
    }
    decoder.Done();
    return first < 0 ? 0 : total - std::uint64_t(first);
}
}  // namespace

TEST(FullRun, TwoFilesOnTheCommandLinePlayToTheirEndThenThePlayerRestsOnTrackOne) {
    const std::string first = testenv::FixturesDir() + "/l3_mpeg1_44k_stereo.mp3";
    const std::string second = testenv::FixturesDir() + "/l3_mpeg2_22k_mono.mp3";
    const std::uint64_t firstBytes = ExpectedBytes(first);
    const std::uint64_t secondBytes = ExpectedBytes(second);
    ASSERT_GT(firstBytes, 0u);
    ASSERT_GT(secondBytes, 0u);

    RunRecord record;
    FullRunApp app(JoinArguments({first, second}), record);
    // A hung player fails the test instead of blocking it.
    QTimer::singleShot(30000, [&app] {
        if (app.MainWnd()) app.MainWnd()->SendMessage(WM_CLOSE, 0, 0);
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(app.Run(), 0);

    EXPECT_EQ(record.playedPerOpen, (std::vector<std::uint64_t>{firstBytes, secondBytes}));
    EXPECT_EQ(record.trackNames, (std::vector<std::string>{first, "", second, ""}));
    EXPECT_EQ(record.finalState, PlayState::Stopped);
    EXPECT_EQ(record.finalTrack, 1);
    EXPECT_EQ(record.trackCount, 2);
    // The dummy driver plays in real time: 0.6 s of audio per file.
    EXPECT_GE(clock.elapsed(), 1000);
}
