// Dialogs built from templates: the result of a modal run, control access,
// and the modeless life cycle.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/framework/Dialog.h"
#include "platform/framework/MessageBox.h"

namespace {
constexpr int ID_CHOICE = 1025;
constexpr int ID_RADIO_A = 1001;
constexpr int ID_RADIO_C = 1003;
constexpr int ID_CHECK = 1010;
constexpr int ID_LABEL = 1029;

DialogTemplate TestTemplate() {
    const char* json = R"({
      "caption": "Test dialog", "size": [200, 120],
      "controls": [
        { "kind": "static", "id": 1029, "text": "Save && &quit", "rect": [7, 7, 100, 8] },
        { "kind": "groupbox", "text": "Pick", "rect": [7, 20, 90, 50] },
        { "kind": "radio", "id": 1001, "text": "&A", "rect": [14, 30, 60, 10], "group": true },
        { "kind": "radio", "id": 1002, "text": "&B", "rect": [14, 42, 60, 10] },
        { "kind": "radio", "id": 1003, "text": "&C", "rect": [14, 54, 60, 10] },
        { "kind": "checkbox", "id": 1010, "text": "Repeat", "rect": [7, 75, 60, 10], "group": true },
        { "kind": "pushbutton", "id": 1, "text": "OK", "rect": [140, 7, 50, 14], "default": true, "group": true },
        { "kind": "pushbutton", "id": 2, "text": "Cancel", "rect": [140, 25, 50, 14] },
        { "kind": "pushbutton", "id": 1025, "text": "Choice", "rect": [140, 43, 50, 14] }
      ] })";
    DialogTemplate result;
    EXPECT_TRUE(DialogTemplate::Parse(QJsonDocument::fromJson(json).object(), result));
    return result;
}

// Ends with 11 through its own table when the "Choice" button is clicked.
class TestDialog : public Dialog {
public:
    TestDialog() : Dialog(TestTemplate(), nullptr) {}
    std::function<void(TestDialog&)> whileShown;
    int destroyed = 0;
    bool* deleted = nullptr;
    DECLARE_MESSAGE_TABLE()

protected:
    bool OnInitDialog() override {
        if (whileShown) QTimer::singleShot(0, [this] { whileShown(*this); });
        return true;
    }
    void PostNcDestroy() override {
        if (deleted) delete this;
    }

public:
    ~TestDialog() override {
        if (deleted) *deleted = true;
    }

private:
    LRESULT OnChoice(WPARAM, LPARAM) {
        EndDialog(11);
        return 0;
    }
    LRESULT OnDestroy(WPARAM, LPARAM) {
        ++destroyed;
        return 0;
    }
};

const MessageMap* TestDialog::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommand(ID_CHOICE, &TestDialog::OnChoice),
        OnMessage(WM_DESTROY, &TestDialog::OnDestroy),
    };
    static const MessageMap table{Dialog::MessageTable(), entries};
    return &table;
}
}  // namespace

TEST(Dialog, ModalRunReturnsTheIdOfTheButtonThatEndedIt) {
    struct Case {
        const char* what;
        std::function<void(TestDialog&)> action;
        int expected;
    } cases[] = {
        {"OK", [](TestDialog& d) { d.DlgItem<QPushButton>(IDOK)->click(); }, IDOK},
        {"Cancel", [](TestDialog& d) { d.DlgItem<QPushButton>(IDCANCEL)->click(); }, IDCANCEL},
        {"own button", [](TestDialog& d) { d.DlgItem<QPushButton>(ID_CHOICE)->click(); }, 11},
        {"Escape", [](TestDialog& d) { QTest::keyClick(d.Widget(), Qt::Key_Escape); }, IDCANCEL},
        {"Enter on the default button", [](TestDialog& d) { QTest::keyClick(d.Widget(), Qt::Key_Return); }, IDOK},
        {"closing the window", [](TestDialog& d) { d.Widget()->close(); }, IDCANCEL},
    };
    for (Case& c : cases) {
        TestDialog dialog;
        dialog.whileShown = c.action;
        EXPECT_EQ(dialog.DoModal(), c.expected) << c.what;
        EXPECT_FALSE(dialog.IsWindow()) << c.what;
        EXPECT_EQ(dialog.destroyed, 1) << c.what;
    }
}

TEST(Dialog, MissingTemplateFailsTheModalRun) {
    Dialog dialog(9999, nullptr);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.Create());
}

TEST(Dialog, ControlsAreReachedByIdAndRadioGroupsCanBeCleared) {
    TestDialog dialog;
    dialog.whileShown = [](TestDialog& d) {
        EXPECT_EQ(d.Widget()->windowTitle(), "Test dialog");
        EXPECT_EQ(d.DlgItem<QLabel>(ID_LABEL)->text(), "Save & quit");
        d.SetDlgItemText(ID_LABEL, "V2.3 beta5 (Win95/WinNT)");
        EXPECT_EQ(d.GetDlgItemText(ID_LABEL), "V2.3 beta5 (Win95/WinNT)");

        d.CheckRadioButton(ID_RADIO_A, ID_RADIO_C, ID_RADIO_C);
        EXPECT_TRUE(d.IsDlgButtonChecked(ID_RADIO_C));
        d.DlgItem<QRadioButton>(ID_RADIO_A)->click();
        EXPECT_FALSE(d.IsDlgButtonChecked(ID_RADIO_C));
        // A value outside the group selects no button at all.
        d.CheckRadioButton(ID_RADIO_A, ID_RADIO_C, 1009);
        for (int id = ID_RADIO_A; id <= ID_RADIO_C; ++id) EXPECT_FALSE(d.IsDlgButtonChecked(id)) << id;
        // The check box is in a group of its own.
        d.CheckDlgButton(ID_CHECK, true);
        d.CheckRadioButton(ID_RADIO_A, ID_RADIO_C, ID_RADIO_A);
        EXPECT_TRUE(d.IsDlgButtonChecked(ID_CHECK));
        d.EnableDlgItem(ID_CHECK, false);
        EXPECT_FALSE(d.GetDlgItem(ID_CHECK)->isEnabled());
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
}

TEST(Dialog, ModelessDialogStaysUntilDestroyedAndMayDeleteItself) {
    bool deleted = false;
    auto* dialog = new TestDialog;
    dialog->deleted = &deleted;
    ASSERT_TRUE(dialog->Create());
    EXPECT_TRUE(dialog->Widget()->isVisible());
    EXPECT_FALSE(dialog->Widget()->isModal());
    // Cancel (the close button, Escape) ends a modeless dialog by destroying it.
    dialog->DlgItem<QPushButton>(IDCANCEL)->click();
    EXPECT_TRUE(deleted);
}

TEST(Dialog, OwnedWindowIsDestroyedBeforeItsOwner) {
    // Records whether its owner still had its window when this one went.
    class OwnedDialog : public Dialog {
    public:
        explicit OwnedDialog(Wnd& owner) : Dialog(TestTemplate(), &owner), owner(owner) {}
        Wnd& owner;
        int ownerWindowsAtDestroy = -1;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_DESTROY) ownerWindowsAtDestroy = owner.IsWindow() ? 1 : 0;
            return Dialog::WindowProc(message, wParam, lParam);
        }
    };
    TestDialog owner;
    ASSERT_TRUE(owner.Create());
    {
        // Destroyed and gone before its owner: its widget, still waiting to
        // be deleted, must not lead back to it.
        OwnedDialog gone(owner);
        ASSERT_TRUE(gone.Create());
        gone.DestroyWindow();
    }
    OwnedDialog owned(owner);
    ASSERT_TRUE(owned.Create());
    EXPECT_EQ(owned.Widget()->parentWidget(), owner.Widget());
    owner.DestroyWindow();
    EXPECT_FALSE(owned.IsWindow());
    EXPECT_EQ(owned.ownerWindowsAtDestroy, 1);
    EXPECT_EQ(owner.destroyed, 1);
}
