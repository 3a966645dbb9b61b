#pragma once
// A client of an automation service on the bus (DdeNames.h): requests,
// advise loops, executes and the item list of a topic, as the command-line
// client, the tests and the benchmark use them. Calls wait for their reply
// while the calling thread's events go on being handled, so a client and the
// server may share a thread.
//
// Without auto-start a call to a service nobody runs fails at once with
// NoServer; with it, the bus may start the service's program first.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QDBusServiceWatcher;

class DdeClient : public QObject {
    Q_OBJECT
public:
    enum class Result { Ok, Refused, NoServer };

    DdeClient(QDBusConnection connection, const QString& service, bool autoStart = false);
    ~DdeClient() override;

    Result Connect(const QString& topic);
    Result Request(const QString& topic, const QString& item, QString& value, unsigned format = 1);
    Result AdviseStart(const QString& topic, const QString& item, unsigned format = 1);
    Result AdviseStop(const QString& topic, const QString& item, unsigned format = 1);
    Result Execute(const QString& topic, const QString& command);
    Result Poke(const QString& topic, const QString& item, const QString& data);
    Result ListItems(const QString& topic, QStringList& items);

    // The last refusal's error name and text.
    const QString& ErrorName() const { return errorName; }
    const QString& ErrorText() const { return errorText; }

    // Called with each advise the service sends this client.
    std::function<void(const QString& topic, const QString& item, const QString& value)> onAdvise;
    // Called when the service leaves the bus.
    std::function<void()> onServiceGone;

    QDBusConnection Connection() const { return connection; }

private slots:
    void OnAdvise(const QString& topic, const QString& item, const QString& value);

private:
    Result Call(const QString& method, const QVariantList& arguments, QDBusMessage* reply = nullptr);

    QDBusConnection connection;
    const QString service;
    const QString busName;
    const QString path;
    const bool autoStart;
    QDBusServiceWatcher* watcher = nullptr;
    QString errorName;
    QString errorText;
};
