// The resident memory the session bus and the media controls add to the
// player while it plays: the real player plays the same file twice, each
// time in fresh HOME and XDG folders, offscreen with SDL's dummy driver.
// First with no session bus (no automation, no media controls), then on a
// private bus with a media-controls client following it as a status bar
// does (playerctl --follow, and a metadata read every second). Resident and
// peak memory are read after the given number of seconds (default 20).
//
//   bench_mpris_cost [seconds]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/PrivateBus.h"
#include "tests/support/TestEnvironment.h"

namespace {
// A "Vm…:" value of /proc/<pid>/status in KiB; -1 when missing.
long long StatusKiB(qint64 pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
    return -1;
}

struct Memory {
    long long rssKiB = -1;
    long long peakKiB = -1;
    // The client's last metadata read, so that the run shows it was served.
    QString seen;
};

QProcessEnvironment FreshEnvironment(const QDir& root) {
    for (const char* sub : {"home", "config", "runtime", "cache"}) root.mkpath(sub);
    QFile::setPermissions(root.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", root.filePath("home"));
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    env.insert("XDG_CACHE_HOME", root.filePath("cache"));
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!env.contains("SDL_AUDIODRIVER")) env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");
    return env;
}

Memory Play(const QString& file, const QProcessEnvironment& env, int seconds, bool withClient) {
    QProcess player;
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    player.start(BRELUNE3_BINARY, {file});
    if (!player.waitForStarted(5000)) return {};
    QProcess follower;
    if (withClient) {
        follower.setProcessEnvironment(env);
        follower.start("playerctl", {"--player=brelune3", "--follow", "metadata"});
    }
    QString seen;
    for (int i = 0; i < seconds; ++i) {
        QThread::sleep(1);
        if (withClient) {
            QProcess read;
            read.setProcessEnvironment(env);
            read.start("playerctl", {"--player=brelune3", "metadata", "--format", "{{status}} {{title}}"});
            read.waitForFinished(5000);
            seen = QString::fromUtf8(read.readAllStandardOutput()).trimmed();
        }
    }
    const Memory memory{StatusKiB(player.processId(), "VmRSS"), StatusKiB(player.processId(), "VmHWM"), seen};
    player.kill();
    player.waitForFinished(5000);
    follower.kill();
    follower.waitForFinished(5000);
    return memory;
}
}  // namespace

int main(int argc, char** argv) {
    // The private bus keeps its socket and configuration in a folder of its own.
    testenv::Prepare();
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 20;
    QTemporaryDir temporary;
    if (!temporary.isValid()) return 2;
    const QDir root(temporary.path());
    const QString file = root.filePath("tone-128k.mp3");
    const std::string make = "sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth " + std::to_string(seconds + 10) +
                             " pinknoise sine 440 gain -9 | lame --silent -b 128 - '" + file.toStdString() + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "could not generate the file (needs sox and lame)\n");
        return 2;
    }

    QProcessEnvironment alone = FreshEnvironment(QDir(root.filePath("alone")));
    alone.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root.filePath("no-bus"));
    const Memory without = Play(file, alone, seconds, false);

    if (!testbus::Start()) return 2;
    QProcessEnvironment onBus = FreshEnvironment(QDir(root.filePath("onbus")));
    onBus.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(testbus::Address()));
    const Memory with = Play(file, onBus, seconds, true);
    testbus::Stop();

    if (without.rssKiB < 0 || with.rssKiB < 0) {
        std::fprintf(stderr, "the player ended early\n");
        return 1;
    }
    std::printf("without a session bus:          resident %.1f MiB, peak %.1f MiB\n", without.rssKiB / 1024.0,
                without.peakKiB / 1024.0);
    std::printf("bus, media controls and client: resident %.1f MiB, peak %.1f MiB (the client saw \"%s\")\n",
                with.rssKiB / 1024.0, with.peakKiB / 1024.0, qPrintable(with.seen));
    std::printf("added: resident %+.1f MiB, peak %+.1f MiB (target 2 MiB or less)\n",
                (with.rssKiB - without.rssKiB) / 1024.0, (with.peakKiB - without.peakKiB) / 1024.0);
    return 0;
}
