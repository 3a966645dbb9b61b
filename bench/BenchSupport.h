#pragma once
// What the in-process player benchmarks share: a quiet offscreen start in
// folders of their own, and the real wave-out device noting when it first
// runs after each open.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtGlobal>

#include "tests/fakes/ForwardingWaveOut.h"

namespace bench {
// Offscreen and SDL's dummy driver unless the environment says otherwise;
// settings and runtime files in `home`. Call before the QApplication exists.
inline void PrepareEnvironment(const QTemporaryDir& home) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
}

class TimedWaveOut : public ForwardingWaveOut {
public:
    explicit TimedWaveOut(QElapsedTimer& clock) : ForwardingWaveOut(CreateSdlWaveOut()), clock(clock) {}
    void Restart() override {
        if (startedAtNs < 0) startedAtNs = clock.nsecsElapsed();
        real->Restart();
    }

    // When the device first ran since the caller last set this to -1.
    qint64 startedAtNs = -1;

private:
    QElapsedTimer& clock;
};
}  // namespace bench
