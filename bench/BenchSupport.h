#pragma once
// What the in-process player benchmarks share: a quiet offscreen start in
// folders of their own, and the real wave-out device noting when it first
// runs after each open.

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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

// Runs `play` (milliseconds, negative on failure) `runs` times, printing
// each; the times sorted, or empty when a play failed.
inline std::vector<double> TimePlays(int runs, const std::function<double()>& play) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = play();
        if (ms < 0) {
            std::fprintf(stderr, "play %d failed (%.0f)\n", i + 1, ms);
            return {};
        }
        times.push_back(ms);
        std::printf("play %2d: %6.1f ms\n", i + 1, ms);
    }
    std::sort(times.begin(), times.end());
    return times;
}

inline double Median(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
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
