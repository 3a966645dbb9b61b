#include "platform/framework/ClientWidget.h"

#include <QApplication>
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

void ClientWidget::ArmDragMove() {
    if (leftDown && drag == Drag::None) drag = Drag::Armed;
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        leftDown = false;
        drag = Drag::None;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (drag == Drag::Armed && (global - pressPoint).manhattanLength() >= QApplication::startDragDistance()) {
        QWidget* top = window();
        windowStart = top->geometry().topLeft();
        // Catch up with the pointer first: the window manager moves the
        // window only by how far the pointer goes from here on.
        top->setGeometry(QRect(windowStart + (global - pressPoint), top->size()));
        if (top->windowHandle() && top->windowHandle()->startSystemMove()) {
            // The window manager has the pointer until the button goes up.
            drag = Drag::None;
            leftDown = false;
            return;
        }
        drag = Drag::Following;
        return;
    }
    if (drag == Drag::Following) {
        QWidget* top = window();
        top->setGeometry(QRect(windowStart + (global - pressPoint), top->size()));
    }
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftDown = false;
        drag = Drag::None;
    }
    QWidget::mouseReleaseEvent(event);
}
