#pragma once
// The client area of a frame window. It turns paint and mouse events into the
// window's messages: WM_ERASEBKGND then WM_PAINT, WM_LBUTTONDOWN and
// WM_LBUTTONDBLCLK (client coordinates in lParam). Child controls of the
// client area receive their own clicks, so those never reach the window.
//
// It also carries out a drag of the window by its client area: armed while
// the left button is down, the drag starts only once the pointer has moved
// the platform's drag distance, so that a press of a double click never
// starts a move (nor, under a window manager, loses its second click to the
// manager's move). The window then follows the pointer, moved by the program
// itself, with or without a window manager; only where windows cannot place
// themselves (Wayland) does the window manager's own move take over.

#include <QWidget>

class Wnd;

class ClientWidget : public QWidget {
public:
    ClientWidget(Wnd& wnd, QWidget* parent);

    // Drags the window with the pointer if the left button is still down
    // from a press on the client area; nothing otherwise.
    void ArmDragMove();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Armed, Following };

    Wnd& wnd;
    bool leftDown = false;
    Drag drag = Drag::None;
    QPoint pressPoint;   // global, of the press that armed the drag
    QPoint windowStart;  // top-level position when the window follows

};
