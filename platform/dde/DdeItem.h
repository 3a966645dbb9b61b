#pragma once
// A named text value of a topic. Setting it advises every client that holds
// an advise loop on it, also when the text did not change: callers that want
// notifications only on change compare before they set.
//
// The topic owns its items: an item registers itself in its topic's table
// when constructed and removes itself when destroyed. User-interface thread
// only.

#include <string>

#include "platform/dde/DdeStringHandle.h"

class DdeTopic;

class DdeItem {
public:
    DdeItem(DdeTopic& topic, const std::string& name);
    DdeItem(const DdeItem&) = delete;
    DdeItem& operator=(const DdeItem&) = delete;

    // Stores the text, then advises; true.
    virtual bool SetValue(const std::string& text);
    // Only text is offered.
    virtual bool IsFormatSupported(unsigned format) const;
    virtual ~DdeItem();

    const DdeStringHandle& GetName() const { return name; }
    const std::string& GetValue() const { return value; }
    // Sends the current text to every advise loop on this item.
    void PostAdvise();

protected:
    DdeTopic& topic;
    const DdeStringHandle name;
    std::string value;
};
