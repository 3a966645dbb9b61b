// Ending the program's modal loops as Cancel: the open box or dialog closes
// with Cancel, and those opened afterwards return Cancel without showing.
// (Its own program: the cancellation lasts for the rest of the process.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include "platform/framework/Dialog.h"
#include "platform/framework/MessageBox.h"

namespace {
DialogTemplate SmallTemplate() {
    const char* json = R"({ "caption": "Ask", "size": [100, 40], "controls": [
        { "kind": "pushbutton", "id": 1, "text": "OK", "rect": [7, 7, 40, 14], "default": true },
        { "kind": "pushbutton", "id": 2, "text": "Cancel", "rect": [50, 7, 40, 14] } ] })";
    DialogTemplate result;
    EXPECT_TRUE(DialogTemplate::Parse(QJsonDocument::fromJson(json).object(), result));
    return result;
}
}  // namespace

TEST(ModalCancel, OpenDialogsAndBoxesEndAsCancelAndLaterOnesDoNotShow) {
    // A dialog with a message box open over it, as a nested loop inside a
    // nested loop; the cancel comes from the innermost loop.
    int boxResult = 0;
    Dialog dialog(SmallTemplate(), nullptr);
    QTimer::singleShot(100, [&] { boxResult = ShowMessageBox("Unable to play x.mp3"); });
    QTimer::singleShot(300, [] {
        ASSERT_NE(QApplication::activeModalWidget(), nullptr);
        CancelModalLoops();
    });
    // A stuck loop would hang here; the test's time limit would end it.
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    (void)boxResult;

    EXPECT_TRUE(ModalLoopsCancelled());
    Dialog later(SmallTemplate(), nullptr);
    EXPECT_EQ(later.DoModal(), IDCANCEL);
    EXPECT_FALSE(later.IsWindow());
    EXPECT_EQ(ShowMessageBox("never shown"), IDCANCEL);
}
