#pragma once
// The Qt dialog behind a Dialog: builds the template's controls and turns
// their clicks into WM_COMMAND (id, BN_CLICKED, the control in lParam).
// Escape and the window's close button send WM_COMMAND IDCANCEL, as the
// classic dialog manager does; the dialog object decides what happens.

#include <QDialog>
#include <map>

#include "platform/framework/DialogTemplate.h"

class Wnd;

class DialogWidget : public QDialog {
public:
    DialogWidget(Wnd& wnd, const DialogTemplate& dialogTemplate, QWidget* parent);

    // The control with this id, or null.
    QWidget* Item(int id) const;

    void reject() override;

private:
    QWidget* MakeControl(const DialogControl& control);
    QRect ToPixels(const QRect& units) const;

    Wnd& wnd;
    std::map<int, QWidget*> items;
    int baseWidth;
    int baseHeight;
};
