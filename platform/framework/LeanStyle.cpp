#include "platform/framework/LeanStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QProxyStyle>
#include <QWidget>

namespace {
// A double chevron pointing to where the entries that did not fit are.
QIcon ExtensionArrow(bool vertical, const QWidget* widget) {
    constexpr int kSize = 16;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(widget ? widget->palette().color(QPalette::ButtonText) : QColor(Qt::black));
    if (vertical) {
        // Pointing down: the horizontal arrow turned a quarter clockwise.
        painter.translate(kSize, 0);
        painter.rotate(90);
    } else if (widget && widget->layoutDirection() == Qt::RightToLeft) {
        painter.translate(kSize, 0);
        painter.scale(-1, 1);
    }
    for (const int x : {4, 8}) {
        painter.drawLine(x, 4, x + 3, 7);
        painter.drawLine(x + 3, 8, x, 11);
    }
    painter.end();
    return QIcon(pixmap);
}

class LeanStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
        if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton)
            return ExtensionArrow(which == SP_ToolBarVerticalExtensionButton, widget);
        return QProxyStyle::standardIcon(which, option, widget);
    }
};
}  // namespace

// Without a base style given, the proxy takes the one the desktop asks for.
void InstallLeanStyle() { QApplication::setStyle(new LeanStyle); }
