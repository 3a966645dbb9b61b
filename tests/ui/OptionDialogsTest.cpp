// The About, Output and Play Options dialogs, opened through the main
// window's menu and OpenDialog numbers, driven by clicks and keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "engine/PlayerMessages.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "ui/SkinFrameWnd.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;

SkinFrameWnd* Start(MemorySettingsStore& store) {
    auto* wnd = new SkinFrameWnd(store);
    EXPECT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
    wnd->ShowWindow(SW_SHOWNORMAL);
    return wnd;
}

template <class Control>
Control* ByText(QWidget* dialog, const QString& text) {
    for (Control* control : dialog->findChildren<Control*>()) {
        if (control->text() == text) return control;
    }
    ADD_FAILURE() << "no control " << text.toStdString();
    return nullptr;
}

// Runs `drive` on the modal dialog that `open` shows; `drive` must end it.
// Returns false when no modal dialog appeared.
bool WhileModal(const std::function<void()>& open, const std::function<void(QDialog&)>& drive) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        shown = true;
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        drive(*dialog);
    });
    open();
    return shown;
}

std::vector<std::string> CheckedRadios(QDialog& dialog) {
    std::vector<std::string> checked;
    for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
        if (radio->isChecked()) checked.push_back(radio->text().toStdString());
    }
    return checked;
}

// A mnemonic clicks its button after a short animation.
bool Checked(QAbstractButton* button) {
    return QTest::qWaitFor([button] { return button->isChecked(); }, 1000);
}

// Chooses the menu item by its text, as the user would.
void ChooseMenuItem(SkinFrameWnd& wnd, const QString& text) {
    for (QAction* popup : wnd.GetMenu()->actions()) {
        for (QAction* item : popup->menu()->actions()) {
            if (item->text() == text) return item->trigger();
        }
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}
}  // namespace

TEST(AboutDialog, ShowsNameAndVersionLineAndClosesWithOK) {
    MemorySettingsStore store;
    SkinFrameWnd* wnd = Start(store);
    const std::function<void()> openers[] = {
        [&] { ChooseMenuItem(*wnd, "&About..."); },
        [&] { wnd->OpenDialog(8, 0); },
    };
    for (const auto& open : openers) {
        const bool shown = WhileModal(open, [](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "About Brelune3");
            ByText<QLabel>(&dialog, "Brelune3");
            ByText<QLabel>(&dialog, "V2.3 beta5 (Win95/WinNT)");
            int icons = 0;
            for (QLabel* label : dialog.findChildren<QLabel*>()) icons += !label->pixmap().isNull();
            EXPECT_EQ(icons, 2);
            ByText<QPushButton>(&dialog, "OK")->click();
        });
        EXPECT_TRUE(shown);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    wnd->DestroyWindow();
}

TEST(OutputDialog, ShowsTheMembersAndCopiesTheChoiceBackOnlyOnOK) {
    struct Case {
        const char* what;
        int quality;
        std::vector<std::string> shown;
        std::function<void(QDialog&)> drive;
        int expectedQuality;
    } cases[] = {
        {"Alt+H then Enter", 2, {"&Quarter", " &8 Bit", "&Stereo", "80&486 Class"},
         [](QDialog& d) {
             QTest::keyClick(&d, Qt::Key_H, Qt::AltModifier);
             EXPECT_TRUE(Checked(ByText<QRadioButton>(&d, "&Half")));
             QTest::keyClick(&d, Qt::Key_Return);
         },
         1},
        {"a stored 3 selects no frequency, and OK keeps it", 3, {" &8 Bit", "&Stereo", "80&486 Class"},
         [](QDialog& d) { ByText<QPushButton>(&d, "&OK")->click(); }, 3},
        {"Cancel", 2, {"&Quarter", " &8 Bit", "&Stereo", "80&486 Class"},
         [](QDialog& d) {
             ByText<QRadioButton>(&d, "&Full")->click();
             ByText<QPushButton>(&d, "&Cancel")->click();
         },
         2},
        {"Escape", 0, {"&Full", " &8 Bit", "&Stereo", "80&486 Class"},
         [](QDialog& d) {
             QTest::keyClick(&d, Qt::Key_Q, Qt::AltModifier);
             EXPECT_TRUE(Checked(ByText<QRadioButton>(&d, "&Quarter")));
             QTest::keyClick(&d, Qt::Key_Escape);
         },
         0},
    };
    for (Case& c : cases) {
        MemorySettingsStore store;
        store.WriteInt("Settings", "Quality", c.quality);
        store.WriteInt("Settings", "Resolution", 1);
        store.WriteInt("Settings", "CPUType", 1);
        SkinFrameWnd* wnd = Start(store);
        const bool shown = WhileModal([&] { wnd->OpenDialog(3, 0); },
                                      [&](QDialog& dialog) {
                                          EXPECT_EQ(dialog.windowTitle(), "Output");
                                          EXPECT_EQ(CheckedRadios(dialog), c.shown) << c.what;
                                          c.drive(dialog);
                                      });
        EXPECT_TRUE(shown) << c.what;
        EXPECT_EQ(wnd->quality, c.expectedQuality) << c.what;
        EXPECT_EQ(wnd->resolution, 1) << c.what;
        EXPECT_EQ(wnd->downmix, 0) << c.what;
        EXPECT_EQ(wnd->cpuType, 1) << c.what;
        wnd->DestroyWindow();
    }
}

TEST(OutputDialog, EveryGroupCopiesItsChoiceBackAndTabVisitsTheGroupsInOrder) {
    MemorySettingsStore store;
    SkinFrameWnd* wnd = Start(store);
    WhileModal([&] { ChooseMenuItem(*wnd, "&Output..."); },
               [](QDialog& dialog) {
                   EXPECT_EQ(CheckedRadios(dialog),
                             (std::vector<std::string>{"&Full", "&16 Bit", "&Stereo", "&Pentium Class"}));
                   // Tab moves from group to group, on to the buttons.
                   std::vector<std::string> order;
                   ByText<QRadioButton>(&dialog, "&Full")->setFocus();
                   for (int i = 0; i < 6; ++i) {
                       auto* button = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
                       order.push_back(button ? button->text().toStdString() : "?");
                       QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                   }
                   EXPECT_EQ(order, (std::vector<std::string>{"&Full", "&16 Bit", "&Stereo", "&Pentium Class",
                                                              "&OK", "&Cancel"}));
                   for (const char* text : {"&Quarter", " &8 Bit", "&Downmix", "80&486 Class"}) {
                       ByText<QRadioButton>(&dialog, text)->click();
                   }
                   ByText<QPushButton>(&dialog, "&OK")->click();
               });
    EXPECT_EQ(wnd->quality, 2);
    EXPECT_EQ(wnd->resolution, 1);
    EXPECT_EQ(wnd->downmix, 1);
    EXPECT_EQ(wnd->cpuType, 1);
    wnd->DestroyWindow();
}

TEST(PlayOptionsDialog, RepeatFollowsTheUserAndShuffleStaysUncheckedAndDisabled) {
    struct Case {
        const char* what;
        std::function<void(QDialog&)> drive;
        int expectedRepeat;
    } cases[] = {
        {"OK", [](QDialog& d) { ByText<QPushButton>(&d, "OK")->click(); }, 1},
        {"Escape", [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 0},
        {"Cancel", [](QDialog& d) { ByText<QPushButton>(&d, "Cancel")->click(); }, 0},
    };
    for (Case& c : cases) {
        MemorySettingsStore store;
        store.WriteInt("Settings", "Shuffle", 1);
        SkinFrameWnd* wnd = Start(store);
        const bool shown = WhileModal([&] { wnd->OpenDialog(4, 0); },
                                      [&](QDialog& dialog) {
                                          EXPECT_EQ(dialog.windowTitle(), "Play Options");
                                          QCheckBox* repeat = ByText<QCheckBox>(&dialog, "Repeat");
                                          QCheckBox* shuffle = ByText<QCheckBox>(&dialog, "Shuffle");
                                          EXPECT_FALSE(repeat->isChecked());
                                          EXPECT_FALSE(shuffle->isChecked());
                                          EXPECT_FALSE(shuffle->isEnabled());
                                          QTest::mouseClick(repeat, Qt::LeftButton);
                                          QTest::mouseClick(shuffle, Qt::LeftButton);
                                          EXPECT_TRUE(repeat->isChecked());
                                          EXPECT_FALSE(shuffle->isChecked());
                                          c.drive(dialog);
                                      });
        EXPECT_TRUE(shown) << c.what;
        EXPECT_EQ(wnd->repeat, c.expectedRepeat) << c.what;
        EXPECT_EQ(wnd->shuffle, 0) << c.what;
        wnd->DestroyWindow();
    }
}

TEST(OutputDialog, ClosingTheMainWindowWhileItIsOpenEndsItWithoutCopyingBack) {
    // An automation client may close the window while a dialog is shown.
    class WatchedSkinWnd : public SkinFrameWnd {
    public:
        WatchedSkinWnd(SettingsStore& store, bool& deleted) : SkinFrameWnd(store), deleted(deleted) {}
        ~WatchedSkinWnd() override { deleted = true; }
        bool& deleted;
    };
    MemorySettingsStore store;
    bool deleted = false;
    auto* wnd = new WatchedSkinWnd(store, deleted);
    ASSERT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
    const bool shown = WhileModal([&] { wnd->OpenDialog(3, 0); },
                                  [&](QDialog& dialog) {
                                      ByText<QRadioButton>(&dialog, "&Half")->click();
                                      wnd->PostMessage(UM_OPEN_DIALOG, 0, 0);
                                  });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return deleted; }, 1000));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // Written at close, before the dialog could have copied anything back.
    EXPECT_EQ(store.GetInt("Settings", "Quality", -1), 0);
}
