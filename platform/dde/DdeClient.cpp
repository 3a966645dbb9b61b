#include "platform/dde/DdeClient.h"

#include <QDBusError>
#include <QDBusServiceWatcher>

#include "platform/dde/DdeNames.h"

namespace {
bool MeansNoServer(const QDBusError& error) {
    switch (error.type()) {
        case QDBusError::ServiceUnknown:
        case QDBusError::Disconnected:
        case QDBusError::NoReply:
        case QDBusError::Timeout:
        case QDBusError::TimedOut:
        case QDBusError::NoServer:
        case QDBusError::NoNetwork:
        case QDBusError::UnknownObject: return true;
        default: return error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
    }
}
}  // namespace

DdeClient::DdeClient(QDBusConnection connection, const QString& service, bool autoStart)
    : connection(connection), service(service), busName(dde::BusName(service)), path(dde::ObjectPath(service)),
      autoStart(autoStart) {
    connection.connect(busName, path, dde::kInterface, "Advise", this, SLOT(OnAdvise(QString, QString, QString)));
    watcher = new QDBusServiceWatcher(busName, connection, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        if (onServiceGone) onServiceGone();
    });
}

DdeClient::~DdeClient() {
    connection.disconnect(busName, path, dde::kInterface, "Advise", this, SLOT(OnAdvise(QString, QString, QString)));
}

void DdeClient::OnAdvise(const QString& topic, const QString& item, const QString& value) {
    if (onAdvise) onAdvise(topic, item, value);
}

DdeClient::Result DdeClient::Call(const QString& method, const QVariantList& arguments, QDBusMessage* reply) {
    errorName.clear();
    errorText.clear();
    if (!connection.isConnected()) {
        errorName = QStringLiteral("org.freedesktop.DBus.Error.NoServer");
        errorText = QStringLiteral("no D-Bus session bus");
        return Result::NoServer;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(busName, path, dde::kInterface, method);
    message.setArguments(arguments);
    message.setAutoStartService(autoStart);
    const QDBusMessage answer = connection.call(message, QDBus::BlockWithGui);
    if (answer.type() == QDBusMessage::ErrorMessage) {
        errorName = answer.errorName();
        errorText = answer.errorMessage();
        return MeansNoServer(QDBusError(answer)) ? Result::NoServer : Result::Refused;
    }
    if (reply) *reply = answer;
    return Result::Ok;
}

DdeClient::Result DdeClient::Connect(const QString& topic) { return Call("Connect", {topic}); }

DdeClient::Result DdeClient::Request(const QString& topic, const QString& item, QString& value, unsigned format) {
    QDBusMessage reply;
    const Result result = Call("Request", {topic, item, format}, &reply);
    if (result == Result::Ok) value = reply.arguments().value(0).toString();
    return result;
}

DdeClient::Result DdeClient::AdviseStart(const QString& topic, const QString& item, unsigned format) {
    return Call("AdviseStart", {topic, item, format});
}

DdeClient::Result DdeClient::AdviseStop(const QString& topic, const QString& item, unsigned format) {
    return Call("AdviseStop", {topic, item, format});
}

DdeClient::Result DdeClient::Execute(const QString& topic, const QString& command) {
    return Call("Execute", {topic, command});
}

DdeClient::Result DdeClient::Poke(const QString& topic, const QString& item, const QString& data) {
    return Call("Poke", {topic, item, data, dde::CF_TEXT});
}

DdeClient::Result DdeClient::ListItems(const QString& topic, QStringList& items) {
    QDBusMessage reply;
    const Result result = Call("ListItems", {topic}, &reply);
    if (result == Result::Ok) items = reply.arguments().value(0).toStringList();
    return result;
}
