// The bitmap buttons: the seven in their wells, the face for each state,
// loading faces, and what a click, a double click and a press that slides
// off send to the main window, which never sees the clicks themselves.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <utility>
#include <vector>

#include "engine/PlayerMessages.h"
#include "platform/framework/Resources.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "ui/SkinFrameWnd.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;  // caption, system menu, minimise box

// Records the commands the buttons send and the drags the window starts.
class ButtonsWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    std::vector<std::pair<UINT, UINT>> commands;  // id, notification code
    std::vector<WPARAM> sysCommands;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnButton(WPARAM wParam, LPARAM) {
        commands.emplace_back(CommandId(wParam), CommandCode(wParam));
        return 0;
    }
    LRESULT OnSysCommand(WPARAM wParam, LPARAM) {
        sysCommands.push_back(wParam);
        return 0;
    }
};

const MessageMap* ButtonsWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_COMMAND, &ButtonsWnd::OnButton),
        OnMessage(WM_SYSCOMMAND, &ButtonsWnd::OnSysCommand),
    };
    static const MessageMap table{SkinFrameWnd::MessageTable(), entries};
    return &table;
}

QImage Face(int id) {
    QImage image;
    EXPECT_TRUE(LoadBitmap(id, image)) << id;
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Shown(QWidget* widget) { return widget->grab().toImage().convertToFormat(QImage::Format_RGB32); }

void MoveWithButtonHeld(QWidget* widget, QPoint to) {
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(widget->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

class Buttons : public ::testing::Test {
protected:
    void SetUp() override {
        wnd = new ButtonsWnd(store);
        ASSERT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
        wnd->ShowWindow(SW_SHOWNORMAL);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd->Widget()));
        play = wnd->buttons[0];
        ASSERT_TRUE(play);
    }
    void TearDown() override {
        if (wnd) wnd->DestroyWindow();
    }

    MemorySettingsStore store;
    ButtonsWnd* wnd = nullptr;
    BitmapButton* play = nullptr;
};

const QPoint kInside(18, 10);
}  // namespace

TEST_F(Buttons, SevenButtonsShowTheirNormalFacesInTheirWells) {
    struct Expected {
        UINT id;
        QRect rect;
        int normal;
    } expected[] = {
        {ID_PLAY, QRect(8, 65, 36, 20), 352},        {ID_STOP, QRect(44, 65, 36, 20), 356},
        {ID_PAUSE, QRect(80, 65, 36, 20), 360},      {ID_PREV_TRACK, QRect(116, 65, 36, 20), 364},
        {ID_NEXT_TRACK, QRect(152, 65, 36, 20), 368}, {ID_OPEN_FILES, QRect(224, 65, 36, 20), 372},
        {ID_TRACK_INFO, QRect(224, 18, 36, 20), 376},
    };
    const QImage client = Shown(wnd->ClientWidget());
    for (size_t i = 0; i < std::size(expected); ++i) {
        BitmapButton* button = wnd->buttons[i];
        ASSERT_TRUE(button) << i;
        EXPECT_EQ(button->geometry(), expected[i].rect) << expected[i].id;
        EXPECT_TRUE(button->isVisible()) << expected[i].id;
        EXPECT_EQ(client.copy(expected[i].rect), Face(expected[i].normal)) << expected[i].id;
        // Each sends its own command.
        QTest::mouseClick(button, Qt::LeftButton, {}, kInside);
        ASSERT_EQ(wnd->commands.size(), i + 1);
        EXPECT_EQ(wnd->commands.back(), std::make_pair(expected[i].id, BN_CLICKED));
    }
}

TEST_F(Buttons, HoldingPlayShowsThePressedFaceAndReleasingOverItSendsPlay) {
    QTest::mousePress(play, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(Shown(play), Face(350));
    EXPECT_TRUE(wnd->commands.empty());

    QTest::mouseRelease(play, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(wnd->commands, (std::vector<std::pair<UINT, UINT>>{{ID_PLAY, BN_CLICKED}}));
    // Clicked buttons take the focus; this skin's focused face is the normal one.
    EXPECT_TRUE(play->hasFocus());
    EXPECT_EQ(Shown(play), Face(351));
    EXPECT_EQ(Face(351), Face(352));
}

TEST_F(Buttons, PressingMovingOffAndReleasingSendsNothing) {
    const QPoint outside(-30, 10);
    QTest::mousePress(play, Qt::LeftButton, {}, kInside);
    MoveWithButtonHeld(play, outside);
    EXPECT_EQ(Shown(play), Face(351));
    QTest::mouseRelease(play, Qt::LeftButton, {}, outside);
    EXPECT_TRUE(wnd->commands.empty());
    EXPECT_TRUE(wnd->sysCommands.empty());
}

TEST_F(Buttons, ADoubleClickSendsTheClickThenTheDoubleClickNotification) {
    // Through the window system: press, release, press, release, the second
    // press arriving as a double click.
    QTest::mouseDClick(wnd->Widget()->windowHandle(), Qt::LeftButton, {}, play->mapTo(wnd->Widget(), kInside));
    EXPECT_EQ(wnd->commands,
              (std::vector<std::pair<UINT, UINT>>{{ID_PLAY, BN_CLICKED}, {ID_PLAY, BN_DOUBLECLICKED}}));

    // The second press does not press the button again, so its release
    // clicks nothing.
    wnd->commands.clear();
    QTest::mouseDClick(play, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(Shown(play), Face(351));
    QTest::mouseRelease(play, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(wnd->commands, (std::vector<std::pair<UINT, UINT>>{{ID_PLAY, BN_DOUBLECLICKED}}));
}

TEST_F(Buttons, ClicksOnAButtonNeverReachTheWindowsDragOrTitleBarToggle) {
    wnd->ToggleTitleBar();
    ASSERT_EQ(wnd->titleBarShown, 0);
    // Through the window system, which finds the widget under the pointer.
    QWindow* window = wnd->Widget()->windowHandle();
    const QPoint onPlay = play->mapTo(wnd->Widget(), kInside);
    QTest::mouseClick(window, Qt::LeftButton, {}, onPlay);
    QTest::mouseDClick(window, Qt::LeftButton, {}, onPlay);
    EXPECT_TRUE(wnd->sysCommands.empty());
    EXPECT_EQ(wnd->titleBarShown, 0);
    EXPECT_FALSE(wnd->commands.empty());
    // The same clicks beside the buttons do reach the window.
    const QPoint beside = wnd->ClientWidget()->mapTo(wnd->Widget(), QPoint(200, 75));
    QTest::mousePress(window, Qt::LeftButton, {}, beside);
    QTest::mouseRelease(window, Qt::LeftButton, {}, beside);
    EXPECT_EQ(wnd->sysCommands, std::vector<WPARAM>{SC_DRAGMOVE});
}

TEST(BitmapButton, FaceFollowsTheStateAndSkipsMissingFaces) {
    constexpr int kMissing = 999;
    struct Case {
        const char* what;
        std::array<int, 4> faces;  // normal, pressed, focused, disabled
        bool loads;
        bool down, focused, enabled;
        int shown;
    } cases[] = {
        {"normal", {352, 350, 351, 353}, true, false, false, true, 352},
        {"pressed", {352, 350, 351, 353}, true, true, true, true, 350},
        {"focused", {376, 374, 375, 377}, true, false, true, true, 375},
        {"disabled", {352, 350, 351, 353}, true, false, false, false, 353},
        {"no pressed face: focused", {352, kMissing, 375, 353}, false, true, true, true, 375},
        {"no pressed face: normal", {352, kMissing, 351, 353}, false, true, false, true, 352},
        {"no disabled face", {352, 350, 351, kMissing}, false, false, false, false, 352},
    };
    QWidget parent;
    parent.resize(60, 40);
    parent.show();
    parent.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    for (const Case& c : cases) {
        BitmapButton button;
        button.setParent(&parent);
        button.setGeometry(4, 4, 36, 20);
        EXPECT_EQ(button.LoadFaces(c.faces[0], c.faces[1], c.faces[2], c.faces[3]), c.loads) << c.what;
        button.setDown(c.down);
        button.setEnabled(c.enabled);
        button.show();
        if (c.focused) button.setFocus();
        ASSERT_EQ(button.hasFocus(), c.focused) << c.what;
        EXPECT_EQ(Shown(&button), Face(c.shown)) << c.what;
    }
}

TEST(BitmapButton, WithoutItsNormalFaceLoadingFailsAndDrawsNoFace) {
    QWidget parent;
    BitmapButton button;
    button.setParent(&parent);
    button.setGeometry(0, 0, 36, 20);
    ASSERT_TRUE(button.LoadFaces(352, 350, 351, 353));
    EXPECT_FALSE(button.LoadFaces(999, 350, 351, 353));
    // The faces loaded before are gone, and the pressed one was not tried.
    button.setDown(true);
    EXPECT_NE(Shown(&button), Face(350));
    EXPECT_NE(Shown(&button), Face(352));
}
