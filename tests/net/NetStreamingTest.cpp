// The net layer over the real decoder library, thread timer and SDL's dummy
// driver, against servers the tests start on 127.0.0.1.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <string>
#include <vector>

#include "net/NetPlayerWnd.h"
#include "net/UrlMethod.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/support/SilentServer.h"

namespace {
constexpr UINT kStyle = 0x00CA0000;

NetPlayerWnd* StartPlayer(MemorySettingsStore& store) {
    auto* wnd = new NetPlayerWnd(store);
    if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", kStyle, 201)) return nullptr;
    wnd->ShowWindow(SW_SHOWNORMAL);
    wnd->UrlMethod = UrlPlayOnly;
    return wnd;
}

void Command(NetPlayerWnd& wnd, UINT id) { wnd.SendMessage(WM_COMMAND, MakeCommandWParam(id, 0), 0); }

// Message boxes are recorded, not shown, so that none can block a test.
struct MessageRecorder {
    std::vector<std::string> texts;
    MessageRecorder() {
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            texts.push_back(text);
            return IDOK;
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler({}); }
};
}  // namespace

TEST(NetStreaming, StopAndExitEndAConnectThatNeverAnswersAtOnceAndTheWindowKeepsPainting) {
    testenv::SilentServer server;
    ASSERT_NE(server.Port(), 0);
    for (const bool exitInstead : {false, true}) {
        MessageRecorder messages;
        MemorySettingsStore store;
        NetPlayerWnd* wnd = StartPlayer(store);
        ASSERT_NE(wnd, nullptr);
        QPointer<QWidget> widget = wnd->Widget();
        wnd->playlist = {server.Url("/never")};
        wnd->trackCount = wnd->currentTrack = 1;
        wnd->HttpPort = 3128;

        // While the open waits, the event loop must keep running.
        QElapsedTimer clock;
        qint64 lastTick = -1, longestGapMs = 0, askedAt = -1, endedAt = -1;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            if (lastTick >= 0) longestGapMs = std::max(longestGapMs, now - lastTick);
            lastTick = now;
        });
        QTimer::singleShot(500, [&] {
            EXPECT_EQ(wnd->state, PlayState::Connecting);
            askedAt = clock.elapsed();
            if (exitInstead)
                wnd->SendMessage(WM_CLOSE, 0, 0);
            else
                Command(*wnd, ID_STOP);
        });
        clock.start();
        ticker.start(5);
        Command(*wnd, ID_PLAY);
        endedAt = clock.elapsed();
        ticker.stop();

        ASSERT_GE(askedAt, 0) << "the open returned before it was stopped";
        EXPECT_LT(endedAt - askedAt, 100) << (exitInstead ? "Exit" : "Stop") << " while connecting";
        EXPECT_LT(longestGapMs, 100) << "the window's event loop stalled while connecting";
        EXPECT_TRUE(messages.texts.empty()) << "a stop is no failure";
        for (int i = 0; i < 10 && widget; ++i) QCoreApplication::processEvents();
        if (exitInstead) {
            EXPECT_TRUE(widget.isNull()) << "Exit closes the window once the open has ended";
            EXPECT_EQ(store.GetInt("Proxies", "HttpPort", 0), 3128) << "the settings were saved";
        } else {
            EXPECT_EQ(wnd->state, PlayState::Stopped);
            wnd->SendMessage(WM_CLOSE, 0, 0);
        }
    }
}
