// brelune3-ctl: the player's automation from a shell or a status bar.
//
//   brelune3-ctl [--start] get ITEM
//   brelune3-ctl [--start] watch ITEM...
//   brelune3-ctl [--start] exec COMMAND...
//   brelune3-ctl [--start] list
//
// Exit status: 0 acknowledged, 1 refused (or misused), 2 no player runs.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "platform/dde/DdeClient.h"

namespace {
constexpr const char* kService = "Brelune3";
constexpr const char* kTopic = "Audio";
constexpr int kOk = 0;
constexpr int kRefused = 1;
constexpr int kNoPlayer = 2;

constexpr const char* kUsage =
    "Usage: brelune3-ctl [--start] COMMAND\n"
    "Reads, watches and drives the running Brelune3 player over the D-Bus session bus.\n"
    "\n"
    "  get ITEM         print the item's value\n"
    "  watch ITEM...    print each item's value, then one line \"ITEM VALUE\" each time\n"
    "                   the player sets one of them, until interrupted\n"
    "  exec COMMAND...  send a command (the words joined by single blanks), for example\n"
    "                   play, pause, stop, nexttrack, prevtrack, \"play 3\",\n"
    "                   \"set playlist FILE...\", \"dialog options output\", exit\n"
    "  list             print every item and its value, one \"ITEM VALUE\" a line\n"
    "  --start          let the bus start a hidden player when none runs\n"
    "  --help           show this text\n"
    "\n"
    "Items: Track Frames Time Progress State SyncState PlayType Layer MpegVersion\n"
    "Bitrate SampFreq Channels TrackName PlayList (any letter case).\n"
    "Exit status: 0 done, 1 refused or misused, 2 no player runs.\n";

int Status(DdeClient::Result result) {
    switch (result) {
        case DdeClient::Result::Ok: return kOk;
        case DdeClient::Result::Refused: return kRefused;
        case DdeClient::Result::NoServer: return kNoPlayer;
    }
    return kRefused;
}

// Says why a call failed and gives the exit status for it.
int Fail(const DdeClient& client, DdeClient::Result result) {
    if (result == DdeClient::Result::NoServer)
        std::fprintf(stderr, "brelune3-ctl: no player is running (%s)\n", qPrintable(client.ErrorText()));
    else
        std::fprintf(stderr, "brelune3-ctl: refused: %s\n", qPrintable(client.ErrorText()));
    return Status(result);
}

void PrintLine(const QString& item, const QString& value) {
    std::printf("%s %s\n", qPrintable(item), value.toUtf8().constData());
    std::fflush(stdout);
}

int Get(DdeClient& client, const QString& item) {
    QString value;
    const auto result = client.Request(kTopic, item, value);
    if (result != DdeClient::Result::Ok) return Fail(client, result);
    std::printf("%s\n", value.toUtf8().constData());
    return kOk;
}

int List(DdeClient& client) {
    QStringList items;
    auto result = client.ListItems(kTopic, items);
    if (result != DdeClient::Result::Ok) return Fail(client, result);
    for (const QString& item : items) {
        QString value;
        result = client.Request(kTopic, item, value);
        if (result != DdeClient::Result::Ok) return Fail(client, result);
        PrintLine(item, value);
    }
    return kOk;
}

int Exec(DdeClient& client, const QString& command) {
    const auto result = client.Execute(kTopic, command);
    return result == DdeClient::Result::Ok ? kOk : Fail(client, result);
}

// Interrupts end the watch through the event loop, so that it exits cleanly.
int signalPipe[2] = {-1, -1};
void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

int Watch(QCoreApplication& app, DdeClient& client, const QStringList& items) {
    if (pipe(signalPipe) != 0) return kRefused;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&app] { app.exit(kOk); });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGHUP, OnSignal);

    // Loops first, so that no change between the first values and the loops is lost.
    for (const QString& item : items) {
        const auto result = client.AdviseStart(kTopic, item);
        if (result != DdeClient::Result::Ok) return Fail(client, result);
    }
    for (const QString& item : items) {
        QString value;
        const auto result = client.Request(kTopic, item, value);
        if (result != DdeClient::Result::Ok) return Fail(client, result);
        PrintLine(item, value);
    }
    client.onAdvise = [](const QString&, const QString& item, const QString& value) { PrintLine(item, value); };
    client.onServiceGone = [&app] {
        std::fprintf(stderr, "brelune3-ctl: the player has gone\n");
        app.exit(kNoPlayer);
    };
    return app.exec();
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    if (args.contains("--help") || args.contains("-h")) {
        std::fputs(kUsage, stdout);
        return kOk;
    }
    const bool start = args.removeAll("--start") > 0;
    if (args.isEmpty()) {
        std::fputs(kUsage, stderr);
        return kRefused;
    }
    const QString command = args.takeFirst();
    const bool fits = (command == "get" && args.size() == 1) || (command == "watch" && !args.isEmpty()) ||
                      (command == "exec" && !args.isEmpty()) || (command == "list" && args.isEmpty());
    if (!fits) {
        std::fputs(kUsage, stderr);
        return kRefused;
    }

    DdeClient client(QDBusConnection::sessionBus(), kService, start);
    if (command == "get") return Get(client, args.front());
    if (command == "list") return List(client);
    if (command == "exec") return Exec(client, args.join(' '));
    return Watch(app, client, args);
}
