#pragma once
// The one thing code outside the window classes may do with a window: post or
// send it a message. The playback engine and the timer thread reach the main
// window only through this, which keeps them testable without a window.

#include "platform/framework/WindowMessages.h"

class MessageTarget {
public:
    virtual ~MessageTarget() = default;

    // Queues the message for the target's thread and returns at once.
    // Safe to call from any thread.
    virtual void PostMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    // Dispatches the message synchronously and returns the handler's result.
    // Only from the target's own (user-interface) thread.
    virtual LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};
