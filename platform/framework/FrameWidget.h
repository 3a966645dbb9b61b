#pragma once
// The top-level widget of a frame window: an optional menu bar over the
// client area, laid out by hand so that the outer size is exactly the client
// size plus the menu bar. Closing it asks the window (WM_CLOSE) instead of
// closing; dropped files become WM_DROPFILES.

#include <QWidget>
#include <functional>

class ClientWidget;
class QMenuBar;
class Wnd;

class FrameWidget : public QWidget {
public:
    explicit FrameWidget(Wnd& wnd);

    ClientWidget* Client() const { return client; }
    QMenuBar* MenuBar() const { return menuBar; }
    // Takes ownership; null removes (and deletes) the current menu bar.
    void SetMenuBar(QMenuBar* bar);
    // The height the current menu bar takes at the current width (0 without).
    int MenuBarHeight() const;
    void LayOut();
    // Called each time the window system shows (exposes) the window; by then
    // a window manager has put its frame around it.
    void SetExposedHandler(std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Wnd& wnd;
    ClientWidget* client;
    QMenuBar* menuBar = nullptr;
    std::function<void()> exposed;
};
