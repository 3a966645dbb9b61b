// What advise loops cost the playing player: the latency from an item's set
// to a client's receipt (p50, p99), the player's added CPU share, and late
// buffers (the device found idle when a buffer was queued), with 0, 1 and 50
// clients each watching all fourteen items while a 128 kbit/s file plays in
// real time. The player (window, engine, SDL device, timer, server and
// topic) runs in this process on a private session bus; the clients run in a
// second process of this program, each on its own connection.
//
//   bench_dde_advise [seconds per phase]      (default 20)
#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dde/AudioTopic.h"
#include "platform/dde/DdeClient.h"
#include "platform/dde/DdeServer.h"
#include "player/PlayerWnd.h"
#include "tests/fakes/ForwardingWaveOut.h"
#include "tests/fakes/MemorySettingsStore.h"

namespace {
constexpr const char* kItems[] = {"Track", "Frames", "Time", "Progress", "State", "SyncState", "PlayType",
                                  "Layer", "MpegVersion", "Bitrate", "SampFreq", "Channels", "TrackName", "PlayList"};

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Runs the event loop, sleeping while there is nothing to do.
void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The clients' process: N connections, each with loops on every item; it
// says "ready", records each advise's receipt and writes them all out once
// the file "<out>.stop" appears.
int RunClients(int count, const QString& out) {
    std::vector<std::unique_ptr<DdeClient>> clients;
    struct Receipt {
        QString item, value;
        long long ns;
    };
    std::vector<Receipt> receipts;
    receipts.reserve(1 << 20);
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    for (int i = 0; i < count; ++i) {
        auto client = std::make_unique<DdeClient>(QDBusConnection::connectToBus(address, QString("c%1").arg(i)),
                                                  "Brelune3");
        client->onAdvise = [&receipts](const QString&, const QString& item, const QString& value) {
            receipts.push_back({item, value, NowNs()});
        };
        for (const char* item : kItems)
            if (client->AdviseStart("Audio", item) != DdeClient::Result::Ok) return 1;
        clients.push_back(std::move(client));
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // The player asks the clients to stop by making a file, and waits for them.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QFile::exists(out + ".stop")) QCoreApplication::exit(0);
    });
    watch.start(100);
    QCoreApplication::exec();
    QFile file(out);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    QTextStream text(&file);
    for (const Receipt& r : receipts) text << r.item << '\t' << r.ns << '\t' << r.value << '\n';
    return 0;
}

// Counts buffers queued while the running device had nothing left to play.
class LateCountingWaveOut : public ForwardingWaveOut {
public:
    using ForwardingWaveOut::ForwardingWaveOut;
    int late = 0;
    int written = 0;
    bool Open(const PcmFormat& format, std::string* errorText) override {
        queued.clear();
        running = true;
        return real->Open(format, errorText);
    }
    bool Write(WaveHeader* header) override {
        std::erase_if(queued, [](WaveHeader* h) { return (h->flags & WHDR_DONE) != 0; });
        if (running && started && queued.empty()) ++late;
        queued.push_back(header);
        ++written;
        return real->Write(header);
    }
    void Pause() override {
        running = false;
        real->Pause();
    }
    void Restart() override {
        running = true;
        started = true;
        real->Restart();
    }

private:
    std::vector<WaveHeader*> queued;
    bool running = false;
    bool started = false;
};

struct SetRecord {
    std::string item, value;
    long long ns;
};

class TimedTopic : public AudioTopic {
public:
    using AudioTopic::AudioTopic;
    std::vector<SetRecord> sets;
    // CPU time the user-interface thread spent setting items and sending advises.
    double setCpu = 0;
    void PublishItem(const std::string& item, const std::string& value) override {
        const double before = ThreadCpuSeconds();
        sets.push_back({item, value, NowNs()});
        AudioTopic::PublishItem(item, value);
        setCpu += ThreadCpuSeconds() - before;
    }
};

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--clients") {
        QCoreApplication app(argc, argv);
        return RunClients(std::atoi(argv[2]), argv[3]);
    }
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    QDir root(home.path());
    root.mkpath("runtime");
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", root.filePath("runtime").toUtf8());
    qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");

    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus.waitForReadyRead(10000)) {
        std::fprintf(stderr, "could not start dbus-daemon\n");
        return 2;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());

    const QString file = root.filePath("tone-128k.mp3");
    const std::string make = "sox -V1 -n -r 44100 -c 2 -b 16 -t wav - synth " + std::to_string(3 * seconds + 15) +
                             " pinknoise sine 440 gain -9 | lame --silent -b 128 - '" + file.toStdString() + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "could not generate the file (needs sox and lame)\n");
        return 2;
    }

    QApplication app(argc, argv);
    DdeServer server("Brelune3");
    if (!server.IsRegistered()) return 2;
    PlayerWnd* wnd = nullptr;
    TimedTopic topic(server, [&wnd] { return wnd; });
    MemorySettingsStore store;
    PlayerDevices devices = PlayerDevices::Real();
    auto counting = std::make_unique<LateCountingWaveOut>(std::move(devices.device));
    LateCountingWaveOut* device = counting.get();
    devices.device = std::move(counting);
    wnd = new PlayerWnd(store, std::move(devices));
    wnd->SetItemPublisher(&topic);
    if (!wnd->Create("Brelune3 Layer III Player", "Brelune3", 0x00CA0000, 201)) return 2;
    wnd->OpenFileOrList(file.toStdString(), true, true);
    Spin(3000);

    std::printf("%d s a phase, a 128 kbit/s file playing in real time\n", seconds);
    double baseCpu = -1;
    for (const int count : {0, 1, 50}) {
        const QString out = root.filePath(QString("receipts-%1.txt").arg(count));
        QProcess clients;
        if (count > 0) {
            clients.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            clients.start(QCoreApplication::applicationFilePath(), {"--clients", QString::number(count), out});
            // The clients' calls need this loop to be answered.
            while (clients.state() != QProcess::NotRunning && !clients.canReadLine()) Spin(20);
            if (!clients.canReadLine()) return 1;
            Spin(1000);
        }
        topic.sets.clear();
        topic.setCpu = 0;
        const int lateBefore = device->late;
        const double cpuBefore = ProcessCpuSeconds();
        const long long wallBefore = NowNs();
        Spin(seconds * 1000);
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        const double wall = double(NowNs() - wallBefore) / 1e9;
        const std::vector<SetRecord> sets = topic.sets;
        const double setCpu = topic.setCpu;
        const int late = device->late - lateBefore;
        std::vector<double> latencies;
        if (count > 0) {
            QFile(out + ".stop").open(QIODevice::WriteOnly);
            clients.waitForFinished(30000);
            QFile received(out);
            received.open(QIODevice::ReadOnly);
            std::map<std::string, std::vector<const SetRecord*>> byKey;
            for (const SetRecord& s : sets) byKey[s.item + '\t' + s.value].push_back(&s);
            while (!received.atEnd()) {
                QByteArray line = received.readLine();
                if (line.endsWith('\n')) line.chop(1);
                const QList<QByteArray> fields = line.split('\t');
                if (fields.size() < 3) continue;
                const long long ns = fields[1].toLongLong();
                if (ns < wallBefore || ns > wallBefore + (long long)(wall * 1e9)) continue;
                const auto found = byKey.find(fields[0].toStdString() + '\t' + fields[2].toStdString());
                if (found == byKey.end()) continue;
                const SetRecord* match = nullptr;
                for (const SetRecord* s : found->second)
                    if (s->ns <= ns) match = s;
                if (match) latencies.push_back(double(ns - match->ns) / 1e6);
            }
        }
        const double share = 100.0 * cpu / wall;
        if (count == 0) baseCpu = share;
        std::printf("%2d clients: %zu sets, %zu receipts, latency p50 %.3f ms p99 %.3f ms max %.3f ms "
                    "(target p99 2 ms); CPU %.3f %% of one core, added %.3f %% (target 0.1 %%); "
                    "in the sets %.3f %%; late buffers %d of %d\n",
                    count, sets.size(), latencies.size(), Percentile(latencies, 0.5), Percentile(latencies, 0.99),
                    latencies.empty() ? -1.0 : *std::max_element(latencies.begin(), latencies.end()), share,
                    count == 0 ? 0.0 : share - baseCpu, 100.0 * setCpu / wall, late, device->written);
        std::fflush(stdout);
    }
    wnd->SendMessage(WM_CLOSE, 0, 0);
    bus.terminate();
    bus.waitForFinished(5000);
    return 0;
}
