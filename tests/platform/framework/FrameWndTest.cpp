// The frame window's translation of Qt events, its menu, and its geometry.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "engine/PlayerMessages.h"
#include "platform/framework/Application.h"
#include "platform/framework/FrameWnd.h"

namespace {
class EventWnd : public FrameWnd {
public:
    std::vector<std::string> seen;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT Record(const char* what, WPARAM, LPARAM lParam) {
        seen.push_back(std::string(what) + " " + std::to_string(PointX(lParam)) + "," + std::to_string(PointY(lParam)));
        return 1;
    }
    LRESULT OnErase(WPARAM w, LPARAM) { return Record("erase", w, 0); }
    LRESULT OnPaint(WPARAM w, LPARAM) { return Record("paint", w, 0); }
    LRESULT OnDown(WPARAM w, LPARAM l) { return Record("down", w, l); }
    LRESULT OnDouble(WPARAM w, LPARAM l) { return Record("double", w, l); }
    LRESULT OnCommandAny(WPARAM w, LPARAM) {
        seen.push_back("command " + std::to_string(CommandId(w)) + "/" + std::to_string(CommandCode(w)));
        return 0;
    }
};

const MessageMap* EventWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_ERASEBKGND, &EventWnd::OnErase),
        OnMessage(WM_PAINT, &EventWnd::OnPaint),
        OnMessage(WM_LBUTTONDOWN, &EventWnd::OnDown),
        OnMessage(WM_LBUTTONDBLCLK, &EventWnd::OnDouble),
        OnCommandRange(40000, 40099, &EventWnd::OnCommandAny),
        OnCommand(ID_FILE_PLAY, &EventWnd::OnCommandAny),
    };
    static const MessageMap table{FrameWnd::MessageTable(), entries};
    return &table;
}

EventWnd* MakeShownWindow(int menuId) {
    auto* wnd = new EventWnd;
    EXPECT_TRUE(wnd->Create("Test", "Test", WS_CAPTION | WS_SYSMENU, menuId));
    wnd->SetWindowPos(100, 80, 0, 0, SWP_NOSIZE);
    wnd->ShowWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(wnd->Widget()));
    return wnd;
}

QAction* FindCommand(QWidget* menu, UINT id) {
    for (QAction* action : menu->actions()) {
        if (action->menu()) {
            if (QAction* found = FindCommand(action->menu(), id)) return found;
        } else if (action->data().toUInt() == id) {
            return action;
        }
    }
    return nullptr;
}
}  // namespace

TEST(FrameWnd, PaintingErasesFirstThenPaints) {
    EventWnd* wnd = MakeShownWindow(0);
    wnd->seen.clear();
    wnd->ClientWidget()->repaint();
    EXPECT_EQ(wnd->seen, (std::vector<std::string>{"erase 0,0", "paint 0,0"}));
    wnd->DestroyWindow();
}

TEST(FrameWnd, ClicksOnTheClientAreaArriveInClientCoordinates) {
    EventWnd* wnd = MakeShownWindow(201);
    wnd->seen.clear();
    QTest::mousePress(wnd->ClientWidget(), Qt::LeftButton, {}, QPoint(12, 34));
    QTest::mouseDClick(wnd->ClientWidget(), Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mousePress(wnd->ClientWidget(), Qt::RightButton, {}, QPoint(7, 8));
    EXPECT_EQ(wnd->seen, (std::vector<std::string>{"down 12,34", "double 5,6"}));
    wnd->DestroyWindow();
}

TEST(FrameWnd, MenuItemsSendTheirCommandWithCodeZero) {
    EventWnd* wnd = MakeShownWindow(201);
    ASSERT_NE(wnd->GetMenu(), nullptr);
    wnd->seen.clear();
    for (UINT id : {ID_OPTIONS_OUTPUT, ID_FILE_PLAY}) {
        QAction* action = FindCommand(wnd->GetMenu(), id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }
    EXPECT_EQ(wnd->seen, (std::vector<std::string>{"command 40022/0", "command 57601/0"}));
    wnd->DestroyWindow();
}

TEST(FrameWnd, ExitCommandDestroysTheMainWindowWhichEndsTheApplicationLoop) {
    class ExitingApp : public Application {
    public:
        ExitingApp() : Application("") {}
        bool exited = false;

    protected:
        bool InitInstance() override {
            auto* wnd = new EventWnd;
            if (!wnd->Create("Test", "Test", WS_CAPTION, 201)) return false;
            mainWnd = wnd;
            wnd->ShowWindow(SW_SHOWNORMAL);
            QAction* exitItem = FindCommand(wnd->GetMenu(), ID_APP_EXIT);
            if (!exitItem) return false;
            QTimer::singleShot(0, exitItem, &QAction::trigger);
            // Only a loop that fails to end reaches this.
            QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
            return true;
        }
        int ExitInstance() override {
            exited = mainWnd == nullptr;
            return Application::ExitInstance();
        }
    } app;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(app.exited);
}

TEST(FrameWnd, OuterSizeIsClientPlusFrameMarginsPlusMenuBar) {
    EventWnd* wnd = MakeShownWindow(201);
    wnd->SetWindowPos(0, 0, 0, 0, SWP_NOMOVE);  // let the frame catch up
    const int menuHeight = wnd->GetMenu()->height();
    ASSERT_GT(menuHeight, 0);
    const QSize client(273, 112);
    const QSize bare = wnd->AdjustWindowRect(client, WS_CAPTION, false);
    const QSize withMenu = wnd->AdjustWindowRect(client, WS_CAPTION, true);
    EXPECT_EQ(withMenu.height() - bare.height(), menuHeight);
    EXPECT_EQ(wnd->AdjustWindowRect(client, WS_OVERLAPPED, false), client);

    wnd->SetWindowPos(40, 30, withMenu.width(), withMenu.height(), SWP_NOZORDER);
    EXPECT_EQ(wnd->GetClientSize(), client);
    EXPECT_EQ(wnd->GetWindowRect(), QRect(QPoint(40, 30), withMenu));

    wnd->SetMenu(0);
    EXPECT_EQ(wnd->GetMenu(), nullptr);
    // A detached menu still counts where the caller asks for one.
    EXPECT_EQ(wnd->AdjustWindowRect(client, WS_CAPTION, true), withMenu);
    wnd->DestroyWindow();
}

TEST(FrameWnd, HidingTheCaptionKeepsTheWindowShownWithoutFrame) {
    EventWnd* wnd = MakeShownWindow(0);
    wnd->SetStyle(wnd->GetStyle() & ~WS_CAPTION);
    wnd->SetWindowPos(10, 20, 273, 112, SWP_NOZORDER);
    EXPECT_TRUE(wnd->Widget()->isVisible());
    EXPECT_TRUE(wnd->Widget()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(wnd->GetWindowRect(), QRect(10, 20, 273, 112));
    EXPECT_EQ(wnd->GetClientSize(), QSize(273, 112));
    wnd->DestroyWindow();
}
