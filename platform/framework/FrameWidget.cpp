#include "platform/framework/FrameWidget.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QWindow>

#include "platform/framework/ClientWidget.h"
#include "platform/framework/DroppedFiles.h"
#include "platform/framework/Wnd.h"

FrameWidget::FrameWidget(Wnd& wnd) : wnd(wnd), client(new ClientWidget(wnd, this)) {}

void FrameWidget::SetMenuBar(QMenuBar* bar) {
    if (menuBar) {
        menuBar->hide();
        menuBar->deleteLater();
    }
    menuBar = bar;
    if (menuBar) {
        menuBar->setParent(this);
        menuBar->setNativeMenuBar(false);
        menuBar->show();
    }
    LayOut();
}

int FrameWidget::MenuBarHeight() const { return menuBar ? menuBar->heightForWidth(width()) : 0; }

void FrameWidget::LayOut() {
    const int menuHeight = MenuBarHeight();
    if (menuBar) menuBar->setGeometry(0, 0, width(), menuHeight);
    client->setGeometry(0, menuHeight, width(), height() - menuHeight);
}

void FrameWidget::SetExposedHandler(std::function<void()> handler) {
    exposed = std::move(handler);
    if (QWindow* window = windowHandle()) window->installEventFilter(this);
}

bool FrameWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() && exposed && windowHandle()->isExposed())
        exposed();
    return QWidget::eventFilter(watched, event);
}

void FrameWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    wnd.SendMessage(WM_CLOSE, 0, 0);
}

void FrameWidget::resizeEvent(QResizeEvent*) { LayOut(); }

void FrameWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void FrameWidget::dropEvent(QDropEvent* event) {
    DroppedFiles files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) files.paths.push_back(url.toLocalFile().toStdString());
    }
    event->acceptProposedAction();
    wnd.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0);
}
