#pragma once
// The client area of a frame window. It turns paint and mouse events into the
// window's messages: WM_ERASEBKGND then WM_PAINT, WM_LBUTTONDOWN and
// WM_LBUTTONDBLCLK (client coordinates in lParam). Child controls of the
// client area receive their own clicks, so those never reach the window.

#include <QWidget>

class Wnd;

class ClientWidget : public QWidget {
public:
    ClientWidget(Wnd& wnd, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    Wnd& wnd;
};
