#include "platform/framework/MessagePort.h"

#include <QCoreApplication>

#include "platform/framework/Wnd.h"

namespace {
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(MessagePort::EventType()), message(message), wParam(wParam), lParam(lParam) {}
    const UINT message;
    const WPARAM wParam;
    const LPARAM lParam;
};
}  // namespace

MessagePort::MessagePort(Wnd& wnd) : wnd(wnd) {}

QEvent::Type MessagePort::EventType() {
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void MessagePort::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    QCoreApplication::postEvent(this, new WindowMessageEvent(message, wParam, lParam));
}

bool MessagePort::event(QEvent* event) {
    if (event->type() != EventType()) return QObject::event(event);
    const auto* posted = static_cast<WindowMessageEvent*>(event);
    // A message posted before the window was destroyed finds no window.
    if (wnd.IsWindow()) wnd.SendMessage(posted->message, posted->wParam, posted->lParam);
    return true;
}
