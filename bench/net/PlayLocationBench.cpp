// Time from OK in Play Location to the device starting, on a local radio
// station (icecast2 fed by ezstream on 127.0.0.1): the whole net layer over
// the real decoder library, thread timer, steady clock and SDL device,
// median of 10 plays after one unmeasured play that loads the network module.
// The device starts when the engine ends its pre-roll, so this is
// connecting, the first frame, and decoding 48 frames of what icecast sends
// a new listener at once.
//
//   bench_play_location [runs]
//
// Runs offscreen with SDL's dummy driver unless the environment says otherwise.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "net/NetPlayerWnd.h"
#include "net/UrlMethod.h"
#include "platform/settings/IniSettingsStore.h"
#include "tests/support/IcecastServer.h"

namespace {
using bench::TimedWaveOut;

// Milliseconds from OK to the device's start, or a negative value on failure.
double PlayOnce(NetPlayerWnd& wnd, TimedWaveOut& device, QElapsedTimer& clock, const std::string& url) {
    device.startedAtNs = -1;
    qint64 pressed = -1;
    // OK is pressed from inside the dialog's own loop, as a person would.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->findChild<QComboBox*>()->setEditText(QString::fromStdString(url));
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() != "OK") continue;
            pressed = clock.nsecsElapsed();
            button->click();
        }
    });
    wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_PLAY_LOCATION, 0), 0);
    while (pressed >= 0 && device.startedAtNs < 0 && clock.nsecsElapsed() - pressed < 10'000'000'000LL)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const double ms = pressed < 0 ? -1 : device.startedAtNs < 0 ? -2 : double(device.startedAtNs - pressed) / 1e6;
    wnd.SendMessage(WM_COMMAND, MakeCommandWParam(ID_STOP, 0), 0);
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    return ms;
}
}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    bench::PrepareEnvironment(home);
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    testsupport::IcecastServer station;
    std::string error;
    if (!station.Start(&error)) {
        std::fprintf(stderr, "no local station: %s\n", error.c_str());
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    IniSettingsStore store(home.filePath("settings.ini").toStdString());
    PlayerDevices devices = PlayerDevices::Real();
    auto timed = std::make_unique<TimedWaveOut>(clock);
    TimedWaveOut& device = *timed;
    devices.device = std::move(timed);
    auto* wnd = new NetPlayerWnd(store, std::move(devices));
    if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", 0x00CA0000, 201)) return 2;
    wnd->ShowWindow(SW_SHOWNORMAL);
    wnd->UrlMethod = UrlPlayOnly;

    PlayOnce(*wnd, device, clock, station.Url());
    const std::vector<double> times = bench::TimePlays(runs, [&] { return PlayOnce(*wnd, device, clock, station.Url()); });
    if (times.empty()) return 1;
    wnd->SendMessage(WM_CLOSE, 0, 0);
    const std::size_t n = times.size();
    const double median = bench::Median(times);
    std::printf("OK in Play Location to device start on a local station: median %.1f ms, min %.1f ms, "
                "max %.1f ms over %zu plays (target 300 ms)\n",
                median, times.front(), times.back(), n);
    return 0;
}
