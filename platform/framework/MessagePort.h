#pragma once
// The receiving end of a window's posted messages: a QObject on the
// user-interface thread to which any thread may post. Posted messages reach
// the window through the Qt event loop, also inside nested (modal) loops.

#include <QEvent>
#include <QObject>

#include "platform/framework/WindowMessages.h"

class Wnd;

class MessagePort : public QObject {
public:
    explicit MessagePort(Wnd& wnd);

    // Thread-safe: queues the message for the port's thread.
    void Post(UINT message, WPARAM wParam, LPARAM lParam);

    static QEvent::Type EventType();

protected:
    bool event(QEvent* event) override;

private:
    Wnd& wnd;
};
