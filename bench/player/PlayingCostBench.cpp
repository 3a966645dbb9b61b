// What the real player process costs while it plays: CPU share of one core
// and peak resident memory, over 60 s of a 128 kbit/s file played in real
// time with the window shown. The file (70 s of noise and a tone) is made
// with sox and lame in a temporary folder; the player runs in fresh HOME and
// XDG folders, offscreen with SDL's dummy driver unless the environment says
// otherwise. The first 3 s (start-up and the first ticks) are not counted.
// With --station it plays a 128 kbit/s radio station instead: a local
// icecast2 fed by ezstream, the one the tests use, set to play only.
//
//   bench_player_cost [seconds] [--station]
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
#include <sstream>
#include <string>
#include <unistd.h>

#include "platform/settings/IniSettingsStore.h"
#include "tests/support/IcecastServer.h"

namespace {
constexpr int kWarmUpMs = 3000;

// utime + stime of the process in clock ticks; -1 when it cannot be read.
long long CpuTicks(qint64 pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return -1;
    // Fields after the command name, which is in parentheses and may hold blanks.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::atoll(field.c_str());
        if (i == 15) stime = std::atoll(field.c_str());
    }
    return utime + stime;
}

// A "Vm…:" value of /proc/<pid>/status in KiB; -1 when missing.
long long StatusKiB(qint64 pid, const std::string& key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
    return -1;
}

// The names of the process's threads, to see that an audio thread runs.
QString ThreadNames(qint64 pid) {
    QStringList names;
    const QDir tasks(QString("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + "/comm"));
        if (comm.open(QIODevice::ReadOnly)) names << QString::fromUtf8(comm.readAll()).trimmed();
    }
    return names.join(", ");
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const bool station = argc > 2 && std::string(argv[2]) == "--station";
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    QDir root(home.path());
    for (const char* sub : {"config", "runtime", "cache"}) root.mkpath(sub);
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);

    QString location = root.filePath("tone-128k.mp3");
    testsupport::IcecastServer server;
    if (station) {
        std::string error;
        if (!server.Start(&error)) {
            std::fprintf(stderr, "no local station: %s\n", error.c_str());
            return 2;
        }
        location = QString::fromStdString(server.Url());
        // Without a choice made, the player would ask what to do with the stream.
        qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
        CreateIniSettingsStore("Orvantis", "brelune3")->WriteInt("UrlSettings", "UrlMethod", 10);
    } else {
        const std::string make = "sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth " + std::to_string(seconds + 10) +
                                 " pinknoise sine 440 gain -9 | lame --silent -b 128 - '" +
                                 location.toStdString() + "'";
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "could not generate the file (needs sox and lame)\n");
            return 2;
        }
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    env.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    env.insert("XDG_CACHE_HOME", root.filePath("cache"));
    if (!env.contains("QT_QPA_PLATFORM") && !env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY"))
        env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!env.contains("SDL_AUDIODRIVER")) env.insert("SDL_AUDIODRIVER", "dummy");
    env.insert("QT_LOGGING_RULES", "qt.qpa.*=false");

    QProcess player;
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    player.start(BRELUNE3_BINARY, {location});
    if (!player.waitForStarted(5000)) return 2;
    const qint64 pid = player.processId();
    QThread::msleep(kWarmUpMs);
    const long long before = CpuTicks(pid);
    QThread::sleep(seconds);
    const long long after = CpuTicks(pid);
    const long long peakKiB = StatusKiB(pid, "VmHWM");
    const long long rssKiB = StatusKiB(pid, "VmRSS");
    const QString threads = ThreadNames(pid);
    // Killed: what it writes at exit is not measured, and its audio library
    // keeps SIGTERM to itself.
    player.kill();
    player.waitForFinished(5000);
    if (before < 0 || after < 0 || peakKiB < 0) {
        std::fprintf(stderr, "the player ended early\n");
        return 1;
    }

    const double cpuSeconds = double(after - before) / double(sysconf(_SC_CLK_TCK));
    std::printf("threads: %s\n", qPrintable(threads));
    const char* what = station ? "a local station" : "a local file";
    std::printf("CPU while playing %s: %.2f s in %d s = %.2f %% of one core (target 0.5 %%)\n", what, cpuSeconds,
                seconds, 100.0 * cpuSeconds / seconds);
    std::printf("resident memory: peak %.1f MiB, at the end %.1f MiB (target %d MiB)\n", peakKiB / 1024.0,
                rssKiB / 1024.0, station ? 40 : 35);
    return 0;
}
