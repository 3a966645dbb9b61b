#include "platform/framework/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <utility>

namespace {
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
    if (Handler()) return Handler()(text, icon);
    QMessageBox box(ToQtIcon(icon), QApplication::applicationName(), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
    return IDOK;
}

void SetMessageBoxHandler(MessageBoxHandler handler) { Handler() = std::move(handler); }
