#include "platform/framework/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <utility>

namespace {
bool cancelled = false;

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon ToQtIcon(MessageBoxIcon icon) {
    switch (icon) {
        case MessageBoxIcon::Information: return QMessageBox::Information;
        case MessageBoxIcon::Question: return QMessageBox::Question;
        case MessageBoxIcon::Warning: return QMessageBox::Warning;
        case MessageBoxIcon::Error: return QMessageBox::Critical;
        case MessageBoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

int ShowMessageBox(const std::string& text, MessageBoxIcon icon) {
    if (cancelled) return IDCANCEL;
    if (Handler()) return Handler()(text, icon);
    QMessageBox box(ToQtIcon(icon), QApplication::applicationName(), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    return IDOK;
}

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }

void CancelModalLoops() {
    cancelled = true;
    // Innermost first, so that each loop is asked to end while it still runs.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) {
            modal->close();
        } else {
            // reject() is the dialog's own Cancel (Escape); a box with no
            // escape button ignores it, so make sure it ends.
            dialog->reject();
            if (dialog->isVisible()) dialog->done(QDialog::Rejected);
        }
        if (modal->isVisible()) break;
    }
}

bool ModalLoopsCancelled() { return cancelled; }
