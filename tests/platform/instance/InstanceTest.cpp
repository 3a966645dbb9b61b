#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLocalSocket>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/instance/HandOver.h"
#include "platform/instance/InstanceListener.h"
#include "platform/instance/InstanceSocketPath.h"
#include "platform/instance/UnixSocket.h"
#include "tests/support/TestEnvironment.h"

namespace {
const std::string kPlayerClass = "Brelune3 Layer III Player";

std::string TempFile(const std::string& name, const std::string& content) {
    const std::string path = testenv::Home() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

QStringList StartArgs(const std::string& windowClass, const std::string& textFile, int awaited,
                      const std::string& outFile) {
    return {"start", QString::fromStdString(windowClass), QString::fromStdString(textFile),
            QString::number(awaited), QString::fromStdString(outFile)};
}

// Runs the helper while this process's event loop keeps serving its listener.
int RunHelper(const QStringList& args) {
    QProcess helper;
    QEventLoop loop;
    QObject::connect(&helper, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    helper.start(INSTANCE_HELPER, args);
    loop.exec();
    if (helper.state() != QProcess::NotRunning) {
        helper.kill();
        helper.waitForFinished();
        return -1;
    }
    return helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -2;
}

// What the running instance saw.
struct Received {
    int activations = 0;
    std::vector<std::string> texts;
};

void Record(InstanceListener& listener, Received& received) {
    listener.activate = [&received] { ++received.activations; };
    listener.copyData = [&received](const std::string& text) { received.texts.push_back(text); };
}

void SpinEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
}  // namespace

TEST(SingleInstance, SecondStartHandsOverTheExactTextAndExitsZero) {
    std::string big;
    while (big.size() < 32 * 1024) big += "\"/music/a long folder name/track " + std::to_string(big.size()) + ".mp3\" ";
    const std::string texts[] = {
        "C:\\a.mp3",
        " \"quoted name.mp3\"  /L list.m3u ",  // blanks at either end belong to it
        "Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xab.mp3",
        big,
    };
    InstanceListener listener;
    ASSERT_EQ(listener.Listen(kPlayerClass), InstanceListener::ListenResult::Listening);
    Received received;
    Record(listener, received);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const std::string file = TempFile("text" + std::to_string(i), texts[i]);
        EXPECT_EQ(RunHelper(StartArgs(kPlayerClass, file, 0, "-")), 0) << "case " << i;
        ASSERT_EQ(received.texts.size(), i + 1) << "case " << i;
        EXPECT_EQ(received.texts.back(), texts[i]) << "case " << i;
        EXPECT_EQ(received.activations, int(i + 1)) << "case " << i;
    }
}

TEST(SingleInstance, EmptyCommandLineOnlyActivates) {
    InstanceListener listener;
    ASSERT_EQ(listener.Listen(kPlayerClass), InstanceListener::ListenResult::Listening);
    Received received;
    Record(listener, received);
    EXPECT_EQ(RunHelper(StartArgs(kPlayerClass, TempFile("empty", ""), 0, "-")), 0);
    EXPECT_EQ(received.activations, 1);
    EXPECT_TRUE(received.texts.empty());
}

TEST(SingleInstance, SocketLeftByACrashedRunDoesNotStopTheNextStart) {
    const std::string windowClass = "Crash Test Class";
    QProcess crashed;
    crashed.start(INSTANCE_HELPER, {"crash", QString::fromStdString(windowClass)});
    ASSERT_TRUE(crashed.waitForFinished(10000));
    ASSERT_EQ(crashed.readAllStandardOutput().trimmed(), "listening");
    ASSERT_EQ(crashed.exitStatus(), QProcess::CrashExit);
    const std::optional<std::string> path = InstanceSocketPath(windowClass);
    ASSERT_TRUE(path && std::filesystem::exists(*path)) << "the crash should leave its socket behind";

    EXPECT_FALSE(HandOverToRunningInstance(windowClass, "x.mp3")) << "nobody answers a stale socket";
    InstanceListener listener;
    ASSERT_EQ(ClaimSingleInstance(listener, windowClass, "first.mp3"), StartRole::Player);
    Received received;
    Record(listener, received);
    EXPECT_EQ(RunHelper(StartArgs(windowClass, TempFile("second", "second.mp3"), 0, "-")), 0);
    EXPECT_EQ(received.texts, std::vector<std::string>{"second.mp3"});
}

TEST(SingleInstance, RacingStartsEndWithOnePlayerThatReceivesTheOthers) {
    const std::string windowClass = "Race Test Class";
    const int racers = 5;
    const std::string outFile = testenv::Home() + "/race-out";
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < racers; ++i) {
        const std::string text = TempFile("racer" + std::to_string(i), "racer " + std::to_string(i));
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->start(INSTANCE_HELPER, StartArgs(windowClass, text, racers - 1, outFile));
    }
    int players = 0;
    int handedOver = 0;
    for (auto& process : processes) {
        ASSERT_TRUE(process->waitForFinished(20000));
        ASSERT_EQ(process->exitStatus(), QProcess::NormalExit);
        players += process->exitCode() == 20 ? 1 : 0;
        handedOver += process->exitCode() == 0 ? 1 : 0;
    }
    EXPECT_EQ(players, 1);
    EXPECT_EQ(handedOver, racers - 1);
    std::stringstream lines(ReadText(outFile));
    int received = 0;
    for (std::string line; std::getline(lines, line); ++received) EXPECT_EQ(line.rfind("racer ", 0), 0u) << line;
    EXPECT_EQ(received, racers - 1);
}

TEST(SingleInstance, MalformedOrStalledClientsAreDroppedAndTheNextStartStillGetsThrough) {
    InstanceListener listener;
    ASSERT_EQ(listener.Listen(kPlayerClass), InstanceListener::ListenResult::Listening);
    Received received;
    Record(listener, received);
    const QByteArray garbage[] = {
        QByteArray("GET / HTTP/1.0\r\n\r\n"),
        QByteArray("B3HO\x7f\xff\xff\xff", 8),   // claims 2 GiB
        QByteArray("B3HO\x00\x00\x00\x0a" "abc", 11),  // cut short, then the client leaves
        QByteArray("B3", 2),
    };
    const std::string path = *InstanceSocketPath(kPlayerClass);
    for (const QByteArray& bytes : garbage) {
        QLocalSocket client;
        client.connectToServer(QString::fromStdString(path));
        ASSERT_TRUE(client.waitForConnected(1000));
        client.write(bytes);
        client.flush();
        SpinEvents(100);
        client.abort();
    }
    // A client that sends nothing at all stays connected while another start goes through.
    QLocalSocket silent;
    silent.connectToServer(QString::fromStdString(path));
    ASSERT_TRUE(silent.waitForConnected(1000));
    EXPECT_EQ(RunHelper(StartArgs(kPlayerClass, TempFile("after", "after.mp3"), 0, "-")), 0);
    EXPECT_EQ(received.texts, std::vector<std::string>{"after.mp3"});
    EXPECT_EQ(received.activations, 1);
}

// Writing to a closed socket raises SIGPIPE, which ends a process by default;
// neither side of a hand-over may die of a peer that leaves early.
TEST(SingleInstance, APeerThatLeavesEarlyKillsNeitherSide) {
    // QtNetwork, which the other tests' clients use, ignores SIGPIPE for the
    // whole process; the player does not load it.
    std::signal(SIGPIPE, SIG_DFL);
    {
        InstanceListener listener;
        ASSERT_EQ(listener.Listen(kPlayerClass), InstanceListener::ListenResult::Listening);
        Received received;
        Record(listener, received);
        {
            const UniqueFd client = ConnectToUnixSocket(*InstanceSocketPath(kPlayerClass), std::chrono::seconds(1));
            const char message[] = "B3HO\x00\x00\x00\x0bleft early";  // with the zero the array ends in
            ASSERT_TRUE(client.Valid() && WriteAll(client.Get(), message, sizeof message, std::chrono::seconds(1)));
        }  // gone before the answer comes
        SpinEvents(100);
        EXPECT_EQ(RunHelper(StartArgs(kPlayerClass, TempFile("after", "after.mp3"), 0, "-")), 0);
        EXPECT_EQ(received.texts, (std::vector<std::string>{"left early", "after.mp3"}));
    }
    // An instance that drops the second start unread while it is still
    // writing; more than the socket buffers hold keeps it writing.
    const std::string windowClass = "Early Close Class";
    const std::string path = *InstanceSocketPath(windowClass);
    ::unlink(path.c_str());
    const UniqueFd server = ListenOnUnixSocket(path, 1);
    ASSERT_TRUE(server.Valid());
    std::thread dropper([&server] {
        if (WaitReadable(server.Get(), std::chrono::seconds(5)) == WaitResult::Ready) {
            UniqueFd dropped = AcceptUnixConnection(server.Get());
        }
    });
    EXPECT_FALSE(HandOverToRunningInstance(windowClass, std::string(4 << 20, 'x')));
    dropper.join();
    ::unlink(path.c_str());
}
