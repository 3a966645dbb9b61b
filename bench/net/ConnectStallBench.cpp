// How the window fares while a location connects to a server that never
// answers (a local port that takes the connection and says nothing): the
// longest gap between two runs of a 1 ms timer in the window's event loop
// during 3 s of connecting, and the time Stop then takes to end the open.
// Five rounds over the real decoder library, offscreen.
//
//   bench_connect_stall [rounds]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bench/BenchSupport.h"
#include "net/NetPlayerWnd.h"
#include "net/UrlMethod.h"
#include "platform/settings/IniSettingsStore.h"
#include "tests/support/SilentServer.h"

namespace {
constexpr int kConnectingMs = 3000;

struct Round {
    qint64 longestGapUs = 0;
    qint64 stopUs = -1;
};

Round ConnectOnce(NetPlayerWnd& wnd) {
    Round round;
    QElapsedTimer clock;
    qint64 last = -1, stopAsked = -1;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed() / 1000;
        if (last >= 0) round.longestGapUs = std::max(round.longestGapUs, now - last);
        last = now;
    });
    QTimer::singleShot(kConnectingMs, [&] {
        stopAsked = clock.nsecsElapsed() / 1000;
        wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_STOP, 0), 0);
    });
    clock.start();
    ticker.start(1);
    wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_PLAY, 0), 0);
    if (stopAsked >= 0) round.stopUs = clock.nsecsElapsed() / 1000 - stopAsked;
    return round;
}
}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::PrepareEnvironment(home);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    testenv::SilentServer server;
    if (server.Port() == 0) return 2;
    IniSettingsStore store(home.filePath("settings.ini").toStdString());
    auto* wnd = new NetPlayerWnd(store);
    if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", 0x00CA0000, 201)) return 2;
    wnd->ShowWindow(SW_SHOWNORMAL);
    wnd->UrlMethod = UrlPlayOnly;
    wnd->playlist = {server.Url("/never")};
    wnd->trackCount = wnd->currentTrack = 1;

    qint64 worstGap = 0, worstStop = 0;
    for (int i = 0; i < rounds; ++i) {
        const Round round = ConnectOnce(*wnd);
        if (round.stopUs < 0) {
            std::fprintf(stderr, "round %d: the open ended before Stop\n", i + 1);
            return 1;
        }
        std::printf("round %d: longest event-loop gap %6.2f ms, Stop ended the open in %6.2f ms\n", i + 1,
                    round.longestGapUs / 1000.0, round.stopUs / 1000.0);
        worstGap = std::max(worstGap, round.longestGapUs);
        worstStop = std::max(worstStop, round.stopUs);
    }
    wnd->SendMessage(WM_CLOSE, 0, 0);
    std::printf("while connecting to a server that never answers: longest stall %.2f ms (target 50 ms), "
                "Stop within %.2f ms (target 100 ms), over %d rounds\n",
                worstGap / 1000.0, worstStop / 1000.0, rounds);
    return 0;
}
