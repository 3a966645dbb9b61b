// The Track information window on its own: what it shows for the members it
// is given, and how it goes away (telling its owner once, deleting itself).
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "engine/PlayerMessages.h"
#include "platform/framework/FrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "ui/TrackInfoDialog.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;

// Stands in for the main window: counts UM_INFO_CLOSED, also while it is
// being destroyed (a frame window deletes itself afterwards).
class OwnerWnd : public FrameWnd {
public:
    explicit OwnerWnd(int& infoClosed) : infoClosed(infoClosed) {}
    int& infoClosed;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnInfoClosed(WPARAM, LPARAM) {
        ++infoClosed;
        return 0;
    }
};

const MessageMap* OwnerWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(UM_INFO_CLOSED, &OwnerWnd::OnInfoClosed),
    };
    static const MessageMap table{FrameWnd::MessageTable(), entries};
    return &table;
}

class WatchedInfoDialog : public TrackInfoDialog {
public:
    WatchedInfoDialog(Wnd* owner, bool& deleted) : TrackInfoDialog(owner), deleted(deleted) {}
    ~WatchedInfoDialog() override { deleted = true; }
    bool& deleted;
};

struct Fixture {
    int infoClosed = 0;
    OwnerWnd* owner = new OwnerWnd(infoClosed);
    bool deleted = false;
    WatchedInfoDialog* dialog = nullptr;

    Fixture() {
        EXPECT_TRUE(owner->Create("Owner", "Owner", kMainWindowStyle, 0));
        owner->ShowWindow(SW_SHOWNORMAL);
        dialog = new WatchedInfoDialog(owner, deleted);
        EXPECT_TRUE(dialog->Create());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog->Widget()));
    }
    ~Fixture() {
        if (!deleted) dialog->DestroyWindow();
        owner->DestroyWindow();
    }
    std::string Text(int id) const { return dialog->GetDlgItemText(id); }
};
}  // namespace

TEST(TrackInfoDialog, OpensEmptyWithReadOnlyDisabledFields) {
    Fixture f;
    EXPECT_EQ(f.dialog->Widget()->windowTitle(), "Track information");
    EXPECT_EQ(f.dialog->Widget()->parentWidget(), f.owner->Widget());
    EXPECT_EQ(f.Text(TrackInfoDialog::IDC_TRACK), "--");
    EXPECT_EQ(f.Text(TrackInfoDialog::IDC_FILE), "");
    for (int id : {TrackInfoDialog::IDC_TITLE, TrackInfoDialog::IDC_ARTIST, TrackInfoDialog::IDC_COMPOSER,
                   TrackInfoDialog::IDC_AUTHOR}) {
        auto* edit = f.dialog->DlgItem<QLineEdit>(id);
        ASSERT_NE(edit, nullptr) << id;
        EXPECT_TRUE(edit->isReadOnly()) << id;
        EXPECT_FALSE(edit->isEnabled()) << id;
    }
}

TEST(TrackInfoDialog, ShowsTrackNumberInTwoColumnsAndShortensLongFileNames) {
    const std::string name33 = "C:\\Music\\abcdefghijklmnopqrst.mp3";  // 33 characters
    const std::string name34 = "C:\\Music\\Xabcdefghijklmnopqrst.mp3";  // 34 characters
    // 34 characters, several of them two bytes long in UTF-8.
    const std::string accented34 = "/mu/\xc3\xa9l\xc3\xa8ve/\xc3\xa0 la claire fonta\xc3\xafne.mp3";
    struct Case {
        int track;
        std::string file;
        std::string trackText;
        std::string fileText;
    } cases[] = {
        {5, name33, " 5", name33},
        {12, name34, "12", "C:\\Music\\X...efghijklmnopqrst.mp3"},
        {0, "", "--", ""},
        {123, accented34, "123", "/mu/\xc3\xa9l\xc3\xa8ve/... claire fonta\xc3\xafne.mp3"},
        {1, "<b>bold</b>.mp3", " 1", "<b>bold</b>.mp3"},
    };
    ASSERT_EQ(QString::fromStdString(name33).size(), 33);
    ASSERT_EQ(QString::fromStdString(accented34).size(), 34);
    Fixture f;
    for (const Case& c : cases) {
        f.dialog->trackNumber = c.track;
        f.dialog->file = c.file;
        f.dialog->title = "Title " + c.trackText;
        f.dialog->UpdateControls();
        EXPECT_EQ(f.Text(TrackInfoDialog::IDC_TRACK), c.trackText);
        EXPECT_EQ(f.dialog->trackNumberText, c.trackText);
        EXPECT_EQ(f.Text(TrackInfoDialog::IDC_FILE), c.fileText);
        // The shortened form replaces the member, so a second push keeps it.
        EXPECT_EQ(f.dialog->file, c.fileText);
        EXPECT_EQ(f.Text(TrackInfoDialog::IDC_TITLE), "Title " + c.trackText);
        // A tag too long for its field shows its start.
        EXPECT_EQ(f.dialog->DlgItem<QLineEdit>(TrackInfoDialog::IDC_TITLE)->cursorPosition(), 0);
        EXPECT_EQ(f.dialog->DlgItem<QLabel>(TrackInfoDialog::IDC_FILE)->textFormat(), Qt::PlainText);
    }
}

TEST(TrackInfoDialog, CloseAndEscapeDestroyItAndTellTheOwnerOnceButEnterDoesNothing) {
    {
        Fixture f;
        auto* close = f.dialog->DlgItem<QPushButton>(IDCANCEL);
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Return);
        QTest::keyClick(close, Qt::Key_Enter);
        EXPECT_FALSE(f.deleted);
        EXPECT_TRUE(f.dialog->Widget()->isVisible());
        EXPECT_EQ(f.infoClosed, 0);
        QTest::mouseClick(close, Qt::LeftButton);
        EXPECT_TRUE(f.deleted);
        EXPECT_EQ(f.infoClosed, 1);
    }
    {
        Fixture f;
        QTest::keyClick(f.dialog->Widget(), Qt::Key_Escape);
        EXPECT_TRUE(f.deleted);
        EXPECT_EQ(f.infoClosed, 1);
    }
}

TEST(TrackInfoDialog, ClosingTheOwnerDestroysItFirstAndTellsTheOwner) {
    int infoClosed = 0;
    auto* owner = new OwnerWnd(infoClosed);
    ASSERT_TRUE(owner->Create("Owner", "Owner", kMainWindowStyle, 0));
    bool deleted = false;
    auto* dialog = new WatchedInfoDialog(owner, deleted);
    ASSERT_TRUE(dialog->Create());
    owner->DestroyWindow();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(infoClosed, 1);
}
