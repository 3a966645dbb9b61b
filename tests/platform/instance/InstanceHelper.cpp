// A second (or racing, or crashing) start of the program, as the instance
// tests need it in a process of its own.
//
//   InstanceHelper start <class> <text file> <messages to await> <out file>
//     Claims the instance with the file's text as command line. Exits 0 when
//     it handed over; as the player it writes each text it receives to the
//     out file, one per line, and exits 20 after the awaited number (or
//     after 10 s); 21 when unanswered, 22 when alone.
//   InstanceHelper crash <class>
//     Starts listening, says "listening" and kills itself, leaving its socket.

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/instance/HandOver.h"
#include "platform/instance/InstanceListener.h"

namespace {
int Start(QCoreApplication& app, const std::string& windowClass, const char* textFile, int awaited,
          const char* outFile) {
    std::ifstream in(textFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    InstanceListener listener;
    switch (ClaimSingleInstance(listener, windowClass, text.str())) {
    case StartRole::HandedOver: return 0;
    case StartRole::Unanswered: return 21;
    case StartRole::Alone: return 22;
    case StartRole::Player: break;
    }
    std::ofstream out(outFile, std::ios::binary);
    int received = 0;
    listener.copyData = [&](const std::string& handed) {
        out << handed << '\n' << std::flush;
        if (++received >= awaited) app.quit();
    };
    if (awaited > 0) {
        QTimer::singleShot(10000, &app, &QCoreApplication::quit);
        app.exec();
    }
    return 20;
}

int Crash(const std::string& windowClass) {
    InstanceListener listener;
    if (listener.Listen(windowClass) != InstanceListener::ListenResult::Listening) return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    std::raise(SIGKILL);
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "start" && argc == 6) return Start(app, argv[2], argv[3], std::atoi(argv[4]), argv[5]);
    if (mode == "crash" && argc == 3) return Crash(argv[2]);
    std::fprintf(stderr, "usage: InstanceHelper start <class> <text file> <awaited> <out file> | crash <class>\n");
    return 2;
}
