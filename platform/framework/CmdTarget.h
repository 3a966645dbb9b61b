#pragma once
// Base of everything that owns a message table: windows, dialogs and the
// application object (which receives the commands no window handled).

#include "platform/framework/MessageMap.h"

class CmdTarget {
public:
    virtual ~CmdTarget() = default;

    // Looks the message up in this object's chain of tables; true when a
    // handler ran, its result in `result`.
    bool DispatchMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    static const MessageMap* MessageTable();

protected:
    virtual const MessageMap* GetMessageMap() const { return MessageTable(); }
};
