#pragma once
// Dialog templates as data: ":/dialogs/<id>.json" in the resource library.
//
//   { "caption": "Output", "size": [186, 140],
//     "controls": [
//       { "kind": "groupbox", "text": "Frequency", "rect": [7, 7, 80, 52] },
//       { "kind": "radio", "id": 1001, "text": "&Full", "rect": [14, 18, 60, 10], "group": true },
//       { "kind": "pushbutton", "id": 1, "text": "&OK", "rect": [129, 7, 50, 14], "default": true } ] }
//
// Sizes and rectangles ([x, y, width, height]) are in dialog units: a quarter
// of the dialog font's average character width and an eighth of its height.
// Kinds: pushbutton, radio (automatic), checkbox (automatic), groupbox,
// static, icon ("icon": resource id), line (a black frame one unit high),
// edit, combobox ("editable": drop-down with an edit field), listbox.
// Flags, all false unless given: group (starts a group: radio buttons up to
// the next group form one exclusive set), default, disabled, hidden, readonly.
// "align" ("left", "center", "right") places a static's text. Controls
// without "id" have id -1. Tab order is the order of the controls.

#include <QRect>
#include <QSize>
#include <string>
#include <vector>

class QJsonObject;

struct DialogControl {
    enum class Kind { PushButton, Radio, CheckBox, GroupBox, Static, Icon, Line, Edit, ComboBox, ListBox };
    Kind kind = Kind::Static;
    int id = -1;
    std::string text;
    QRect rect;
    bool group = false;
    bool isDefault = false;
    bool disabled = false;
    bool hidden = false;
    bool readOnly = false;
    bool editable = false;
    Qt::Alignment align = Qt::AlignLeft;
    int icon = 0;
};

struct DialogTemplate {
    std::string caption;
    QSize size;
    std::vector<DialogControl> controls;

    // False when the resource is missing or malformed (an unknown kind, a
    // rectangle that is not four numbers).
    static bool Load(int id, DialogTemplate& out);
    static bool Parse(const QJsonObject& object, DialogTemplate& out);
};
