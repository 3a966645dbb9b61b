#include "platform/dde/AdviseLoops.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <algorithm>

#include "platform/dde/DdeNames.h"

namespace {
constexpr int kPingPeriodMs = 15000;
constexpr int kPingAnswerMs = 10000;

// Errors that mean the client is gone or not reading; any other answer,
// even a refusal of the ping, shows that it reads.
bool MeansGone(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
        case QDBusError::ServiceUnknown:
        case QDBusError::Disconnected:
        case QDBusError::NoNetwork: return true;
        default: return error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}
}  // namespace

AdviseLoops::AdviseLoops(QDBusConnection connection)
    : connection(connection), watcher(QString(), connection, QDBusServiceWatcher::WatchForUnregistration),
      answerMs(kPingAnswerMs) {
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &watcher,
                     [this](const QString& client) { DropClient(client); });
    pingTimer.setInterval(kPingPeriodMs);
    QObject::connect(&pingTimer, &QTimer::timeout, &pingTimer, [this] { PingClients(); });
}

std::string AdviseLoops::Key(const DdeStringHandle& topic, const DdeStringHandle& item) {
    return topic.Key() + '\n' + item.Key();
}

AdviseLoops::StartResult AdviseLoops::Start(const QString& client, const DdeStringHandle& topic,
                                            const DdeStringHandle& item) {
    const auto known = byClient.find(client);
    if (known == byClient.end() && byClient.size() >= dde::kMaxAdviseClients) return StartResult::TooManyClients;
    const std::string key = Key(topic, item);
    if (known != byClient.end()) {
        if (known->second.count(key)) return StartResult::Started;
        if (known->second.size() >= dde::kMaxLoopsPerClient) return StartResult::TooManyLoops;
    }
    if (known == byClient.end()) {
        // A client that left between its call and this watch is caught by the ping.
        watcher.addWatchedService(client);
        if (!pingTimer.isActive()) pingTimer.start();
    }
    byClient[client].insert(key);
    byItem[key].push_back(client);
    return StartResult::Started;
}

bool AdviseLoops::Stop(const QString& client, const DdeStringHandle& topic, const DdeStringHandle& item) {
    const auto known = byClient.find(client);
    const std::string key = Key(topic, item);
    if (known == byClient.end() || !known->second.erase(key)) return false;
    std::vector<QString>& clients = byItem[key];
    clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
    if (clients.empty()) byItem.erase(key);
    if (known->second.empty()) DropClient(client);
    return true;
}

void AdviseLoops::DropClient(const QString& client) {
    const auto known = byClient.find(client);
    if (known == byClient.end()) return;
    for (const std::string& key : known->second) {
        std::vector<QString>& clients = byItem[key];
        clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
        if (clients.empty()) byItem.erase(key);
    }
    byClient.erase(known);
    watcher.removeWatchedService(client);
    if (byClient.empty()) pingTimer.stop();
}

const std::vector<QString>& AdviseLoops::ClientsOf(const DdeStringHandle& topic, const DdeStringHandle& item) const {
    static const std::vector<QString> none;
    const auto found = byItem.find(Key(topic, item));
    return found == byItem.end() ? none : found->second;
}

std::size_t AdviseLoops::LoopCount(const QString& client) const {
    const auto known = byClient.find(client);
    return known == byClient.end() ? 0 : known->second.size();
}

void AdviseLoops::SetLiveness(int periodMs, int answer) {
    pingTimer.setInterval(periodMs);
    answerMs = answer;
}

void AdviseLoops::PingClients() {
    for (const auto& [client, keys] : byClient) {
        if (!pinging.insert(client).second) continue;
        const QDBusMessage ping =
            QDBusMessage::createMethodCall(client, "/", "org.freedesktop.DBus.Peer", "Ping");
        auto* answer = new QDBusPendingCallWatcher(connection.asyncCall(ping, answerMs), &pingTimer);
        QObject::connect(answer, &QDBusPendingCallWatcher::finished, &pingTimer,
                         [this, client = client](QDBusPendingCallWatcher* call) {
                             pinging.erase(client);
                             if (call->isError() && MeansGone(call->error())) DropClient(client);
                             call->deleteLater();
                         });
    }
}
