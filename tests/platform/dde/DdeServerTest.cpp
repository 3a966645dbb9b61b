// The automation server over a private session bus, with real clients on
// connections of their own: names in any case, formats, requests, number
// items, advise loops per client, pokes, executes, and what one client can
// make the server hold.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dde/AdviseLoops.h"
#include "platform/dde/DdeClient.h"
#include "platform/dde/DdeNames.h"
#include "platform/dde/DdeNumberItem.h"
#include "platform/dde/DdeServer.h"
#include "platform/dde/DdeTopic.h"
#include "tests/support/EventWait.h"
#include "tests/support/PrivateBus.h"

namespace {
using Result = DdeClient::Result;

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(testbus::Start()); }
    void TearDown() override { testbus::Stop(); }
};
const auto* const busEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

using testsupport::WaitFor;

// A topic that records what it was asked to execute, and on which thread.
class RecordingTopic : public DdeTopic {
public:
    using DdeTopic::DdeTopic;
    bool OnExecute(std::string& command) override {
        commands.push_back(command);
        onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        return command == "go";
    }
    std::vector<std::string> commands;
    bool onUiThread = false;
};

struct Advise {
    QString topic, item, value;
};

// One client on its own connection, recording the advises it receives.
struct Client {
    explicit Client(const QString& name)
        : connection(QDBusConnection::connectToBus(QString::fromStdString(testbus::Address()), name)),
          dde(std::make_unique<DdeClient>(connection, "Brelune3")) {
        dde->onAdvise = [this](const QString& t, const QString& i, const QString& v) { advises.push_back({t, i, v}); };
    }
    ~Client() { Leave(); }
    void Leave() {
        if (!dde) return;
        dde.reset();
        // The connection closes once no copy of it is left.
        const QString name = connection.name();
        connection = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(name);
    }
    QString UniqueName() const { return connection.baseService(); }

    QDBusConnection connection;
    std::unique_ptr<DdeClient> dde;
    std::vector<Advise> advises;
};

class DdeServerTest : public ::testing::Test {
protected:
    DdeServerTest() {
        topic = new RecordingTopic(server, "Audio");
        time = new DdeNumberItem(*topic, "Time");
        name = new DdeItem(*topic, "TrackName");
        time->SetNumber(0);
    }
    ~DdeServerTest() override { delete topic; }

    DdeServer server{"Brelune3"};
    RecordingTopic* topic;
    DdeNumberItem* time;
    DdeItem* name;
};

TEST_F(DdeServerTest, RegistersItsBusNameAndObject) {
    ASSERT_TRUE(server.IsRegistered());
    Client client("names");
    EXPECT_EQ(client.dde->Connect("Audio"), Result::Ok);
}

TEST_F(DdeServerTest, TopicAndItemNamesMatchInAnyLetterCase) {
    Client client("case");
    struct Case {
        const char* topic;
        const char* item;
        Result expected;
        const char* error;
    } cases[] = {
        {"Audio", "Time", Result::Ok, ""},
        {"audio", "time", Result::Ok, ""},
        {"AUDIO", "tImE", Result::Ok, ""},
        {"Video", "Time", Result::Refused, dde::kErrorUnknownTopic},
        {"Audi", "Time", Result::Refused, dde::kErrorUnknownTopic},
        {"Audio", "Tim", Result::Refused, dde::kErrorUnknownItem},
        {"Audio", "", Result::Refused, dde::kErrorUnknownItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.topic) + " " + c.item);
        QString value;
        EXPECT_EQ(client.dde->Request(c.topic, c.item, value), c.expected);
        EXPECT_EQ(client.dde->AdviseStart(c.topic, c.item), c.expected);
        if (c.expected == Result::Ok) {
            EXPECT_EQ(value, "0");
        } else {
            EXPECT_EQ(client.dde->ErrorName(), c.error);
        }
    }
    EXPECT_EQ(client.dde->Connect("aUdIo"), Result::Ok);
    EXPECT_EQ(client.dde->Connect("Video"), Result::Refused);
}

TEST_F(DdeServerTest, OnlyTheTextFormatIsOffered) {
    Client client("formats");
    for (unsigned format : {0u, 7u, 13u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(format);
        QString value = "untouched";
        EXPECT_EQ(client.dde->Request("Audio", "Time", value, format), Result::Refused);
        EXPECT_EQ(client.dde->ErrorName(), dde::kErrorFormat);
        EXPECT_EQ(value, "untouched");
        EXPECT_EQ(client.dde->AdviseStart("Audio", "Time", format), Result::Refused);
    }
    EXPECT_EQ(server.Loops().ClientCount(), 0u);
    QString value;
    EXPECT_EQ(client.dde->Request("Audio", "Time", value, dde::CF_TEXT), Result::Ok);
}

TEST_F(DdeServerTest, RequestGivesTheTextAsSetAndAnEmptyItemGivesAnEmptyText) {
    Client client("request");
    QString value = "x";
    EXPECT_EQ(client.dde->Request("Audio", "TrackName", value), Result::Ok);
    EXPECT_EQ(value, "");
    name->SetValue("/music/Ünïcode name [offset=3].mp3");
    EXPECT_EQ(client.dde->Request("Audio", "TrackName", value), Result::Ok);
    EXPECT_EQ(value, QString::fromUtf8("/music/Ünïcode name [offset=3].mp3"));
}

TEST_F(DdeServerTest, NumberItemsAcceptOnlyTextThatStartsWithADigitOrMinus) {
    Client client("numbers");
    ASSERT_EQ(client.dde->AdviseStart("Audio", "Time"), Result::Ok);
    time->SetValue("7");
    ASSERT_TRUE(WaitFor([&] { return client.advises.size() == 1; }));
    client.advises.clear();
    struct Case {
        const char* text;
        bool accepted;
        std::int32_t number;  // after the call
        const char* value;    // after the call
    } cases[] = {
        {"abc", false, 7, "7"},      {"", false, 7, "7"},         {" 5", false, 7, "7"},
        {"12abc", true, 12, "12abc"}, {"-", true, 0, "-"},         {"-1", true, -1, "-1"},
        {"+3", false, -1, "-1"},      {"0042", true, 42, "0042"}, {"99999999999", true, 2147483647, "99999999999"},
        {"-99999999999", true, -2147483647 - 1, "-99999999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::size_t before = client.advises.size();
        EXPECT_EQ(time->SetValue(c.text), c.accepted);
        EXPECT_EQ(time->number, c.number);
        EXPECT_EQ(time->GetValue(), c.value);
        QString value;
        ASSERT_EQ(client.dde->Request("Audio", "Time", value), Result::Ok);
        EXPECT_EQ(value, c.value);
        if (c.accepted) {
            ASSERT_TRUE(WaitFor([&] { return client.advises.size() == before + 1; }));
            EXPECT_EQ(client.advises.back().value, c.value);
        } else {
            QCoreApplication::processEvents();
            EXPECT_EQ(client.advises.size(), before);
        }
    }
}

TEST_F(DdeServerTest, EverySetAdvisesEachClientOfItsLoopsOnly) {
    Client watcher("watcher"), other("other"), idle("idle");
    ASSERT_EQ(watcher.dde->AdviseStart("audio", "TIME"), Result::Ok);
    ASSERT_EQ(other.dde->AdviseStart("Audio", "TrackName"), Result::Ok);
    time->SetNumber(5);
    time->SetNumber(5);  // the same text again still advises
    name->SetValue("a.mp3");
    ASSERT_TRUE(WaitFor([&] { return watcher.advises.size() == 2 && other.advises.size() == 1; }));
    // Topic and item come under the names they were made with.
    EXPECT_EQ(watcher.advises[0].topic, "Audio");
    EXPECT_EQ(watcher.advises[0].item, "Time");
    EXPECT_EQ(watcher.advises[1].value, "5");
    EXPECT_EQ(other.advises[0].value, "a.mp3");

    ASSERT_EQ(watcher.dde->AdviseStop("Audio", "Time"), Result::Ok);
    time->SetNumber(6);
    name->SetValue("b.mp3");
    ASSERT_TRUE(WaitFor([&] { return other.advises.size() == 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(watcher.advises.size(), 2u);
    EXPECT_TRUE(idle.advises.empty());
}

TEST_F(DdeServerTest, PokesAreRefusedAndChangeNothing) {
    Client client("poke");
    for (const char* item : {"Time", "TrackName", "Nothing"}) {
        EXPECT_EQ(client.dde->Poke("Audio", item, "12"), Result::Refused);
        EXPECT_EQ(client.dde->ErrorName(), dde::kErrorNotProcessed);
    }
    EXPECT_EQ(time->GetValue(), "0");
    EXPECT_EQ(name->GetValue(), "");
}

TEST_F(DdeServerTest, ExecuteIsAnsweredByTheTopicOnTheUiThread) {
    Client client("exec");
    EXPECT_EQ(client.dde->Execute("AUDIO", "go"), Result::Ok);
    EXPECT_TRUE(topic->onUiThread);
    EXPECT_EQ(client.dde->Execute("Audio", "stop"), Result::Refused);
    EXPECT_EQ(client.dde->ErrorName(), dde::kErrorNotProcessed);
    EXPECT_EQ(client.dde->Execute("Audio", ""), Result::Refused);
    EXPECT_EQ(client.dde->Execute("Video", "go"), Result::Refused);
    EXPECT_EQ(client.dde->ErrorName(), dde::kErrorUnknownTopic);
    EXPECT_EQ(topic->commands, (std::vector<std::string>{"go", "stop", ""}));
    // Data with a NUL reaches the topic up to the NUL.
    EXPECT_TRUE(server.OnExecute(DdeStringHandle("audio"), std::string("go\0stop", 7)));
    EXPECT_EQ(topic->commands.back(), "go");
}

TEST_F(DdeServerTest, AnOverlongCommandIsRefusedUnreadAndTheServerAnswersOn) {
    Client client("huge");
    EXPECT_EQ(client.dde->Execute("Audio", QString(int(dde::kMaxCommandBytes) + 1, 'g')), Result::Refused);
    EXPECT_EQ(client.dde->ErrorName(), dde::kErrorLimits);
    EXPECT_EQ(client.dde->Execute("Audio", QString(8 * 1024 * 1024, 'g')), Result::Refused);
    EXPECT_TRUE(topic->commands.empty());
    EXPECT_EQ(client.dde->Execute("Audio", "go"), Result::Ok);
    // Very long names are refused like any unknown one.
    QString value;
    EXPECT_EQ(client.dde->Request("Audio", QString(1 << 20, 'x'), value), Result::Refused);
    EXPECT_LT(client.dde->ErrorText().size(), 200);
}

TEST_F(DdeServerTest, RepeatedAdviseStartsHoldOneLoopAndLoopsPerClientAreBounded) {
    Client client("greedy");
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(client.dde->AdviseStart("Audio", i % 2 ? "time" : "TIME"), Result::Ok);
    EXPECT_EQ(server.Loops().LoopCount(client.UniqueName()), 1u);
    time->SetNumber(3);
    ASSERT_TRUE(WaitFor([&] { return client.advises.size() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(client.advises.size(), 1u);

    std::vector<std::unique_ptr<DdeItem>> many;
    for (std::size_t i = 0; i < dde::kMaxLoopsPerClient; ++i)
        many.push_back(std::make_unique<DdeItem>(*topic, "Item" + std::to_string(i)));
    Result last = Result::Ok;
    std::size_t started = 1;
    for (std::size_t i = 0; i < many.size() && last == Result::Ok; ++i)
        if ((last = client.dde->AdviseStart("Audio", QString("Item%1").arg(i))) == Result::Ok) ++started;
    EXPECT_EQ(last, Result::Refused);
    EXPECT_EQ(client.dde->ErrorName(), dde::kErrorLimits);
    EXPECT_EQ(started, dde::kMaxLoopsPerClient);
    EXPECT_EQ(server.Loops().LoopCount(client.UniqueName()), dde::kMaxLoopsPerClient);
}

TEST_F(DdeServerTest, AClientsLoopsGoWhenItLeavesTheBus) {
    Client leaving("leaving"), staying("staying");
    ASSERT_EQ(leaving.dde->AdviseStart("Audio", "Time"), Result::Ok);
    ASSERT_EQ(leaving.dde->AdviseStart("Audio", "TrackName"), Result::Ok);
    ASSERT_EQ(staying.dde->AdviseStart("Audio", "Time"), Result::Ok);
    ASSERT_EQ(server.Loops().ClientCount(), 2u);
    leaving.Leave();
    ASSERT_TRUE(WaitFor([&] { return server.Loops().ClientCount() == 1; }));
    time->SetNumber(9);
    ASSERT_TRUE(WaitFor([&] { return staying.advises.size() == 1; }));
}

// A client in a process of its own that stops reading (stopped by a signal)
// loses its loops once it leaves a ping unanswered; one that is killed loses
// them when the bus sees it go.
TEST_F(DdeServerTest, AClientThatStopsReadingOrDiesLosesItsLoops) {
    server.Loops().SetLiveness(200, 300);
    for (const int signal : {SIGSTOP, SIGKILL}) {
        SCOPED_TRACE(signal);
        QProcess watch;
        watch.start(BRELUNE3_CTL, {"watch", "Time", "TrackName"});
        ASSERT_TRUE(WaitFor([&] { return server.Loops().ClientCount() == 1; }, 10000));
        const pid_t pid = pid_t(watch.processId());
        ASSERT_GT(pid, 0);
        ::kill(pid, signal);
        // Advises keep coming while it does not read.
        for (int i = 0; i < 50; ++i) time->SetNumber(i);
        EXPECT_TRUE(WaitFor([&] { return server.Loops().ClientCount() == 0; }, 10000));
        if (signal != SIGKILL) ::kill(pid, SIGKILL);
        watch.waitForFinished(5000);
    }
}

TEST(DdeTopicLifetime, DestroyingATopicDestroysAllItsItems) {
    DdeServer server("Brelune3");
    auto* topic = new DdeTopic(server, "Audio");
    for (int i = 0; i < 500; ++i) new DdeItem(*topic, "Item" + std::to_string(i));
    EXPECT_EQ(topic->Items().size(), 500u);
    EXPECT_EQ(server.FindTopic(DdeStringHandle("AUDIO")), topic);
    delete topic;  // leak checkers see any item left behind
    EXPECT_EQ(server.FindTopic(DdeStringHandle("Audio")), nullptr);
}
}  // namespace
