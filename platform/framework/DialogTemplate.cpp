#include "platform/framework/DialogTemplate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <array>
#include <utility>

#include "platform/framework/Resources.h"

namespace {
constexpr std::array<std::pair<const char*, DialogControl::Kind>, 10> kinds{{
    {"pushbutton", DialogControl::Kind::PushButton},
    {"radio", DialogControl::Kind::Radio},
    {"checkbox", DialogControl::Kind::CheckBox},
    {"groupbox", DialogControl::Kind::GroupBox},
    {"static", DialogControl::Kind::Static},
    {"icon", DialogControl::Kind::Icon},
    {"line", DialogControl::Kind::Line},
    {"edit", DialogControl::Kind::Edit},
    {"combobox", DialogControl::Kind::ComboBox},
    {"listbox", DialogControl::Kind::ListBox},
}};

bool ParseKind(const QString& name, DialogControl::Kind& kind) {
    for (const auto& [text, value] : kinds) {
        if (name == QLatin1String(text)) {
            kind = value;
            return true;
        }
    }
    return false;
}

bool ParseNumbers(const QJsonValue& value, int count, std::array<int, 4>& numbers) {
    const QJsonArray array = value.toArray();
    if (array.size() != count) return false;
    for (int i = 0; i < count; ++i) {
        if (!array[i].isDouble()) return false;
        numbers[size_t(i)] = array[i].toInt();
    }
    return true;
}

Qt::Alignment ParseAlign(const QString& align) {
    if (align == "center") return Qt::AlignHCenter;
    if (align == "right") return Qt::AlignRight;
    return Qt::AlignLeft;
}
}  // namespace

bool DialogTemplate::Load(int id, DialogTemplate& out) {
    QJsonObject object;
    return LoadJsonResource(QString(":/dialogs/%1.json").arg(id), object) && Parse(object, out);
}

bool DialogTemplate::Parse(const QJsonObject& object, DialogTemplate& out) {
    DialogTemplate result;
    std::array<int, 4> numbers{};
    if (!ParseNumbers(object.value("size"), 2, numbers)) return false;
    result.size = QSize(numbers[0], numbers[1]);
    result.caption = object.value("caption").toString().toStdString();
    for (const QJsonValue& value : object.value("controls").toArray()) {
        const QJsonObject entry = value.toObject();
        DialogControl control;
        if (!ParseKind(entry.value("kind").toString(), control.kind)) return false;
        if (!ParseNumbers(entry.value("rect"), 4, numbers)) return false;
        control.rect = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
        control.id = entry.value("id").toInt(-1);
        control.text = entry.value("text").toString().toStdString();
        control.group = entry.value("group").toBool(false);
        control.isDefault = entry.value("default").toBool(false);
        control.disabled = entry.value("disabled").toBool(false);
        control.hidden = entry.value("hidden").toBool(false);
        control.readOnly = entry.value("readonly").toBool(false);
        control.editable = entry.value("editable").toBool(false);
        control.align = ParseAlign(entry.value("align").toString());
        control.icon = entry.value("icon").toInt(0);
        result.controls.push_back(std::move(control));
    }
    out = std::move(result);
    return true;
}
