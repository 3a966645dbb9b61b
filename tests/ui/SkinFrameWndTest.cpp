// The skinned frame window: settings at creation and close, keeping the
// window on the screen, the title-bar toggle, dragging, and OpenDialog.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "engine/PlayerMessages.h"
#include "platform/framework/Resources.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "ui/SkinFrameWnd.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;  // caption, system menu, minimise box
const QSize kClient(273, 112);

// Records what the layer sends on to others: posted system commands and the
// commands OpenDialog hands to the dialogs' handlers.
class RecordingSkinWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    ~RecordingSkinWnd() override {
        if (deleted) *deleted = true;
    }
    std::vector<WPARAM> sysCommands;
    std::vector<UINT> commands;
    bool* deleted = nullptr;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnSysCommand(WPARAM wParam, LPARAM) {
        sysCommands.push_back(wParam);
        return 0;
    }
    LRESULT OnDialogCommand(WPARAM wParam, LPARAM) {
        commands.push_back(CommandId(wParam));
        return 0;
    }
};

const MessageMap* RecordingSkinWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_SYSCOMMAND, &RecordingSkinWnd::OnSysCommand),
        OnCommand(ID_FILE_PLAY, &RecordingSkinWnd::OnDialogCommand),
        OnCommand(ID_OPTIONS_OUTPUT, &RecordingSkinWnd::OnDialogCommand),
        OnCommand(ID_OPTIONS_PLAY, &RecordingSkinWnd::OnDialogCommand),
        OnCommand(ID_APP_ABOUT, &RecordingSkinWnd::OnDialogCommand),
    };
    static const MessageMap table{SkinFrameWnd::MessageTable(), entries};
    return &table;
}

RecordingSkinWnd* Start(MemorySettingsStore& store) {
    auto* wnd = new RecordingSkinWnd(store);
    EXPECT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
    wnd->ShowWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(wnd->Widget()));
    return wnd;
}

QPoint BottomRight(const QRect& outer) { return {outer.x() + outer.width(), outer.y() + outer.height()}; }

bool CaptionShown(const SkinFrameWnd& wnd) {
    return !(wnd.Widget()->windowFlags() & Qt::FramelessWindowHint) && wnd.GetMenu() != nullptr;
}
}  // namespace

TEST(SkinFrameWnd, FirstStartWithAnEmptyStoreOpensAt300By200AndWritesEveryOption) {
    MemorySettingsStore store;
    RecordingSkinWnd* wnd = Start(store);
    EXPECT_EQ(wnd->GetWindowRect().topLeft(), QPoint(300, 200));
    EXPECT_TRUE(CaptionShown(*wnd));
    EXPECT_EQ(wnd->titleBarShown, 1);
    EXPECT_EQ(wnd->GetClientSize().width(), kClient.width());
    EXPECT_EQ(wnd->ClientWidget()->height(), kClient.height());
    EXPECT_EQ(wnd->clientRect, QRect(QPoint(0, 0), kClient));
    EXPECT_EQ(wnd->GetWindowText(), "Brelune3");
    EXPECT_EQ(wnd->windowTitle, "Brelune3");
    for (const char* key : {"Quality", "Resolution", "Downmix", "CPUType", "Repeat", "Shuffle"}) {
        EXPECT_TRUE(store.Has("Settings", key)) << key;
        EXPECT_EQ(store.GetInt("Settings", key, -1), 0) << key;
    }
    // The position and title bar are only written at close.
    EXPECT_FALSE(store.Has("Settings", "WindowPosX"));
    EXPECT_FALSE(store.Has("Settings", "Titlebar"));
    wnd->DestroyWindow();
}

TEST(SkinFrameWnd, StoredOptionsAreReadButShuffleAlwaysStartsOff) {
    MemorySettingsStore store;
    store.WriteInt("settings", "Quality", 2);
    store.WriteInt("SETTINGS", "CPUType", 1);
    store.WriteInt("Settings", "Repeat", 1);
    store.WriteInt("Settings", "Shuffle", 1);
    RecordingSkinWnd* wnd = Start(store);
    EXPECT_EQ(wnd->quality, 2);
    EXPECT_EQ(wnd->cpuType, 1);
    EXPECT_EQ(wnd->repeat, 1);
    EXPECT_EQ(wnd->shuffle, 0);
    EXPECT_EQ(store.GetInt("Settings", "Shuffle", -1), 0);
    EXPECT_EQ(store.GetInt("Settings", "Quality", -1), 2);
    wnd->DestroyWindow();
}

TEST(SkinFrameWnd, StoredPositionIsMovedOntoTheScreen) {
    const QSize screen = FrameWnd::ScreenSize();
    struct Case {
        const char* what;
        int storedX, storedY, titlebar;
        // Expected position, as a function of the outer size counted with a menu bar.
        std::function<QPoint(QSize)> expected;
    } cases[] = {
        {"inside", 100, 120, 1, [](QSize) { return QPoint(100, 120); }},
        {"negative", -50, -20, 1, [](QSize) { return QPoint(0, 0); }},
        {"past the right edge", 5000, 200, 1, [&](QSize o) { return QPoint(screen.width() - o.width(), 200); }},
        {"past the bottom", 10, 5000, 1, [&](QSize o) { return QPoint(10, screen.height() - o.height()); }},
        // Without a caption the menu bar still counts, so a gap stays below.
        {"past the bottom, no caption", 10, 5000, 0,
         [&](QSize o) { return QPoint(10, screen.height() - o.height()); }},
    };
    for (const Case& c : cases) {
        MemorySettingsStore store;
        store.WriteInt("Settings", "WindowPosX", c.storedX);
        store.WriteInt("Settings", "WindowPosY", c.storedY);
        store.WriteInt("Settings", "Titlebar", c.titlebar);
        RecordingSkinWnd* wnd = Start(store);
        const QSize counted = wnd->AdjustWindowRect(kClient, wnd->GetStyle(), true);
        EXPECT_EQ(wnd->GetWindowRect().topLeft(), c.expected(counted)) << c.what;
        wnd->DestroyWindow();
    }
}

TEST(SkinFrameWnd, DoubleClickTogglesCaptionAndMenuAroundTheBottomRightCorner) {
    MemorySettingsStore store;
    RecordingSkinWnd* wnd = Start(store);
    const QRect shown = wnd->GetWindowRect();

    QTest::mouseDClick(wnd->ClientWidget(), Qt::LeftButton, {}, QPoint(100, 50));
    const QRect hidden = wnd->GetWindowRect();
    EXPECT_FALSE(CaptionShown(*wnd));
    EXPECT_EQ(wnd->titleBarShown, 0);
    EXPECT_TRUE(wnd->Widget()->isVisible());
    EXPECT_EQ(hidden.size(), kClient);
    EXPECT_EQ(BottomRight(hidden), BottomRight(shown));
    EXPECT_EQ(wnd->GetClientSize(), kClient);

    QTest::mouseDClick(wnd->ClientWidget(), Qt::LeftButton, {}, QPoint(100, 50));
    EXPECT_TRUE(CaptionShown(*wnd));
    EXPECT_EQ(wnd->GetWindowRect(), shown);
    EXPECT_EQ(wnd->GetClientSize(), kClient);
    wnd->DestroyWindow();
}

TEST(SkinFrameWnd, ShowingTheCaptionAtTheScreenCornerKeepsTheWindowOnTheScreen) {
    MemorySettingsStore store;
    store.WriteInt("Settings", "WindowPosX", 0);
    store.WriteInt("Settings", "WindowPosY", 0);
    store.WriteInt("Settings", "Titlebar", 0);
    RecordingSkinWnd* wnd = Start(store);
    EXPECT_EQ(wnd->GetWindowRect(), QRect(QPoint(0, 0), kClient));
    wnd->ToggleTitleBar();
    EXPECT_EQ(wnd->GetWindowRect().topLeft(), QPoint(0, 0));
    wnd->DestroyWindow();
}

TEST(SkinFrameWnd, ClientAreaClickDragsTheWindowOnlyWhileTheCaptionIsHidden) {
    for (int titlebar : {1, 0}) {
        MemorySettingsStore store;
        store.WriteInt("Settings", "Titlebar", titlebar);
        RecordingSkinWnd* wnd = Start(store);
        QTest::mousePress(wnd->ClientWidget(), Qt::LeftButton, {}, QPoint(100, 50));
        QCoreApplication::processEvents();
        const std::vector<WPARAM> expected = titlebar ? std::vector<WPARAM>{} : std::vector<WPARAM>{SC_DRAGMOVE};
        EXPECT_EQ(wnd->sysCommands, expected) << "Titlebar " << titlebar;
        EXPECT_EQ(wnd->titleBarShown, titlebar);
        wnd->DestroyWindow();
    }
}

TEST(SkinFrameWnd, OpenDialogHandsKnownNumbersToTheirCommandsAndIgnoresTheRest) {
    MemorySettingsStore store;
    RecordingSkinWnd* wnd = Start(store);
    for (int number : {7, 42, 9, -1, 2, 5, 6}) {
        EXPECT_EQ(wnd->SendMessage(UM_OPEN_DIALOG, WPARAM(number), 0), 0) << number;
    }
    EXPECT_TRUE(wnd->commands.empty());
    EXPECT_TRUE(wnd->IsWindow());
    for (int number : {1, 3, 4, 8}) wnd->SendMessage(UM_OPEN_DIALOG, WPARAM(number), 0);
    EXPECT_EQ(wnd->commands, (std::vector<UINT>{ID_FILE_PLAY, ID_OPTIONS_OUTPUT, ID_OPTIONS_PLAY, ID_APP_ABOUT}));
    wnd->DestroyWindow();
}

TEST(SkinFrameWnd, OpenDialogZeroClosesTheWindowAndSavesItsSettingsLikeExit) {
    for (const UINT how : {UM_OPEN_DIALOG, WM_COMMAND}) {
        MemorySettingsStore store;
        bool deleted = false;
        RecordingSkinWnd* wnd = Start(store);
        wnd->deleted = &deleted;
        wnd->ToggleTitleBar();
        wnd->SetWindowPos(40, 50, 0, 0, SWP_NOSIZE);
        wnd->quality = 1;
        wnd->downmix = 1;
        wnd->playlist = {"a.mp3"};
        if (how == UM_OPEN_DIALOG) {
            EXPECT_EQ(wnd->SendMessage(UM_OPEN_DIALOG, 0, 0), 0);
        } else {
            wnd->SendMessage(WM_COMMAND, MakeCommandWParam(ID_APP_EXIT, 0), 0);
        }
        EXPECT_FALSE(wnd->IsWindow());
        EXPECT_TRUE(wnd->playlist.empty());
        EXPECT_EQ(store.GetInt("Settings", "WindowPosX", -1), 40);
        EXPECT_EQ(store.GetInt("Settings", "WindowPosY", -1), 50);
        EXPECT_EQ(store.GetInt("Settings", "Titlebar", -1), 0);
        EXPECT_EQ(store.GetInt("Settings", "Quality", -1), 1);
        EXPECT_EQ(store.GetInt("Settings", "Downmix", -1), 1);
        EXPECT_EQ(store.GetInt("Settings", "Shuffle", -1), 0);
        QCoreApplication::processEvents();
        EXPECT_TRUE(deleted);
    }
}

TEST(SkinFrameWnd, PaintShowsTheBackgroundWithAnEtchedLineOnlyUnderAShownMenu) {
    MemorySettingsStore store;
    RecordingSkinWnd* wnd = Start(store);
    QImage skin;
    ASSERT_TRUE(LoadBitmap(300, skin));
    const int last = kClient.width() - 1;

    QImage shown = wnd->ClientWidget()->grab().toImage();
    ASSERT_EQ(shown.size(), kClient);
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(64, 64, 64));
    EXPECT_EQ(shown.pixelColor(last - 1, 0), QColor(64, 64, 64));
    EXPECT_EQ(shown.pixelColor(0, 1), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(last, 0), skin.pixelColor(last, 0));
    EXPECT_EQ(shown.pixelColor(100, 60), skin.pixelColor(100, 60));

    wnd->ToggleTitleBar();
    QImage hidden = wnd->ClientWidget()->grab().toImage();
    for (int x : {0, 100, last}) {
        EXPECT_EQ(hidden.pixelColor(x, 0), skin.pixelColor(x, 0)) << x;
        EXPECT_EQ(hidden.pixelColor(x, 1), skin.pixelColor(x, 1)) << x;
    }
    wnd->DestroyWindow();
}
