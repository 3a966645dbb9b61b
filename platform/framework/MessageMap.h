#pragma once
// Per-class message tables. Each class that handles messages declares
// DECLARE_MESSAGE_TABLE() and defines its table in its .cpp:
//
//   const MessageMap* SkinFrameWnd::MessageTable() {
//       static const MessageEntry entries[] = {
//           OnMessage(WM_CREATE, &SkinFrameWnd::OnCreate),
//           OnCommand(ID_OPTIONS_OUTPUT, &SkinFrameWnd::OnOptionsOutput),
//       };
//       static const MessageMap table{FrameWnd::MessageTable(), entries};
//       return &table;
//   }
//
// Dispatch searches the most derived class's table first, then each base
// table in turn; the first matching entry handles the message. A handler that
// wants its base class's behaviour calls the base handler itself.

#include <span>
#include <type_traits>

#include "platform/framework/WindowMessages.h"

class CmdTarget;

struct MessageEntry {
    using Handler = LRESULT (CmdTarget::*)(WPARAM, LPARAM);
    enum class Kind {
        Message,  // any message with this number
        Command,  // WM_COMMAND from a menu, an accelerator or a button click (code 0)
        Notify,   // WM_COMMAND with exactly this notification code
    };
    Kind kind;
    UINT message;
    UINT firstId;
    UINT lastId;
    UINT code;
    Handler handler;
};

struct MessageMap {
    const MessageMap* base;
    std::span<const MessageEntry> entries;
};

template <class T>
MessageEntry OnMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CmdTarget, T>);
    return {MessageEntry::Kind::Message, message, 0, 0, 0, static_cast<MessageEntry::Handler>(handler)};
}

template <class T>
MessageEntry OnCommand(UINT id, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CmdTarget, T>);
    return {MessageEntry::Kind::Command, WM_COMMAND, id, id, 0, static_cast<MessageEntry::Handler>(handler)};
}

template <class T>
MessageEntry OnCommandRange(UINT firstId, UINT lastId, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CmdTarget, T>);
    return {MessageEntry::Kind::Command, WM_COMMAND, firstId, lastId, 0,
            static_cast<MessageEntry::Handler>(handler)};
}

template <class T>
MessageEntry OnNotify(UINT id, UINT code, LRESULT (T::*handler)(WPARAM, LPARAM)) {
    static_assert(std::is_base_of_v<CmdTarget, T>);
    return {MessageEntry::Kind::Notify, WM_COMMAND, id, id, code, static_cast<MessageEntry::Handler>(handler)};
}

// Declares the class's table and hooks it into dispatch; put it in a
// protected or public section.
#define DECLARE_MESSAGE_TABLE()                \
    static const MessageMap* MessageTable();   \
    const MessageMap* GetMessageMap() const override { return MessageTable(); }
