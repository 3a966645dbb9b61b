#include "platform/framework/DialogWidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/framework/Wnd.h"

namespace {
// Static texts show '&' mnemonics the way buttons do: "&&" is one ampersand,
// a single '&' only marks the next letter.
QString StaticText(const std::string& text) {
    QString out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += QChar::fromLatin1(text[i]);
    }
    return out;
}
}  // namespace

DialogWidget::DialogWidget(Wnd& wnd, const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), wnd(wnd) {
    // The classic dialog base units: average character width and height.
    const QFontMetrics metrics(font());
    baseWidth = std::max(1, (metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 26 + 1) / 2);
    baseHeight = std::max(1, metrics.height());
    setWindowTitle(QString::fromStdString(dialogTemplate.caption));
    setFixedSize(ToPixels(QRect(QPoint(0, 0), dialogTemplate.size)).size());

    QButtonGroup* radioGroup = nullptr;
    for (const DialogControl& control : dialogTemplate.controls) {
        if (control.group) radioGroup = nullptr;
        QWidget* widget = MakeControl(control);
        widget->setGeometry(ToPixels(control.rect));
        widget->setEnabled(!control.disabled);
        widget->setVisible(!control.hidden);
        if (control.id != -1) items[control.id] = widget;
        if (control.kind == DialogControl::Kind::Radio) {
            if (!radioGroup) radioGroup = new QButtonGroup(this);
            radioGroup->addButton(static_cast<QRadioButton*>(widget));
        }
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && control.id != -1) {
            const UINT id = UINT(control.id);
            connect(button, &QAbstractButton::clicked, this, [this, id, button] {
                this->wnd.SendMessage(WM_COMMAND, MakeCommandWParam(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            });
        }
    }
}

QWidget* DialogWidget::MakeControl(const DialogControl& control) {
    const QString text = QString::fromStdString(control.text);
    switch (control.kind) {
        case DialogControl::Kind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setDefault(control.isDefault);
            return button;
        }
        case DialogControl::Kind::Radio: return new QRadioButton(text, this);
        case DialogControl::Kind::CheckBox: return new QCheckBox(text, this);
        case DialogControl::Kind::GroupBox: {
            auto* box = new QGroupBox(text, this);
            box->lower();
            return box;
        }
        case DialogControl::Kind::Icon: {
            auto* label = new QLabel(this);
            QImage image;
            if (LoadBitmap(control.icon, image)) label->setPixmap(QPixmap::fromImage(image));
            return label;
        }
        case DialogControl::Kind::Line: {
            auto* line = new QFrame(this);
            line->setFrameStyle(QFrame::Box | QFrame::Plain);
            line->setStyleSheet("color: black");
            return line;
        }
        case DialogControl::Kind::Edit: {
            auto* edit = new QLineEdit(text, this);
            edit->setReadOnly(control.readOnly);
            return edit;
        }
        case DialogControl::Kind::ComboBox: {
            auto* combo = new QComboBox(this);
            combo->setEditable(control.editable);
            combo->setInsertPolicy(QComboBox::NoInsert);
            return combo;
        }
        case DialogControl::Kind::ListBox: return new QListWidget(this);
        case DialogControl::Kind::Static: break;
    }
    auto* label = new QLabel(StaticText(control.text), this);
    // Statics show their text as it is: a file name such as "<b>.mp3" must
    // not turn into markup.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(control.align | Qt::AlignTop);
    return label;
}

QRect DialogWidget::ToPixels(const QRect& units) const {
    return QRect(units.x() * baseWidth / 4, units.y() * baseHeight / 8, units.width() * baseWidth / 4,
                 units.height() * baseHeight / 8);
}

QWidget* DialogWidget::Item(int id) const {
    const auto found = items.find(id);
    return found == items.end() ? nullptr : found->second;
}

void DialogWidget::reject() { wnd.SendMessage(WM_COMMAND, MakeCommandWParam(IDCANCEL, 0), 0); }
