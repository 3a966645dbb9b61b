#include "platform/dde/DdeServerCallback.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMetaObject>
#include <QStringList>
#include <functional>
#include <map>

#include "platform/dde/AdviseLoops.h"
#include "platform/dde/DdeItem.h"
#include "platform/dde/DdeNames.h"
#include "platform/dde/DdeServer.h"
#include "platform/dde/DdeTopic.h"

namespace {
// Names in error texts are cut short: a client may send a very long one.
QString Shown(const QString& name) { return name.size() <= 64 ? name : name.left(64) + QStringLiteral("..."); }

DdeStringHandle Handle(const QVariant& argument) { return DdeStringHandle(argument.toString().toStdString()); }

struct Call {
    const QDBusMessage& message;
    DdeServer& server;

    QDBusMessage Error(const char* name, const QString& text) const { return message.createErrorReply(name, text); }

    // Why a transaction on topic (and item) in `format` was refused.
    QDBusMessage Refusal(int topicArg, int itemArg, int formatArg) const {
        const auto args = message.arguments();
        if (formatArg >= 0 && args[formatArg].toUInt() != dde::CF_TEXT)
            return Error(dde::kErrorFormat, QStringLiteral("only format 1 (text) is offered"));
        const DdeTopic* topic = server.FindTopic(Handle(args[topicArg]));
        if (!topic) return Error(dde::kErrorUnknownTopic, QStringLiteral("no topic ") + Shown(args[topicArg].toString()));
        if (itemArg >= 0 && !topic->FindItem(Handle(args[itemArg])))
            return Error(dde::kErrorUnknownItem, QStringLiteral("no item ") + Shown(args[itemArg].toString()));
        return Error(dde::kErrorNotProcessed, QStringLiteral("refused"));
    }

    QDBusMessage Connect() const {
        const auto args = message.arguments();
        if (server.OnConnect(Handle(args[0]), dde::CF_TEXT)) return message.createReply();
        return Refusal(0, -1, -1);
    }

    QDBusMessage Request() const {
        const auto args = message.arguments();
        std::string data;
        if (server.OnRequest(Handle(args[0]), Handle(args[1]), args[2].toUInt(), data))
            return message.createReply(QString::fromStdString(data));
        return Refusal(0, 1, 2);
    }

    QDBusMessage AdviseStart() const {
        const auto args = message.arguments();
        const DdeStringHandle topic = Handle(args[0]), item = Handle(args[1]);
        if (!server.OnAdviseStart(topic, item, args[2].toUInt())) return Refusal(0, 1, 2);
        switch (server.Loops().Start(message.service(), topic, item)) {
            case AdviseLoops::StartResult::Started: return message.createReply();
            case AdviseLoops::StartResult::TooManyClients:
                return Error(dde::kErrorLimits, QStringLiteral("too many clients have advise loops"));
            case AdviseLoops::StartResult::TooManyLoops:
                return Error(dde::kErrorLimits, QStringLiteral("this client has too many advise loops"));
        }
        return Refusal(0, 1, 2);
    }

    QDBusMessage AdviseStop() const {
        const auto args = message.arguments();
        if (args[2].toUInt() != dde::CF_TEXT) return Refusal(0, 1, 2);
        server.Loops().Stop(message.service(), Handle(args[0]), Handle(args[1]));
        return message.createReply();
    }

    QDBusMessage Execute() const {
        const auto args = message.arguments();
        const QByteArray command = args[1].toString().toUtf8();
        if (std::size_t(command.size()) > dde::kMaxCommandBytes)
            return Error(dde::kErrorLimits, QStringLiteral("command longer than %1 bytes").arg(dde::kMaxCommandBytes));
        if (server.OnExecute(Handle(args[0]), command.toStdString())) return message.createReply();
        if (!server.FindTopic(Handle(args[0]))) return Refusal(0, -1, -1);
        return Error(dde::kErrorNotProcessed, QStringLiteral("command not recognised"));
    }

    // Clients cannot change items.
    QDBusMessage Poke() const { return Error(dde::kErrorNotProcessed, QStringLiteral("items cannot be poked")); }

    QDBusMessage ListItems() const {
        const DdeTopic* topic = server.FindTopic(Handle(message.arguments()[0]));
        if (!topic) return Refusal(0, -1, -1);
        QStringList names;
        for (const DdeItem* item : topic->Items()) names << QString::fromStdString(item->GetName().Text());
        return message.createReply(names);
    }
};

struct Method {
    const char* signature;
    QDBusMessage (Call::*run)() const;
};

const std::map<QString, Method>& Methods() {
    static const std::map<QString, Method> methods{
        {QStringLiteral("Connect"), {"s", &Call::Connect}},
        {QStringLiteral("Request"), {"ssu", &Call::Request}},
        {QStringLiteral("AdviseStart"), {"ssu", &Call::AdviseStart}},
        {QStringLiteral("AdviseStop"), {"ssu", &Call::AdviseStop}},
        {QStringLiteral("Execute"), {"ss", &Call::Execute}},
        {QStringLiteral("Poke"), {"sssu", &Call::Poke}},
        {QStringLiteral("ListItems"), {"s", &Call::ListItems}},
    };
    return methods;
}
}  // namespace

DdeServerCallback::DdeServerCallback(DdeServer& server) : server(server) {}

bool DdeServerCallback::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    if (!message.interface().isEmpty() && message.interface() != QLatin1String(dde::kInterface)) return false;
    const auto found = Methods().find(message.member());
    if (found == Methods().end()) return false;
    QDBusConnection bus(connection);
    if (message.signature() != QLatin1String(found->second.signature)) {
        if (message.isReplyRequired())
            bus.send(message.createErrorReply(
                QDBusError::InvalidArgs, QStringLiteral("%1 takes (%2)").arg(message.member(), found->second.signature)));
        return true;
    }
    // Qt's bus thread waits for this handler to return before it goes on
    // with the connection. A command may run a while (Play waits for a
    // network connection, dispatching events), so it runs just after this
    // returns: other calls and advises go on meanwhile, and a Stop can end a
    // Play that is still connecting.
    const auto run = [this, message, bus, method = found->second.run] {
        const Call call{message, server};
        const QDBusMessage reply = (call.*method)();
        // Replies may reach a client that has left; that costs nothing.
        if (message.isReplyRequired()) bus.send(reply);
    };
    if (found->second.run == &Call::Execute)
        QMetaObject::invokeMethod(this, run, Qt::QueuedConnection);
    else
        run();
    return true;
}

QString DdeServerCallback::introspect(const QString&) const {
    return QStringLiteral(R"(  <interface name="org.orvantis.Dde">
    <method name="Connect"><arg name="topic" type="s" direction="in"/></method>
    <method name="Request"><arg name="topic" type="s" direction="in"/><arg name="item" type="s" direction="in"/><arg name="format" type="u" direction="in"/><arg name="value" type="s" direction="out"/></method>
    <method name="AdviseStart"><arg name="topic" type="s" direction="in"/><arg name="item" type="s" direction="in"/><arg name="format" type="u" direction="in"/></method>
    <method name="AdviseStop"><arg name="topic" type="s" direction="in"/><arg name="item" type="s" direction="in"/><arg name="format" type="u" direction="in"/></method>
    <method name="Execute"><arg name="topic" type="s" direction="in"/><arg name="command" type="s" direction="in"/></method>
    <method name="Poke"><arg name="topic" type="s" direction="in"/><arg name="item" type="s" direction="in"/><arg name="data" type="s" direction="in"/><arg name="format" type="u" direction="in"/></method>
    <method name="ListItems"><arg name="topic" type="s" direction="in"/><arg name="items" type="as" direction="out"/></method>
    <signal name="Advise"><arg name="topic" type="s"/><arg name="item" type="s"/><arg name="value" type="s"/></signal>
  </interface>
)");
}
