#include "ui/BitmapButton.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/framework/FrameWnd.h"
#include "platform/framework/Resources.h"

BitmapButton::BitmapButton() {
    // Push buttons take the keyboard focus when clicked.
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { Notify(BN_CLICKED); });
}

bool BitmapButton::Create(FrameWnd& parent, UINT commandId, const QRect& rect) {
    QWidget* client = parent.ClientWidget();
    if (!client) return false;
    parentWnd = &parent;
    id = commandId;
    setParent(client);
    setGeometry(rect);
    show();
    return true;
}

bool BitmapButton::LoadFaces(int normal, int pressed, int focused, int disabled) {
    normalFace = pressedFace = focusedFace = disabledFace = QImage();
    update();
    if (!LoadBitmap(normal, normalFace)) return false;
    bool loaded = LoadBitmap(pressed, pressedFace);
    loaded = LoadBitmap(focused, focusedFace) && loaded;
    loaded = LoadBitmap(disabled, disabledFace) && loaded;
    return loaded;
}

const QImage& BitmapButton::Face() const {
    if (isDown() && !pressedFace.isNull()) return pressedFace;
    if (hasFocus() && !focusedFace.isNull()) return focusedFace;
    if (!isEnabled() && !disabledFace.isNull()) return disabledFace;
    return normalFace;
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Face pixels stay whole blocks on a high-density screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QPoint(0, 0), Face(), QRect(QPoint(0, 0), size()));
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractButton::mouseDoubleClickEvent(event);
    // The second press of a double click is a notification of its own; it
    // does not press the button again, so its release clicks nothing.
    event->accept();
    Notify(BN_DOUBLECLICKED);
}

// Space and Select would click the button; they go on to the window, where
// Space plays and pauses whichever button has the focus.
void BitmapButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) {
        event->ignore();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void BitmapButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) {
        event->ignore();
        return;
    }
    QAbstractButton::keyReleaseEvent(event);
}

void BitmapButton::Notify(UINT code) {
    if (parentWnd) parentWnd->SendMessage(WM_COMMAND, MakeCommandWParam(id, code), reinterpret_cast<LPARAM>(this));
}
