#include "platform/framework/ClientWidget.h"

#include <QMouseEvent>

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
    const QPoint point = event->position().toPoint();
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MakePointLParam(point.x(), point.y()));
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    const QPoint point = event->position().toPoint();
    wnd.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MakePointLParam(point.x(), point.y()));
}
