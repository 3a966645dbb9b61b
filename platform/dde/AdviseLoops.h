#pragma once
// The advise loops of the server's clients: which client (by its unique bus
// name) watches which item of which topic. A client's loops go when it
// leaves the bus, and also when it stops answering the bus's ping for a
// while, so that signals never pile up for a client that no longer reads.
// Bounded by dde::kMaxAdviseClients and dde::kMaxLoopsPerClient.
// User-interface thread only.

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QString>
#include <QTimer>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/dde/DdeStringHandle.h"

class AdviseLoops {
public:
    enum class StartResult { Started, TooManyClients, TooManyLoops };

    explicit AdviseLoops(QDBusConnection connection);
    AdviseLoops(const AdviseLoops&) = delete;
    AdviseLoops& operator=(const AdviseLoops&) = delete;

    // Starting a loop the client already holds changes nothing and succeeds.
    StartResult Start(const QString& client, const DdeStringHandle& topic, const DdeStringHandle& item);
    // False when the client held no such loop.
    bool Stop(const QString& client, const DdeStringHandle& topic, const DdeStringHandle& item);
    void DropClient(const QString& client);

    // The clients with a loop on the item, in the order they started it.
    const std::vector<QString>& ClientsOf(const DdeStringHandle& topic, const DdeStringHandle& item) const;
    std::size_t ClientCount() const { return byClient.size(); }
    std::size_t LoopCount(const QString& client) const;

    // How often clients are pinged, and how long each has to answer.
    void SetLiveness(int periodMs, int answerMs);

private:
    static std::string Key(const DdeStringHandle& topic, const DdeStringHandle& item);
    void PingClients();

    QDBusConnection connection;
    QDBusServiceWatcher watcher;
    QTimer pingTimer;
    int answerMs;
    std::map<std::string, std::vector<QString>> byItem;
    std::map<QString, std::set<std::string>> byClient;
    // Clients whose ping has not been answered yet: one ping each at a time.
    std::set<QString> pinging;
};
