#pragma once
// The server's side of the bus: each call a client makes on the server's
// object becomes one transaction of the server (connect, request, advise
// start and stop, execute, poke) and its answer goes back as the call's
// reply or as a named error. Items' new texts go to the clients of their
// advise loops as "Advise" signals addressed to each of them alone.
//
// Qt hands the calls to this object on the user-interface thread.

#include <QDBusVirtualObject>

class DdeServer;

class DdeServerCallback : public QDBusVirtualObject {
public:
    explicit DdeServerCallback(DdeServer& server);

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    DdeServer& server;
};
