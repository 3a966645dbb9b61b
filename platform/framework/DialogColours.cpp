#include "platform/framework/DialogColours.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace {
double Luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

// Half-way from the text to the background, moved back towards the text
// until it reads (6:1, a margin over 4.5:1 for the soft edges of small
// letters).
QColor DisabledText(const QColor& background, const QColor& text) {
    QColor colour = QColor((text.red() + background.red()) / 2, (text.green() + background.green()) / 2,
                           (text.blue() + background.blue()) / 2);
    for (int step = 0; step < 16 && ContrastRatio(colour, background) < 6.0; ++step) {
        colour = QColor(colour.red() + (text.red() - colour.red()) / 4,
                        colour.green() + (text.green() - colour.green()) / 4,
                        colour.blue() + (text.blue() - colour.blue()) / 4);
    }
    return colour;
}
}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void SetDialogColours(const QColor& background, const QColor& text) {
    QPalette palette = QApplication::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Button, background);
    }
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
        palette.setColor(QPalette::Active, role, text);
        palette.setColor(QPalette::Inactive, role, text);
        palette.setColor(QPalette::Disabled, role, DisabledText(background, text));
    }
    // A disabled field shows the dialog's face instead of a white one, so it
    // still looks out of use with its darker text.
    palette.setColor(QPalette::Disabled, QPalette::Base, background);
    // Styles that emboss disabled text draw this under it; on the face
    // colour it would only blur the letters.
    palette.setColor(QPalette::Disabled, QPalette::Light, background);
    // Message boxes are dialogs too.
    QApplication::setPalette(palette, "QDialog");
}
