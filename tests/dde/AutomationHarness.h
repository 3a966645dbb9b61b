#pragma once
// The player layer over fakes (PlayerHarness.h) with the Audio topic attached
// as the program attaches it, on a private session bus, and one client on a
// connection of its own. The window records the dialogs it is asked to open
// instead of opening them.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dde/AudioTopic.h"
#include "platform/dde/DdeClient.h"
#include "platform/dde/DdeServer.h"
#include "tests/player/PlayerHarness.h"
#include "tests/support/PrivateBus.h"

class AutomatedWnd : public RecordingPlayerWnd {
public:
    using RecordingPlayerWnd::RecordingPlayerWnd;
    std::vector<int> dialogs;
    int OpenDialog(int number, int argument) override {
        dialogs.push_back(number);
        // Closing is the one request carried out, so that exit can be seen.
        if (number == 0) return PlayerWnd::OpenDialog(number, argument);
        return 0;
    }
};

struct AutomationHarness : PlayerHarness {
    DdeServer server{"Brelune3"};
    AutomatedWnd* window = nullptr;
    AudioTopic topic{server, [this] { return window; }};
    QDBusConnection connection{
        QDBusConnection::connectToBus(QString::fromStdString(testbus::Address()), "automation-client")};
    DdeClient client{connection, "Brelune3"};
    std::map<QString, std::vector<QString>> advised;

    AutomationHarness() {
        client.onAdvise = [this](const QString&, const QString& item, const QString& value) {
            advised[item].push_back(value);
        };
    }
    ~AutomationHarness() {
        if (window && !windowDeleted && window->IsWindow()) window->DestroyWindow();
        wnd = nullptr;
        window = nullptr;
        QDBusConnection::disconnectFromBus("automation-client");
    }

    // Builds the window with the topic attached before creation.
    bool CreateWindow(const std::function<void(PlayerDecoder&)>& prepare = {}) {
        auto ownDecoder = std::make_unique<PlayerDecoder>();
        auto ownDevice = std::make_unique<FakeWaveOut>();
        auto ownTimer = std::make_unique<FakeTimer>();
        decoder = ownDecoder.get();
        device = ownDevice.get();
        timer = ownTimer.get();
        if (prepare) prepare(*decoder);
        PlayerDevices devices{std::move(ownDecoder), std::move(ownDevice), std::move(ownTimer),
                              std::make_unique<FakeClock>()};
        auto* created = new AutomatedWnd(store, std::move(devices));
        created->SetItemPublisher(&topic);
        created->deleted = &windowDeleted;
        if (!created->Create("Brelune3 Layer III Player", "Brelune3", kStyle, 201)) return false;
        window = created;
        wnd = created;
        return true;
    }

    std::string Item(const char* name) {
        QString value;
        if (client.Request("Audio", name, value) != DdeClient::Result::Ok) return "<refused>";
        return value.toStdString();
    }

    DdeClient::Result Exec(const std::string& command) {
        return client.Execute("Audio", QString::fromStdString(command));
    }

    static bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return true;
    }

    // One decode tick, as the timer would give it.
    void Tick() {
        TickCounter = 1;
        wnd->SendMessage(UM_DECODE_TICK, 0, 0);
    }
};
