// Start-up time of the player: from just before the process is started to
// the end of its window's first paint, median of 10 starts (after one
// unmeasured start that warms the file cache). Each start is a first start
// in fresh temporary HOME and XDG folders.
//
//   bench_startup [runs]
//
// Uses the display the environment gives (QT_QPA_PLATFORM, DISPLAY); with
// none set it runs offscreen.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {
long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Milliseconds from start to first paint, or a negative value on failure.
double StartOnce() {
    QTemporaryDir home;
    if (!home.isValid()) return -1;
    QDir root(home.path());
    for (const char* sub : {"config", "runtime", "cache"}) root.mkpath(sub);
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    env.insert("XDG_CACHE_HOME", root.filePath("cache"));
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY")) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    }
    env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");

    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = MonotonicNs();
    probe.start(STARTUP_PROBE, {});
    if (!probe.waitForFinished(20000)) {
        probe.kill();
        probe.waitForFinished();
        return -2;
    }
    long long painted = 0;
    if (std::sscanf(probe.readAllStandardOutput().constData(), "painted %lld", &painted) != 1) return -3;
    return double(painted - started) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    StartOnce();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = StartOnce();
        if (ms < 0) {
            std::fprintf(stderr, "start %d failed (%.0f)\n", i + 1, ms);
            return 1;
        }
        times.push_back(ms);
        std::printf("start %2d: %6.1f ms\n", i + 1, ms);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    std::printf("start to first paint: median %.1f ms, min %.1f ms, max %.1f ms over %zu starts (target 150 ms)\n",
                median, sorted.front(), sorted.back(), n);
    return 0;
}
