#pragma once
// The program's resources by number, as the Qt resource library brelune_res
// holds them: strings (":/strings.json"), menus (":/menus/<id>.json"),
// accelerator tables (":/accelerators/<id>.json"), bitmaps and icons
// (":/skin/<id>.png"). Each loader returns false when the resource is missing
// or malformed and leaves its output empty; nothing here shows a message.

#include <QImage>
#include <QString>
#include <QKeySequence>
#include <string>
#include <vector>

#include "platform/framework/WindowMessages.h"

// The text of string `id`; false (and an empty text) when there is none.
bool LoadString(UINT id, std::string& text);
// Convenience form: the text, or empty when there is none.
std::string LoadString(UINT id);

bool LoadBitmap(int id, QImage& image);

// A menu item: a popup when it has items, a separator when `separator` is set,
// otherwise a command. Texts keep their '&' mnemonics and "\t" key labels.
struct MenuItem {
    std::string text;
    UINT id = 0;
    bool separator = false;
    std::vector<MenuItem> items;
};
bool LoadMenuResource(int id, std::vector<MenuItem>& menu);

struct Accelerator {
    QKeySequence key;
    UINT id = 0;
};
bool LoadAccelerators(int id, std::vector<Accelerator>& table);

class QJsonObject;

// The parsed JSON resource at `path` (":/..."); false when missing or not an
// object.
bool LoadJsonResource(const QString& path, QJsonObject& object);
