#include "app/PlayerApp.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "app/CommandLine.h"
#include "dde/AudioTopic.h"
#include "engine/PlayerMessages.h"
#include "mpris/MprisService.h"
#include "net/NetPlayerWnd.h"
#include "platform/dde/DdeServer.h"
#include "platform/framework/DialogColours.h"
#include "platform/framework/LeanStyle.h"
#include "platform/framework/Resources.h"
#include "platform/help/HelpWindow.h"
#include "platform/instance/HandOver.h"
#include "platform/settings/IniSettingsStore.h"
#include "platform/settings/ProgramProfile.h"
#include "ui/SkinFrameWnd.h"

namespace {
constexpr const char* kCompany = "Orvantis";
constexpr const char* kTitle = "Brelune3";
// Caption, system menu and minimise box.
constexpr UINT kMainWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kMainMenu = 201;
constexpr int kAccelerators = 200;
// Play, pause, stop, track and file keys beyond the classic table.
constexpr int kPlayerKeys = 202;
constexpr int kAppIcon = 502;
// A second start that found a living player which never answered.
constexpr int kExitNoAnswer = 1;
}  // namespace

PlayerApp::PlayerApp(std::string commandLine, int showCommand, std::string executablePath, std::string appName)
    : Application(std::move(commandLine), showCommand),
      executablePath(std::move(executablePath)),
      appName(std::move(appName)) {}

PlayerApp::~PlayerApp() = default;

const MessageMap* PlayerApp::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommand(ID_HELP_INDEX, &PlayerApp::OnHelpIndex),
        OnCommand(ID_HELP_USING, &PlayerApp::OnHelpUsing),
    };
    static const MessageMap table{Application::MessageTable(), entries};
    return &table;
}

bool PlayerApp::InitInstance() {
    mainWnd = nullptr;
    startHidden = RemoveStartHiddenOption(commandLine);

    listener.activate = [this] { ActivateMainWindow(); };
    listener.copyData = [this](const std::string& text) { DeliverCommandLine(text); };
    switch (ClaimSingleInstance(listener, kWindowClass, commandLine)) {
        case StartRole::HandedOver: return false;
        case StartRole::Unanswered: exitCode = kExitNoAnswer; return false;
        case StartRole::Player:
        case StartRole::Alone: break;
    }

    // Other programs find the player here; failing to record it changes nothing else.
    WriteProgramFile(kCompany, executablePath);
    InstallLeanStyle();
    SetDialogColours(QColor(192, 192, 192), Qt::black);
    settings = CreateIniSettingsStore(kCompany, appName);

    // The automation service exists before the window, so that the window's
    // first values reach it; commands find no window until start-up is done.
    ddeServer = std::make_unique<DdeServer>(kTitle);
    audioTopic = std::make_unique<AudioTopic>(*ddeServer, [this] { return dynamic_cast<PlayerWnd*>(mainWnd); });
    // The media controls watch what the window publishes on its way to the topic.
    mpris = std::make_unique<MprisService>(
        ddeServer->Connection(), *audioTopic, [this] { return dynamic_cast<PlayerWnd*>(mainWnd); },
        [this] { ActivateMainWindow(); });

    if (QImage icon; LoadBitmap(kAppIcon, icon)) QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    SkinFrameWnd* wnd = NewMainWindow(*settings);
    wnd->SetItemPublisher(mpris.get());
    // A failed creation has destroyed the window, and any message came from
    // the layer that failed it.
    if (!wnd->Create(kWindowClass, kTitle, kMainWindowStyle, kMainMenu)) return false;
    wnd->DragAcceptFiles(true);
    wnd->LoadAccelTable(kAccelerators);
    wnd->LoadAccelTable(kPlayerKeys);
    wnd->Invalidate();
    wnd->ShowWindow(startHidden ? SW_HIDE : showCommand);
    mainWnd = wnd;
    return true;
}

SkinFrameWnd* PlayerApp::NewMainWindow(SettingsStore& store) { return new NetPlayerWnd(store); }

int PlayerApp::ExitInstance() {
    // The media controls first, which publish into the topic; then the
    // topic: its items leave the server's loops.
    mpris.reset();
    audioTopic.reset();
    ddeServer.reset();
    return Application::ExitInstance();
}

void PlayerApp::ActivateMainWindow() {
    if (!mainWnd) return;
    mainWnd->ShowWindow(SW_SHOWNORMAL);
    mainWnd->BringWindowToTop();
    // A dialog the player has open stays in front of its window.
    if (QWidget* popup = QApplication::activeModalWidget(); popup && popup != mainWnd->Widget()) {
        popup->raise();
        popup->activateWindow();
    }
}

void PlayerApp::DeliverCommandLine(const std::string& text) {
    if (!mainWnd) return;
    CopyDataStruct data;
    data.dwData = 0;
    data.cbData = std::uint32_t(text.size() + 1);
    data.lpData = text.c_str();
    mainWnd->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

LRESULT PlayerApp::OnHelpIndex(WPARAM, LPARAM) {
    HelpWindow::Show(HELP_INDEX);
    return 0;
}

LRESULT PlayerApp::OnHelpUsing(WPARAM, LPARAM) {
    HelpWindow::Show(HELP_HELPONHELP);
    return 0;
}
