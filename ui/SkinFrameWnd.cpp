#include "ui/SkinFrameWnd.h"

#include <QPainter>
#include <algorithm>

#include "engine/PlayerMessages.h"
#include "platform/framework/Resources.h"
#include "platform/settings/SettingsStore.h"
#include "ui/ItemPublisher.h"

namespace {
constexpr const char* kSection = "Settings";
constexpr int kMainMenu = 201;
constexpr int kBackground = 300;
constexpr std::array<int, 9> kDisplayBitmaps{301, 306, 302, 304, 305, 307, 309, 308, 310};
// The size of our skin's background, for a build that lacks the image.
constexpr QSize kBackgroundSize(274, 112);
}  // namespace

SkinFrameWnd::SkinFrameWnd(SettingsStore& settings) : settings(settings) {}

const MessageMap* SkinFrameWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_CREATE, &SkinFrameWnd::OnCreate),
        OnMessage(WM_CLOSE, &SkinFrameWnd::OnClose),
        OnMessage(WM_PAINT, &SkinFrameWnd::OnPaint),
        OnMessage(WM_ERASEBKGND, &SkinFrameWnd::OnEraseBkgnd),
        OnMessage(WM_LBUTTONDOWN, &SkinFrameWnd::OnLButtonDown),
        OnMessage(WM_LBUTTONDBLCLK, &SkinFrameWnd::OnLButtonDblClk),
        OnMessage(UM_OPEN_DIALOG, &SkinFrameWnd::OnOpenDialogMessage),
        OnMessage(UM_PLAY_CURRENT, &SkinFrameWnd::OnPlayCurrentMessage),
        OnCommand(ID_FILE_PLAY, &SkinFrameWnd::OnFilePlay),
        OnMessage(WM_DROPFILES, &SkinFrameWnd::OnDropFiles),
        OnMessage(WM_COPYDATA, &SkinFrameWnd::OnCopyData),
        OnCommand(ID_APP_ABOUT, &SkinFrameWnd::OnAppAbout),
        OnCommand(ID_OPTIONS_OUTPUT, &SkinFrameWnd::OnOptionsOutput),
        OnCommand(ID_OPTIONS_PLAY, &SkinFrameWnd::OnOptionsPlay),
    };
    static const MessageMap table{FrameWnd::MessageTable(), entries};
    return &table;
}

int SkinFrameWnd::ReadSetting(const char* key, int defaultValue) { return settings.GetInt(kSection, key, defaultValue); }

void SkinFrameWnd::WriteSetting(const char* key, int value) { settings.WriteInt(kSection, key, value); }

void SkinFrameWnd::WriteOptions() {
    WriteSetting("Quality", quality);
    WriteSetting("Resolution", resolution);
    WriteSetting("Downmix", downmix);
    WriteSetting("CPUType", cpuType);
    WriteSetting("Repeat", repeat);
    WriteSetting("Shuffle", shuffle);
}

bool SkinFrameWnd::PreCreateWindow(CreateStruct& cs) {
    if (!FrameWnd::PreCreateWindow(cs)) return false;
    cs.style &= ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    return true;
}

LRESULT SkinFrameWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (FrameWnd::OnCreate(wParam, lParam) == -1) return -1;
    int x = ReadSetting("WindowPosX", 300);
    int y = ReadSetting("WindowPosY", 200);

    // A missing image leaves a plain face of the same size rather than no window.
    if (!LoadBitmap(kBackground, background)) {
        background = QImage(kBackgroundSize, QImage::Format_RGB32);
        background.fill(QColor(192, 192, 192));
    }
    clientRect = QRect(0, 0, background.width() - 1, background.height());
    QSize outer = AdjustWindowRect(clientRect.size(), GetStyle(), true);
    SetWindowPos(x, y, outer.width(), outer.height(), SWP_NOZORDER);

    titleBarShown = 1;
    if (ReadSetting("Titlebar", 1) == 0) ToggleTitleBar();

    // Keep the window on the screen, counting a menu bar even while it is hidden.
    outer = AdjustWindowRect(clientRect.size(), GetStyle(), true);
    const QSize screen = ScreenSize();
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (x + outer.width() > screen.width()) x = screen.width() - outer.width();
    if (y + outer.height() > screen.height()) y = screen.height() - outer.height();
    SetWindowPos(x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    windowTitle = GetWindowText();
    CreateButtons();
    for (size_t i = 0; i < kDisplayBitmaps.size(); ++i) LoadBitmap(kDisplayBitmaps[i], displayBitmaps[i]);
    display.Watch(ClientWidget());
    trackName.clear();
    currentTrack = 0;
    trackCount = 0;
    displayCache.fill(0);
    UpdateDisplay(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0);

    quality = ReadSetting("Quality", 0);
    resolution = ReadSetting("Resolution", 0);
    downmix = ReadSetting("Downmix", 0);
    cpuType = ReadSetting("CPUType", 0);
    repeat = ReadSetting("Repeat", 0);
    shuffle = 0;
    replayOnce = 0;
    // Written back at once so that every key exists after the first start.
    WriteOptions();
    return 0;
}

LRESULT SkinFrameWnd::OnClose(WPARAM, LPARAM) {
    WriteOptions();
    WriteSetting("Titlebar", titleBarShown == 1 ? 1 : 0);
    const QRect outer = GetWindowRect();
    WriteSetting("WindowPosX", outer.x());
    WriteSetting("WindowPosY", outer.y());
    background = QImage();
    displayBitmaps.fill(QImage());
    playlist.clear();
    DestroyWindow();
    return 0;
}

void SkinFrameWnd::PublishPlayList() {
    if (publisher) publisher->PublishPlayList(playlist);
}

void SkinFrameWnd::PublishItem(const std::string& item, const std::string& value) {
    if (publisher) publisher->PublishItem(item, value);
}

// The paint covers the whole client area, so erasing first would only flicker.
LRESULT SkinFrameWnd::OnEraseBkgnd(WPARAM, LPARAM) { return 1; }

LRESULT SkinFrameWnd::OnLButtonDown(WPARAM, LPARAM) {
    // Without a caption the window is moved by its client area.
    if (titleBarShown == 0) PostMessage(WM_SYSCOMMAND, SC_DRAGMOVE, 0);
    return 0;
}

LRESULT SkinFrameWnd::OnLButtonDblClk(WPARAM, LPARAM) {
    ToggleTitleBar();
    return 0;
}

LRESULT SkinFrameWnd::OnOpenDialogMessage(WPARAM wParam, LPARAM lParam) {
    return OpenDialog(int(wParam), int(lParam));
}

LRESULT SkinFrameWnd::OnPlayCurrentMessage(WPARAM wParam, LPARAM lParam) {
    return PlayCurrent(int(wParam), int(lParam));
}

void SkinFrameWnd::ToggleTitleBar() {
    if (titleBarShown == 1) {
        titleBarShown = 0;
        SetMenu(0);
    } else {
        titleBarShown = 1;
        SetMenu(kMainMenu);
    }
    const UINT newStyle = GetStyle() ^ WS_CAPTION;
    const QSize outer = AdjustWindowRect(clientRect.size(), newStyle, titleBarShown == 1);
    const QRect old = GetWindowRect();
    cornerToKeep.reset();
    if (titleBarShown == 1 && !CaptionFrameKnown()) cornerToKeep = old.topLeft() + QPoint(old.width(), old.height());
    const int x = std::max(0, old.x() + old.width() - outer.width());
    const int y = std::max(0, old.y() + old.height() - outer.height());
    SetStyle(newStyle);
    SetWindowPos(x, y, outer.width(), outer.height(), SWP_NOZORDER);
    Invalidate();
}

void SkinFrameWnd::OnCaptionFrameLearnt() {
    if (!cornerToKeep || titleBarShown != 1) return;
    const QSize outer = AdjustWindowRect(clientRect.size(), GetStyle(), true);
    SetWindowPos(std::max(0, cornerToKeep->x() - outer.width()), std::max(0, cornerToKeep->y() - outer.height()),
                 outer.width(), outer.height(), SWP_NOZORDER);
    cornerToKeep.reset();
}

int SkinFrameWnd::OpenDialog(int number, int) {
    // The dialogs answer their menu commands; routing through the message
    // tables lets whichever layer owns a dialog handle it.
    switch (number) {
        case 0: SendMessage(WM_CLOSE, 0, 0); break;
        case 1: SendMessage(WM_COMMAND, MakeCommandWParam(ID_FILE_PLAY, 0), 0); break;
        case 3: SendMessage(WM_COMMAND, MakeCommandWParam(ID_OPTIONS_OUTPUT, 0), 0); break;
        case 4: SendMessage(WM_COMMAND, MakeCommandWParam(ID_OPTIONS_PLAY, 0), 0); break;
        case 8: SendMessage(WM_COMMAND, MakeCommandWParam(ID_APP_ABOUT, 0), 0); break;
        default: break;
    }
    return 0;
}

int SkinFrameWnd::PlayCurrent(int, int) { return 0; }

void SkinFrameWnd::StopPlayback() {}
