#pragma once
// A topic of the server: a table of items, found by name without regard to
// case, and the interpreter of execute commands sent to it. The topic owns
// its items and destroys them with itself; the base topic refuses every
// command. User-interface thread only.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/dde/DdeStringHandle.h"

class DdeItem;
class DdeServer;

class DdeTopic {
public:
    // Registers the topic in the server's table (replacing one of the same name).
    DdeTopic(DdeServer& server, const std::string& name);
    virtual ~DdeTopic();
    DdeTopic(const DdeTopic&) = delete;
    DdeTopic& operator=(const DdeTopic&) = delete;

    // `command` is the text up to its first NUL, which the topic may change
    // in place; true when the command was recognised.
    virtual bool OnExecute(std::string& command);

    const DdeStringHandle& GetName() const { return name; }
    DdeServer& Server() const { return server; }

    DdeItem* FindItem(const DdeStringHandle& itemName) const;
    // The items in the order they were made.
    const std::vector<DdeItem*>& Items() const { return order; }

    // Called by items as they come and go.
    void SetItem(const DdeStringHandle& itemName, DdeItem* item);
    void RemoveItem(const DdeStringHandle& itemName, DdeItem* item);

private:
    DdeServer& server;
    const DdeStringHandle name;
    std::unordered_map<DdeStringHandle, DdeItem*, DdeStringHandleHash> items;
    std::vector<DdeItem*> order;
};
