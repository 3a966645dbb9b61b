#include "tests/support/PrivateBus.h"

#include <QProcess>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <csignal>
#include <sys/prctl.h>

#include "tests/support/TestEnvironment.h"

namespace testbus {
namespace {
std::unique_ptr<QProcess> daemon;
std::string address;
}  // namespace

bool Start(const std::string& serviceDir) {
    const std::string config = testenv::Home() + "/test-bus.conf";
    std::ofstream out(config);
    out << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig><type>session</type>\n"
        << "<listen>unix:dir=" << testenv::Home() << "</listen>\n"
        << (serviceDir.empty() ? "" : "<servicedir>" + serviceDir + "</servicedir>\n")
        << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    out.close();

    daemon = std::make_unique<QProcess>();
    daemon->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // The bus goes with the test, also when the test dies.
    daemon->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon->start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + QString::fromStdString(config)});
    if (!daemon->waitForStarted(10000) || !daemon->waitForReadyRead(10000)) {
        std::fprintf(stderr, "could not start dbus-daemon\n");
        daemon.reset();
        return false;
    }
    address = daemon->readLine().trimmed().toStdString();
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
    return !address.empty();
}

void Stop() {
    if (!daemon) return;
    daemon->terminate();
    if (!daemon->waitForFinished(5000)) daemon->kill();
    daemon->waitForFinished(5000);
    daemon.reset();
}

const std::string& Address() { return address; }
}  // namespace testbus
