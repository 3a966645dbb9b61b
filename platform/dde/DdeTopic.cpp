#include "platform/dde/DdeTopic.h"

#include <algorithm>

#include "platform/dde/DdeItem.h"
#include "platform/dde/DdeServer.h"

DdeTopic::DdeTopic(DdeServer& server, const std::string& name) : server(server), name(name) {
    server.SetTopic(this->name, this);
}

DdeTopic::~DdeTopic() {
    // Each item removes its own entry as it goes.
    while (!order.empty()) delete order.back();
    server.RemoveTopic(name, this);
}

bool DdeTopic::OnExecute(std::string&) { return false; }

DdeItem* DdeTopic::FindItem(const DdeStringHandle& itemName) const {
    const auto found = items.find(itemName);
    return found == items.end() ? nullptr : found->second;
}

void DdeTopic::SetItem(const DdeStringHandle& itemName, DdeItem* item) {
    auto [entry, added] = items.try_emplace(itemName, item);
    if (!added) {
        std::replace(order.begin(), order.end(), entry->second, item);
        entry->second = item;
        return;
    }
    order.push_back(item);
}

void DdeTopic::RemoveItem(const DdeStringHandle& itemName, DdeItem* item) {
    const auto found = items.find(itemName);
    if (found != items.end() && found->second == item) items.erase(found);
    order.erase(std::remove(order.begin(), order.end(), item), order.end());
}
