// Time from Play to the device starting for a local file: the player layer
// over the real decoder library, thread timer, steady clock and SDL device,
// median of 10 plays (after one unmeasured play that warms the file cache).
// The device starts when the engine ends its pre-roll, so this is the first
// timer period plus decoding 48 frames.
//
//   bench_player_start [file.mp3] [runs]
//
// Runs offscreen with SDL's dummy driver unless the environment says otherwise.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "player/PlayerWnd.h"
#include "platform/settings/IniSettingsStore.h"

namespace {
using bench::TimedWaveOut;

// Milliseconds from Play to the device's start, or a negative value on failure.
double PlayOnce(PlayerWnd& wnd, TimedWaveOut& device, QElapsedTimer& clock) {
    device.startedAtNs = -1;
    const qint64 pressed = clock.nsecsElapsed();
    wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_PLAY, 0), 0);
    if (wnd.state != PlayState::Playing) return -1;
    while (device.startedAtNs < 0 && clock.nsecsElapsed() - pressed < 5'000'000'000LL)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double ms = device.startedAtNs < 0 ? -2 : double(device.startedAtNs - pressed) / 1e6;
    wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_STOP, 0), 0);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    return ms;
}
}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::PrepareEnvironment(home);
    QApplication app(argc, argv);
    const std::string file = argc > 1 ? argv[1] : BRELUNE_PLAYER_BENCH_FILE;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;

    QElapsedTimer clock;
    clock.start();
    IniSettingsStore store(home.filePath("settings.ini").toStdString());
    PlayerDevices devices = PlayerDevices::Real();
    auto timed = std::make_unique<TimedWaveOut>(clock);
    TimedWaveOut& device = *timed;
    devices.device = std::move(timed);
    auto* wnd = new PlayerWnd(store, std::move(devices));
    if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", 0x00CA0000, 201)) return 2;
    wnd->ShowWindow(SW_SHOWNORMAL);
    wnd->playlist = {file};
    wnd->trackCount = wnd->currentTrack = 1;

    PlayOnce(*wnd, device, clock);
    const std::vector<double> times = bench::TimePlays(runs, [&] { return PlayOnce(*wnd, device, clock); });
    if (times.empty()) return 1;
    wnd->SendMessage(WM_CLOSE, 0, 0);
    const std::size_t n = times.size();
    const double median = bench::Median(times);
    std::printf("Play to device start: median %.1f ms, min %.1f ms, max %.1f ms over %zu plays (target 200 ms)\n",
                median, times.front(), times.back(), n);
    return 0;
}
