// Acting on the execute commands of the Audio topic (read by AudioCommand).
// Transport commands run before the client gets its answer; dialogs and exit
// are posted to the window, so the answer comes first.
#include <QApplication>
#include <QWidget>

#include "dde/AudioCommand.h"
#include "dde/AudioTopic.h"
#include "engine/PlayerMessages.h"
#include "platform/help/HelpWindow.h"
#include "player/PlayerWnd.h"

namespace {
// Whether `widget` is owned, through its parents, by `owner`.
bool IsOwnedBy(const QWidget* widget, const QWidget* owner) {
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget())
        if (parent == owner) return true;
    return false;
}
}  // namespace

PlayerWnd* AudioTopic::GuardedWindow() const {
    PlayerWnd* wnd = mainWindow ? mainWindow() : nullptr;
    if (!wnd || !wnd->IsWindow()) return nullptr;
    // The window must be its own last active pop-up: no modal dialog or
    // message box, no open menu, no other window of its own in front.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return nullptr;
    const QWidget* active = QApplication::activeWindow();
    if (active && active != wnd->Widget() && IsOwnedBy(active, wnd->Widget())) return nullptr;
    return wnd;
}

bool AudioTopic::OnExecute(std::string& text) {
    using Kind = AudioCommand::Kind;
    const AudioCommand command = ReadAudioCommand(text);
    if (command.kind == Kind::Unknown) return false;
    PlayerWnd* wnd = GuardedWindow();
    if (!wnd) return true;
    switch (command.kind) {
    case Kind::Unknown:
    case Kind::Nothing: break;
    case Kind::Exit: wnd->PostMessage(UM_OPEN_DIALOG, 0, 0); break;
    case Kind::Play: wnd->Play(); break;
    case Kind::PlayTrack: wnd->PlayTrack(command.track); break;
    case Kind::Pause: wnd->Pause(); break;
    case Kind::Stop: wnd->Stop(); break;
    case Kind::NextTrack: wnd->Next(); break;
    case Kind::PrevTrack: wnd->Previous(); break;
    case Kind::SetPlaylist:
        if (wnd->OpenFileOrList(command.argument, true, true)) PublishPlayList(wnd->playlist);
        break;
    case Kind::OpenDialog: wnd->PostMessage(UM_OPEN_DIALOG, WPARAM(command.dialog), 0); break;
    case Kind::HelpIndex: HelpWindow::Show(HELP_INDEX); break;
    }
    return true;
}
