#include "platform/dde/DdeItem.h"

#include "platform/dde/DdeNames.h"
#include "platform/dde/DdeServer.h"
#include "platform/dde/DdeTopic.h"

DdeItem::DdeItem(DdeTopic& topic, const std::string& name) : topic(topic), name(name) { topic.SetItem(this->name, this); }

DdeItem::~DdeItem() { topic.RemoveItem(name, this); }

bool DdeItem::SetValue(const std::string& text) {
    value = text;
    PostAdvise();
    return true;
}

bool DdeItem::IsFormatSupported(unsigned format) const { return format == dde::CF_TEXT; }

void DdeItem::PostAdvise() { topic.Server().PostAdvise(topic.GetName(), name); }
