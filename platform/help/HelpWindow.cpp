#include "platform/help/HelpWindow.h"

#include <QFile>
#include <QUrl>

HelpWindow::HelpWindow() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Brelune3 Help");
    setOpenExternalLinks(true);
    resize(560, 460);
}

QPointer<HelpWindow>& HelpWindow::Instance() {
    static QPointer<HelpWindow> window;
    return window;
}

HelpWindow* HelpWindow::Current() { return Instance().data(); }

bool HelpWindow::Show(UINT command) {
    QString page;
    if (command == HELP_INDEX) page = "/help/index.html";
    else if (command == HELP_HELPONHELP) page = "/help/using.html";
    if (page.isEmpty() || !QFile::exists(":" + page)) return false;
    QPointer<HelpWindow>& window = Instance();
    if (!window) window = new HelpWindow;
    window->setSource(QUrl("qrc:" + page));
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}
