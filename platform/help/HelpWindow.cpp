#include "platform/help/HelpWindow.h"

#include <QFileInfo>
#include <QUrl>

#include "platform/help/HelpFolder.h"

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
    if (command == HELP_INDEX) page = "index.html";
    else if (command == HELP_HELPONHELP) page = "using.html";
    const QString folder = HelpFolder();
    if (page.isEmpty() || folder.isEmpty() || !QFileInfo(folder + "/" + page).isFile()) return false;
    QPointer<HelpWindow>& window = Instance();
    if (!window) window = new HelpWindow;
    window->setSource(QUrl::fromLocalFile(folder + "/" + page));
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}
