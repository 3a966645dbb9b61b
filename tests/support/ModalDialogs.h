#pragma once
// Drives a modal dialog from inside its own loop, as a user would.

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>

#include <gtest/gtest.h>

namespace testenv {
// Runs `drive` on the modal dialog that `open` shows; `drive` must end it.
// Returns false when no modal dialog appeared.
inline bool WhileModal(const std::function<void()>& open, const std::function<void(QDialog&)>& drive) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        shown = true;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        drive(*dialog);
    });
    open();
    return shown;
}

// The dialog's control with this text, or a failure.
template <class Control>
Control* ControlWithText(QWidget& dialog, const QString& text) {
    for (Control* control : dialog.findChildren<Control*>()) {
        if (control->text() == text) return control;
    }
    ADD_FAILURE() << "no control " << text.toStdString();
    return nullptr;
}
}  // namespace testenv
