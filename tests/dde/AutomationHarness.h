#pragma once
// The player layer over fakes (PlayerHarness.h) with the Audio topic attached
// as the program attaches it, on a private session bus, and one client on a
// connection of its own. The window records the dialogs it is asked to open
// instead of opening them.

#include <QCoreApplication>
#include <QDBusConnection>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dde/AudioTopic.h"
#include "platform/dde/DdeClient.h"
#include "platform/dde/DdeServer.h"
#include "tests/player/PlayerHarness.h"
#include "tests/support/EventWait.h"
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

struct AutomationHarness : WindowHarness<AutomatedWnd> {
    DdeServer server{"Brelune3"};
    AudioTopic topic{server, [this] { return windowDeleted ? nullptr : wnd; }};
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
        // Before the topic goes: closing publishes into it.
        if (wnd && !windowDeleted && wnd->IsWindow()) wnd->DestroyWindow();
        wnd = nullptr;
        QDBusConnection::disconnectFromBus("automation-client");
    }

    // Builds the window with the topic attached before creation.
    bool CreateWindow(const std::function<void(PlayerDecoder&)>& prepare = {}) {
        return Create(prepare, [this](AutomatedWnd& window) { window.SetItemPublisher(&topic); });
    }

    std::string Item(const char* name) {
        QString value;
        if (client.Request("Audio", name, value) != DdeClient::Result::Ok) return "<refused>";
        return value.toStdString();
    }

    DdeClient::Result Exec(const std::string& command) {
        return client.Execute("Audio", QString::fromStdString(command));
    }

    // One decode tick, as the timer would give it.
    void Tick() {
        TickCounter = 1;
        wnd->SendMessage(UM_DECODE_TICK, 0, 0);
    }
};
