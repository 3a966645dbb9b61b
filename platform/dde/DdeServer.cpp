#include "platform/dde/DdeServer.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <cstdio>
#include <vector>

#include "platform/dde/AdviseLoops.h"
#include "platform/dde/DdeItem.h"
#include "platform/dde/DdeNames.h"
#include "platform/dde/DdeServerCallback.h"
#include "platform/dde/DdeTopic.h"

namespace {
DdeServer* current = nullptr;

// Automation is a side service: its absence is worth one line, not a dialog.
void SayOnce(const std::string& text) {
    static bool said = false;
    if (said) return;
    said = true;
    std::fprintf(stderr, "%s\n", text.c_str());
}
}  // namespace

DdeServer::DdeServer(const std::string& serviceName)
    : serviceName(serviceName), connection(QDBusConnection::sessionBus()) {
    // Recorded first, so that no call can arrive without a server to take it.
    if (!current) current = this;
    loops = std::make_unique<AdviseLoops>(connection);
    if (current == this) registered = Register();
}

bool DdeServer::Register() {
    const QString service = QString::fromStdString(serviceName.Text());
    // Named as the program is run, like the player's other lines on standard error.
    const std::string program = QString::fromStdString(serviceName.Text()).toLower().toStdString();
    if (!connection.isConnected()) {
        SayOnce(program + ": no D-Bus session bus (" + connection.lastError().message().toStdString() +
                "); running without automation");
        return false;
    }
    callback = std::make_unique<DdeServerCallback>(*this);
    if (!connection.registerVirtualObject(dde::ObjectPath(service), callback.get())) {
        SayOnce(program + ": could not offer the automation object; running without automation");
        return false;
    }
    const auto reply = connection.interface()->registerService(
        dde::BusName(service), QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        connection.unregisterObject(dde::ObjectPath(service));
        SayOnce(program + ": the bus name " + dde::BusName(service).toStdString() +
                " is taken; running without automation");
        return false;
    }
    return true;
}

DdeServer::~DdeServer() {
    topics.clear();
    if (registered) {
        const QString service = QString::fromStdString(serviceName.Text());
        // Blocking, so that every reply sent before (an "exit" among them)
        // has left before the name goes.
        connection.interface()->unregisterService(dde::BusName(service));
        connection.unregisterObject(dde::ObjectPath(service));
    }
    loops.reset();
    callback.reset();
    if (current == this) current = nullptr;
}

DdeServer* DdeServer::Instance() { return current; }

bool DdeServer::OnConnect(const DdeStringHandle& topic, unsigned) { return FindTopic(topic) != nullptr; }

bool DdeServer::OnAdviseStart(const DdeStringHandle& topic, const DdeStringHandle& item, unsigned format) {
    if (format != dde::CF_TEXT) return false;
    const DdeTopic* found = FindTopic(topic);
    return found && found->FindItem(item);
}

bool DdeServer::OnRequest(const DdeStringHandle& topic, const DdeStringHandle& item, unsigned format,
                          std::string& data) {
    if (format != dde::CF_TEXT) return false;
    const DdeTopic* found = FindTopic(topic);
    const DdeItem* value = found ? found->FindItem(item) : nullptr;
    if (!value) return false;
    data = value->GetValue();
    return true;
}

bool DdeServer::OnPoke(const DdeStringHandle&, const DdeStringHandle&, const std::string&, unsigned) {
    return false;
}

bool DdeServer::OnExecute(const DdeStringHandle& topic, const std::string& data) {
    DdeTopic* found = FindTopic(topic);
    if (!found) return false;
    std::string command(data.c_str());  // up to the first NUL
    return found->OnExecute(command);
}

void DdeServer::PostAdvise(const DdeStringHandle& topic, const DdeStringHandle& item) {
    if (!registered) return;
    const std::vector<QString>& clients = loops->ClientsOf(topic, item);
    if (clients.empty()) return;
    std::string data;
    if (!OnRequest(topic, item, dde::CF_TEXT, data)) return;
    // Every loop gets the same text: nothing can change it between the sends.
    const DdeTopic* found = FindTopic(topic);
    const QString topicName = QString::fromStdString(found->GetName().Text());
    const QString itemName = QString::fromStdString(found->FindItem(item)->GetName().Text());
    const QString value = QString::fromStdString(data);
    const QString service = QString::fromStdString(serviceName.Text());
    for (const QString& client : clients) {
        QDBusMessage signal =
            QDBusMessage::createTargetedSignal(client, dde::ObjectPath(service), dde::kInterface, "Advise");
        signal << topicName << itemName << value;
        connection.send(signal);
    }
}

DdeTopic* DdeServer::FindTopic(const DdeStringHandle& name) const {
    const auto found = topics.find(name);
    return found == topics.end() ? nullptr : found->second;
}

void DdeServer::SetTopic(const DdeStringHandle& name, DdeTopic* topic) { topics[name] = topic; }

void DdeServer::RemoveTopic(const DdeStringHandle& name, DdeTopic* topic) {
    const auto found = topics.find(name);
    if (found != topics.end() && found->second == topic) topics.erase(found);
}
