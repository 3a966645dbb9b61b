#pragma once
// A push button drawn entirely from images: a normal, a pressed, a focused
// and a disabled face, each copied pixel for pixel from its top-left corner.
// A click sends WM_COMMAND (id, BN_CLICKED) to the window it was created in;
// the second press of a double click sends BN_DOUBLECLICKED instead of
// pressing the button again. Pressing, moving off and releasing sends
// nothing. Mouse events on the button never reach the window's client area.
// The keyboard never presses it: its focused face is its normal face, so a
// Space meant for the player must not act on a focus nobody can see.
//
// Built with new and then Create; the window's client area owns the widget,
// and the faces go with it. User-interface thread only.

#include <QAbstractButton>
#include <QImage>

#include "platform/framework/WindowMessages.h"

class FrameWnd;

class BitmapButton : public QAbstractButton {
public:
    BitmapButton();

    // Makes the button a visible child of `parent`'s client area at `rect`
    // (client coordinates), sending its commands with `id`. False when the
    // window has no client area yet.
    bool Create(FrameWnd& parent, UINT id, const QRect& rect);

    // Drops any faces loaded before, then loads the four images in this
    // order. False when the normal face is missing (the others are then not
    // tried) or when any other face is.
    bool LoadFaces(int normal, int pressed, int focused, int disabled);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // Pressed, else focused, else disabled, else normal; a missing face is
    // passed over.
    const QImage& Face() const;
    void Notify(UINT code);

    FrameWnd* parentWnd = nullptr;
    UINT id = 0;
    QImage normalFace;
    QImage pressedFace;
    QImage focusedFace;
    QImage disabledFace;
};
