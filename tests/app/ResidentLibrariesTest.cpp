// What the real player keeps out of its memory while it plays a local file:
// the network module and libcurl (loaded by the first location), QtNetwork
// (single instance needs only a Unix socket) and the image-format plugins
// (its images are all PNG, read without asking the plugins).
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/EventWait.h"
#include "tests/support/TestEnvironment.h"

namespace {
std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether one of the process's threads is SDL's audio thread, which exists
// only while a device plays.
bool DevicePlays(qint64 pid) {
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (ReadAll((tasks + "/" + task + "/comm").toStdString()).rfind("SDLAudio", 0) == 0) return true;
    return false;
}
}  // namespace

TEST(ResidentLibraries, APlayerOfALocalFileLoadsNoNetworkCodeAndNoImagePlugins) {
    QProcess player;
    player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    player.start(BRELUNE3_BINARY, {QString::fromStdString(testenv::FixturesDir() + "/l3_mpeg1_44k_stereo_15s_64k.mp3")});
    ASSERT_TRUE(player.waitForStarted(5000));
    ASSERT_TRUE(testsupport::WaitFor([&] { return DevicePlays(player.processId()); }, 20000));

    const std::string maps = ReadAll("/proc/" + std::to_string(player.processId()) + "/maps");
    for (const char* kept : {"libmpxdec_http", "libcurl", "libQt6Network", "/imageformats/"}) {
        SCOPED_TRACE(kept);
        EXPECT_EQ(maps.find(kept), std::string::npos);
    }
    // Against a false pass: the maps were read from a process that has its libraries.
    EXPECT_NE(maps.find("libQt6Widgets"), std::string::npos);

    ::kill(pid_t(player.processId()), SIGTERM);
    EXPECT_TRUE(testsupport::WaitFor([&] { return player.state() == QProcess::NotRunning; }, 10000));
}
