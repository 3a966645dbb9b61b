// What the real player process costs while it plays, as a desktop user's
// machine sees it: 60 s of a 128 kbit/s file played in real time, the window
// shown on a real X server (an Xvfb of the bench's own), the player on a
// session bus of its own and SDL's dummy audio driver (which wakes and
// sleeps like a sound card, in real time). The first 3 s (start-up and the
// first ticks) are not counted.
//
// It reports the CPU share of the whole process (utime + stime from
// /proc/PID/stat, so threads that ended count too), wake-ups per second
// (voluntary and involuntary context switches from
// /proc/PID/task/*/status, summed over the threads alive at the end), the
// same per thread with its name and its CPU time (schedstat, nanoseconds),
// the X server's CPU over the same time (it does the player's repaints),
// and the peak resident memory (VmHWM).
//
// The file (70 s of noise and a tone) is made with sox and lame. With
// --station it plays a 128 kbit/s radio station instead: a local icecast2
// fed by ezstream, the one the tests use, set to play only. Needs xvfb,
// dbus-daemon, sox and lame (and icecast2 and ezstream for --station).
//
//   bench_player_cost [seconds] [--station]
//
// BRELUNE3_PLAYER names another build of the player to measure (another
// branch's, to compare).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

#include "bench/XvfbServer.h"
#include "platform/settings/IniSettingsStore.h"
#include "tests/support/IcecastServer.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestEnvironment.h"

namespace {
constexpr int kWarmUpMs = 3000;

std::string ReadLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// utime + stime of a whole process in clock ticks; -1 when it cannot be read.
long long CpuTicks(long long pid) {
    const std::string line = ReadLine("/proc/" + std::to_string(pid) + "/stat");
    if (line.empty()) return -1;
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

// A "Key:" number of a /proc status file; -1 when missing.
long long StatusValue(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
    return -1;
}

struct ThreadSample {
    std::string name;
    long long switches = 0;     // voluntary + involuntary
    long long involuntary = 0;  // preempted: a busy machine's share
    long long cpuNs = 0;     // time on a CPU
};

// Every thread of the process now, by thread id.
std::map<long long, ThreadSample> SampleThreads(long long pid) {
    std::map<long long, ThreadSample> threads;
    const QString root = QString("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string dir = (root + "/" + task).toStdString();
        ThreadSample sample;
        sample.name = ReadLine(dir + "/comm");
        const long long voluntary = StatusValue(dir + "/status", "voluntary_ctxt_switches");
        const long long involuntary = StatusValue(dir + "/status", "nonvoluntary_ctxt_switches");
        if (voluntary < 0 || involuntary < 0) continue;  // ended meanwhile
        sample.switches = voluntary + involuntary;
        sample.involuntary = involuntary;
        sample.cpuNs = std::atoll(ReadLine(dir + "/schedstat").c_str());
        threads.emplace(task.toLongLong(), sample);
    }
    return threads;
}

QString MakeFile(const QString& folder, int seconds) {
    const QString location = QDir(folder).filePath("tone-128k.mp3");
    const std::string make = "sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth " + std::to_string(seconds + 10) +
                             " pinknoise sine 440 gain -9 | lame --silent -b 128 - '" + location.toStdString() +
                             "'";
    return std::system(make.c_str()) == 0 ? location : QString();
}
}  // namespace

int main(int argc, char** argv) {
    testenv::Prepare();
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const bool station = argc > 2 && std::string(argv[2]) == "--station";

    QString location;
    testsupport::IcecastServer server;
    if (station) {
        std::string error;
        if (!server.Start(&error)) {
            std::fprintf(stderr, "no local station: %s\n", error.c_str());
            return 2;
        }
        location = QString::fromStdString(server.Url());
        // Without a choice made, the player would ask what to do with the stream.
        CreateIniSettingsStore("Orvantis", "brelune3")->WriteInt("UrlSettings", "UrlMethod", 10);
    } else {
        location = MakeFile(QString::fromStdString(testenv::Home()), seconds);
        if (location.isEmpty()) {
            std::fprintf(stderr, "could not generate the file (needs sox and lame)\n");
            return 2;
        }
    }
    bench::XvfbServer x;
    if (!x.Start() || !testbus::Start()) return 2;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("WAYLAND_DISPLAY");
    env.insert("DISPLAY", QString::fromStdString(x.Display()));

    QProcess player;
    player.setProcessEnvironment(env);
    player.setProcessChannelMode(QProcess::ForwardedChannels);
    player.start(qEnvironmentVariable("BRELUNE3_PLAYER", BRELUNE3_BINARY), {location});
    if (!player.waitForStarted(5000)) return 2;
    const qint64 pid = player.processId();
    QThread::msleep(kWarmUpMs);
    const auto threadsBefore = SampleThreads(pid);
    const long long before = CpuTicks(pid);
    const long long serverBefore = CpuTicks(x.Pid());
    QThread::sleep(seconds);
    const long long after = CpuTicks(pid);
    const long long serverAfter = CpuTicks(x.Pid());
    const auto threadsAfter = SampleThreads(pid);
    const std::string status = "/proc/" + std::to_string(pid) + "/status";
    const long long peakKiB = StatusValue(status, "VmHWM");
    const long long rssKiB = StatusValue(status, "VmRSS");
    const long long anonKiB = StatusValue(status, "RssAnon");
    const long long fileKiB = StatusValue(status, "RssFile");
    // Killed: what it writes at exit is not measured.
    player.kill();
    player.waitForFinished(5000);
    testbus::Stop();
    if (before < 0 || after < 0 || peakKiB < 0) {
        std::fprintf(stderr, "the player ended early\n");
        return 1;
    }

    const double tick = double(sysconf(_SC_CLK_TCK));
    std::printf("%-16s %8s %10s %12s %14s %16s\n", "thread", "id", "CPU %", "wake-ups/s", "involuntary/s",
                "CPU per wake-up");
    double wakeUps = 0;
    for (const auto& [tid, now] : threadsAfter) {
        const auto then = threadsBefore.find(tid);
        const ThreadSample start = then == threadsBefore.end() ? ThreadSample{} : then->second;
        const long long switches = now.switches - start.switches;
        const double cpuUs = double(now.cpuNs - start.cpuNs) / 1e3;
        wakeUps += switches;
        std::printf("%-16s %8lld %10.3f %12.2f %14.2f %13.0f us\n", now.name.c_str(), tid, cpuUs / 1e4 / seconds,
                    double(switches) / seconds, double(now.involuntary - start.involuntary) / seconds,
                    switches > 0 ? cpuUs / double(switches) : 0.0);
    }
    const double cpuSeconds = double(after - before) / tick;
    const char* what = station ? "a local station" : "a local file";
    std::printf("CPU while playing %s: %.2f s in %d s = %.3f %% of one core (target 0.30 %%)\n", what, cpuSeconds,
                seconds, 100.0 * cpuSeconds / seconds);
    std::printf("wake-ups: %.1f per second, all threads together (target 20)\n", wakeUps / seconds);
    std::printf("X server CPU for the same time: %.3f %% of one core\n",
                100.0 * double(serverAfter - serverBefore) / tick / seconds);
    std::printf("resident memory: peak %.1f MiB, at the end %.1f MiB (%.1f anonymous, %.1f file) (target %d MiB)\n",
                peakKiB / 1024.0, rssKiB / 1024.0, anonKiB / 1024.0, fileKiB / 1024.0, station ? 36 : 30);
    return 0;
}
