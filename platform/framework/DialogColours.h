#pragma once
// The colours of every dialog and message box: a background and a text
// colour for all of them. Disabled controls and read-only fields keep a text
// colour a reader can still make out against that background (at least
// 4.5:1), while still looking different from controls that can be used.
// Call on the user-interface thread once the QApplication exists.

#include <QColor>

void SetDialogColours(const QColor& background, const QColor& text);

// The contrast ratio of two colours, 1 to 21 (relative luminance of sRGB).
double ContrastRatio(const QColor& a, const QColor& b);
