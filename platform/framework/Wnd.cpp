#include "platform/framework/Wnd.h"

#include <QString>
#include <QVariant>

#include "platform/framework/MessagePort.h"

Wnd::Wnd() : port(std::make_unique<MessagePort>(*this)) {}

Wnd::~Wnd() { delete widget.data(); }

void Wnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) { port->Post(message, wParam, lParam); }

LRESULT Wnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

LRESULT Wnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (DispatchMessage(message, wParam, lParam, result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT Wnd::DefWindowProc(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow();
    return 0;
}

namespace {
// Marks a top-level widget with the Wnd that owns it.
constexpr const char* kWndProperty = "brelune.wnd";

Wnd* WndOf(const QWidget* topLevel) { return static_cast<Wnd*>(topLevel->property(kWndProperty).value<void*>()); }
}  // namespace

bool Wnd::DestroyWindow() {
    if (!widget) return false;
    // Owned windows (a modeless dialog, say) go first, while this window can
    // still take the messages they send on their way out.
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow()) continue;
        if (Wnd* owned = WndOf(child)) owned->DestroyWindow();
    }
    SendMessage(WM_DESTROY, 0, 0);
    QWidget* doomed = widget.data();
    widget.clear();
    // The widget outlives this call (and perhaps this object) until it is deleted.
    doomed->setProperty(kWndProperty, QVariant());
    doomed->hide();
    // The widget may be in the middle of delivering the event that led here.
    doomed->deleteLater();
    PostNcDestroy();
    return true;
}

void Wnd::AttachWidget(QWidget* topLevel) {
    widget = topLevel;
    topLevel->setProperty(kWndProperty, QVariant::fromValue(static_cast<void*>(this)));
}

void Wnd::SetWindowText(const std::string& text) {
    if (widget) widget->setWindowTitle(QString::fromStdString(text));
}

std::string Wnd::GetWindowText() const { return widget ? widget->windowTitle().toStdString() : std::string(); }

bool Wnd::ShowWindow(int showCommand) {
    if (!widget) return false;
    const bool wasVisible = widget->isVisible();
    switch (showCommand) {
        case SW_HIDE: widget->hide(); break;
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE: widget->showMinimized(); break;
        case SW_SHOWMAXIMIZED: widget->showMaximized(); break;
        case SW_SHOWNORMAL:
        case SW_RESTORE: widget->showNormal(); break;
        default: widget->show(); break;
    }
    return wasVisible;
}

void Wnd::BringWindowToTop() {
    if (!widget) return;
    widget->raise();
    widget->activateWindow();
}
