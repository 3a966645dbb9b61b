#include "platform/framework/Resources.h"

#include <QFile>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
bool ReadMenuItems(const QJsonArray& array, std::vector<MenuItem>& items) {
    for (const QJsonValue& value : array) {
        if (!value.isObject()) return false;
        const QJsonObject object = value.toObject();
        MenuItem item;
        item.separator = object.value("separator").toBool(false);
        item.text = object.value("text").toString().toStdString();
        item.id = UINT(object.value("id").toInt(0));
        if (object.contains("items") && !ReadMenuItems(object.value("items").toArray(), item.items)) return false;
        items.push_back(std::move(item));
    }
    return true;
}
}  // namespace

bool LoadJsonResource(const QString& path, QJsonObject& object) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return false;
    object = document.object();
    return true;
}

bool LoadString(UINT id, std::string& text) {
    text.clear();
    QJsonObject strings;
    if (!LoadJsonResource(":/strings.json", strings)) return false;
    const QJsonValue value = strings.value(QString::number(id));
    if (!value.isString()) return false;
    text = value.toString().toStdString();
    return true;
}

std::string LoadString(UINT id) {
    std::string text;
    LoadString(id, text);
    return text;
}

bool LoadBitmap(int id, QImage& image) {
    // Read as the PNG it is: left to guess, Qt asks every image-format plugin
    // about the file, which loads them all.
    QImageReader reader(QString(":/skin/%1.png").arg(id), "png");
    reader.setAutoDetectImageFormat(false);
    image = reader.read();
    return !image.isNull();
}

bool LoadMenuResource(int id, std::vector<MenuItem>& menu) {
    menu.clear();
    QJsonObject object;
    if (!LoadJsonResource(QString(":/menus/%1.json").arg(id), object)) return false;
    if (ReadMenuItems(object.value("menu").toArray(), menu) && !menu.empty()) return true;
    menu.clear();
    return false;
}

bool LoadAccelerators(int id, std::vector<Accelerator>& table) {
    table.clear();
    QJsonObject object;
    if (!LoadJsonResource(QString(":/accelerators/%1.json").arg(id), object)) return false;
    for (const QJsonValue& value : object.value("accelerators").toArray()) {
        const QJsonObject entry = value.toObject();
        Accelerator accelerator{QKeySequence::fromString(entry.value("key").toString(), QKeySequence::PortableText),
                                UINT(entry.value("id").toInt(0))};
        if (accelerator.key.isEmpty() || accelerator.id == 0) {
            table.clear();
            return false;
        }
        table.push_back(accelerator);
    }
    return !table.empty();
}
