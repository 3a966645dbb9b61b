#pragma once
// The automation server: one per process, offering named topics of text
// items on the D-Bus session bus under the bus name made from its service
// name (DdeNames.h). Clients connect to a topic, request an item's text,
// start and stop advise loops on items, execute commands on a topic and are
// refused every poke; DdeServerCallback turns each of those D-Bus calls into
// one operation below, and AdviseLoops remembers which client watches what.
//
// The server does not own its topics. Every operation, and every call a
// client makes, runs on the user-interface thread: calls are delivered by
// the thread's event loop, also inside a modal dialog's loop.
//
// Without a session bus, or when another process holds the bus name, the
// server says so once on standard error and the program runs on without the
// service; items can still be set and read inside the process.

#include <QDBusConnection>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/dde/DdeStringHandle.h"

class AdviseLoops;
class DdeServerCallback;
class DdeTopic;

class DdeServer {
public:
    explicit DdeServer(const std::string& serviceName);
    virtual ~DdeServer();
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // The process's server, or null.
    static DdeServer* Instance();

    // Whether the service's bus name is held by this server.
    bool IsRegistered() const { return registered; }

    // The transactions. A false (or, for requests, no data) refuses them.
    virtual bool OnConnect(const DdeStringHandle& topic, unsigned format);
    virtual bool OnAdviseStart(const DdeStringHandle& topic, const DdeStringHandle& item, unsigned format);
    virtual bool OnRequest(const DdeStringHandle& topic, const DdeStringHandle& item, unsigned format,
                           std::string& data);
    // Never called: pokes are refused before they reach the server.
    virtual bool OnPoke(const DdeStringHandle& topic, const DdeStringHandle& item, const std::string& data,
                        unsigned format);
    // `data` is the command's bytes; the topic sees them up to the first NUL.
    virtual bool OnExecute(const DdeStringHandle& topic, const std::string& data);

    // Sends the item's current text to every client with an advise loop on it.
    void PostAdvise(const DdeStringHandle& topic, const DdeStringHandle& item);

    DdeTopic* FindTopic(const DdeStringHandle& name) const;
    // Called by topics as they come and go.
    void SetTopic(const DdeStringHandle& name, DdeTopic* topic);
    void RemoveTopic(const DdeStringHandle& name, DdeTopic* topic);

    const DdeStringHandle serviceName;
    AdviseLoops& Loops() const { return *loops; }
    QDBusConnection Connection() const { return connection; }

private:
    bool Register();

    std::unordered_map<DdeStringHandle, DdeTopic*, DdeStringHandleHash> topics;
    QDBusConnection connection;
    std::unique_ptr<DdeServerCallback> callback;
    std::unique_ptr<AdviseLoops> loops;
    bool registered = false;
};
