#include "platform/framework/ClientWidget.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include "platform/framework/Wnd.h"

ClientWidget::ClientWidget(Wnd& wnd, QWidget* parent) : QWidget(parent), wnd(wnd) {
    // The window's own erase handler decides what is filled; Qt must not
    // clear the area first, or every paint would flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void ClientWidget::paintEvent(QPaintEvent*) {
    wnd.SendMessage(WM_ERASEBKGND, 0, 0);
    wnd.SendMessage(WM_PAINT, 0, 0);
}

void ClientWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    leftDown = true;
    drag = Drag::None;
    pressPoint = event->globalPosition().toPoint();
    const QPoint point = event->position().toPoint();
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakePointLParam(point.x(), point.y()));
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    drag = Drag::None;
    const QPoint point = event->position().toPoint();
    wnd.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MakePointLParam(point.x(), point.y()));
}

namespace {
// Wayland lets no window choose its own place on the screen.
bool CanPlaceItself() { return !QGuiApplication::platformName().startsWith("wayland"); }
}  // namespace

void ClientWidget::ArmDragMove() {
    if (leftDown && drag == Drag::None) drag = Drag::Armed;
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        leftDown = false;
        drag = Drag::None;
    }
    const QPoint global = event->globalPosition().toPoint();
    QWidget* top = window();
    if (drag == Drag::Armed && (global - pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        // Where a window cannot place itself, only the window manager can
        // move it; it then moves it by the pointer's way from here on.
        if (!CanPlaceItself() && top->windowHandle() && top->windowHandle()->startSystemMove()) {
            drag = Drag::None;
            leftDown = false;
            return;
        }
        drag = Drag::Following;
        windowStart = top->geometry().topLeft();
    }
    // Moved by the program, the window goes exactly as far as the pointer
    // has gone since the press, the drag distance included.
    if (drag == Drag::Following) top->setGeometry(QRect(windowStart + (global - pressPoint), top->size()));
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftDown = false;
        drag = Drag::None;
    }
    QWidget::mouseReleaseEvent(event);
}
