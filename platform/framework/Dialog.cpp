#include "platform/framework/Dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QButtonGroup>

#include "platform/framework/DialogWidget.h"
#include "platform/framework/MessageBox.h"

Dialog::Dialog(int templateId, Wnd* parent)
    : templateLoaded(DialogTemplate::Load(templateId, dialogTemplate)), parent(parent) {}

Dialog::Dialog(DialogTemplate dialogTemplate, Wnd* parent)
    : dialogTemplate(std::move(dialogTemplate)), templateLoaded(true), parent(parent) {}

const MessageMap* Dialog::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommand(IDOK, &Dialog::OnOKCommand),
        OnCommand(IDCANCEL, &Dialog::OnCancelCommand),
    };
    static const MessageMap table{Wnd::MessageTable(), entries};
    return &table;
}

LRESULT Dialog::OnOKCommand(WPARAM, LPARAM) {
    OnOK();
    return 0;
}

LRESULT Dialog::OnCancelCommand(WPARAM, LPARAM) {
    OnCancel();
    return 0;
}

void Dialog::OnCancel() {
    if (modal) {
        EndDialog(IDCANCEL);
    } else {
        DestroyWindow();
    }
}

bool Dialog::Build() {
    if (IsWindow() || !templateLoaded) return false;
    AttachWidget(new DialogWidget(*this, dialogTemplate, parent ? parent->Widget() : nullptr));
    return true;
}

DialogWidget* Dialog::Frame() const { return static_cast<DialogWidget*>(Widget()); }

int Dialog::DoModal() {
    if (ModalLoopsCancelled()) return IDCANCEL;
    if (!Build()) return -1;
    modal = true;
    OnInitDialog();
    const int result = Frame()->exec();
    DestroyWindow();
    modal = false;
    return result;
}

bool Dialog::Create() {
    if (!Build()) return false;
    modal = false;
    OnInitDialog();
    Frame()->show();
    return true;
}

void Dialog::EndDialog(int result) {
    if (!Frame()) return;
    if (modal) {
        Frame()->done(result);
    } else {
        Frame()->hide();
    }
}

QWidget* Dialog::GetDlgItem(int id) const { return Frame() ? Frame()->Item(id) : nullptr; }

void Dialog::SetDlgItemText(int id, const std::string& text) {
    const QString value = QString::fromStdString(text);
    QWidget* item = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(item)) label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(item)) button->setText(value);
    else if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        edit->setText(value);
        // Show the start of a text that does not fit, not its end.
        edit->setCursorPosition(0);
    } else if (auto* box = qobject_cast<QGroupBox*>(item)) box->setTitle(value);
    else if (auto* combo = qobject_cast<QComboBox*>(item)) combo->setEditText(value);
}

std::string Dialog::GetDlgItemText(int id) const {
    QWidget* item = GetDlgItem(id);
    QString value;
    if (auto* label = qobject_cast<QLabel*>(item)) value = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(item)) value = button->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(item)) value = edit->text();
    else if (auto* box = qobject_cast<QGroupBox*>(item)) value = box->title();
    else if (auto* combo = qobject_cast<QComboBox*>(item)) value = combo->currentText();
    return value.toStdString();
}

void Dialog::CheckDlgButton(int id, bool checked) {
    auto* button = DlgItem<QAbstractButton>(id);
    if (!button) return;
    // An exclusive group refuses to clear its checked button.
    QButtonGroup* group = button->group();
    const bool exclusive = group && group->exclusive();
    if (exclusive) group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive) group->setExclusive(true);
}

bool Dialog::IsDlgButtonChecked(int id) const {
    const auto* button = DlgItem<QAbstractButton>(id);
    return button && button->isChecked();
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (int id = firstId; id <= lastId; ++id) {
        if (DlgItem<QRadioButton>(id)) CheckDlgButton(id, id == checkId);
    }
}

void Dialog::EnableDlgItem(int id, bool enable) {
    if (QWidget* item = GetDlgItem(id)) item->setEnabled(enable);
}
