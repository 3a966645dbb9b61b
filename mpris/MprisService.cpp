#include "mpris/MprisService.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "engine/PlayerMessages.h"
#include "engine/PlaylistEntry.h"
#include "mpris/MprisNames.h"
#include "mpris/MprisPlayerAdaptor.h"
#include "mpris/MprisRootAdaptor.h"
#include "mpris/PlayableUri.h"
#include "player/PlayerWnd.h"
#include "ui/SplitArguments.h"

namespace {
// A length estimated from the bytes read moves a little as a track plays;
// clients are told again only when it moves by more than this.
constexpr std::int64_t kLengthSlackMicroseconds = 1'000'000;

// Named as the program is run, like the player's other lines on standard error.
void SayWhy(const char* reason) {
    std::fprintf(stderr, "%s: %s; running without media controls\n",
                 QCoreApplication::applicationName().toLocal8Bit().constData(), reason);
}

bool Streaming(const PlayerWnd& wnd) { return wnd.state == PlayState::Playing || wnd.state == PlayState::Paused; }

std::string TrimmedRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    return text;
}

QVariantMap Changes(const MprisService::State& before, const MprisService::State& now) {
    QVariantMap changed;
    if (now.status != before.status) changed.insert("PlaybackStatus", now.status);
    if (now.track != before.track) changed.insert("Metadata", TrackMetadata(now.track));
    if (now.canPlay != before.canPlay) changed.insert("CanPlay", now.canPlay);
    if (now.canPause != before.canPause) changed.insert("CanPause", now.canPause);
    if (now.canGoNext != before.canGoNext) changed.insert("CanGoNext", now.canGoNext);
    if (now.canGoPrevious != before.canGoPrevious) changed.insert("CanGoPrevious", now.canGoPrevious);
    return changed;
}
}  // namespace

MprisService::MprisService(QDBusConnection connection, ItemPublisher& next, std::function<PlayerWnd*()> mainWindow,
                           std::function<void()> raise)
    : connection(std::move(connection)),
      next(next),
      mainWindow(std::move(mainWindow)),
      raise(std::move(raise)),
      host(std::make_unique<QObject>()) {
    new MprisRootAdaptor(host.get(), *this);
    new MprisPlayerAdaptor(host.get(), *this);
    if (!this->connection.isConnected()) return;  // the automation service has said so
    if (!this->connection.registerObject(mpris::kObjectPath, host.get(), QDBusConnection::ExportAdaptors)) {
        SayWhy("could not offer the media controls object");
        return;
    }
    QDBusConnectionInterface* bus = this->connection.interface();
    for (const QString& name : {mpris::kBusName, mpris::kBusName + ".instance" + QString::number(getpid())}) {
        const auto reply = bus->registerService(name, QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
        if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
            busName = name;
            break;
        }
    }
    if (busName.isEmpty()) {
        this->connection.unregisterObject(mpris::kObjectPath);
        SayWhy("the media controls' bus name is taken");
    }
}

MprisService::~MprisService() {
    if (busName.isEmpty()) return;
    // Blocking, so that the name is gone before the process is: no client
    // finds a player that no longer answers.
    connection.interface()->unregisterService(busName);
    connection.unregisterObject(mpris::kObjectPath);
}

bool MprisService::PublishPlayList(const std::vector<std::string>& playlist) {
    ScheduleRefresh();
    return next.PublishPlayList(playlist);
}

void MprisService::PublishItem(const std::string& item, const std::string& value) {
    // These move at every tick or second and touch nothing clients are told
    // of (the position is read, never signalled): no refresh for them.
    if (item != "Frames" && item != "Time" && item != "Bitrate") ScheduleRefresh();
    next.PublishItem(item, value);
}

PlayerWnd* MprisService::Window() const {
    PlayerWnd* wnd = mainWindow ? mainWindow() : nullptr;
    return wnd && wnd->IsWindow() ? wnd : nullptr;
}

MprisService::State MprisService::Current() const {
    State state;
    PlayerWnd* wnd = Window();
    if (!wnd) return state;
    const bool streaming = Streaming(*wnd);
    if (wnd->state == PlayState::Playing) state.status = QStringLiteral("Playing");
    if (wnd->state == PlayState::Paused) state.status = QStringLiteral("Paused");
    const int current = wnd->currentTrack;
    const bool hasEntry = current >= 1 && current <= wnd->trackCount && std::size_t(current) <= wnd->playlist.size();
    state.canPlay = hasEntry;
    state.canPause = hasEntry || streaming;
    state.canGoNext = current < wnd->trackCount;
    state.canGoPrevious = current > 1;

    TrackFacts& track = state.track;
    if (streaming) {
        track.track = current;
        track.location = wnd->trackName;
        wnd->ReadStreamTag(DecoderCommand::Title, track.title);
        wnd->ReadStreamTag(DecoderCommand::Artist, track.artist);
        wnd->ReadStreamTag(DecoderCommand::Album, track.album);
        track.lengthMicroseconds = wnd->engine ? wnd->engine->LengthMicroseconds() : -1;
        const std::int64_t told = shown.track.lengthMicroseconds;
        if (told > 0 && track.lengthMicroseconds > 0 && shown.track.location == track.location &&
            std::llabs(told - track.lengthMicroseconds) <= kLengthSlackMicroseconds)
            track.lengthMicroseconds = told;
    } else if (hasEntry) {
        const std::string& entry = wnd->playlist[std::size_t(current) - 1];
        track.track = current;
        track.location = PlaylistEntry::Parse(entry).file;
    }
    // An entry with options keeps the blank before its "[": as the decoder
    // does, a name that does not exist as given is taken without it.
    std::error_code error;
    if (!track.location.empty() && !IsNetworkLocation(track.location) &&
        !std::filesystem::exists(track.location, error))
        track.location = TrimmedRight(track.location);
    return state;
}

qlonglong MprisService::Position() const {
    PlayerWnd* wnd = Window();
    if (!wnd || !Streaming(*wnd) || !wnd->engine) return 0;
    return wnd->engine->PlayedMicroseconds();
}

void MprisService::ScheduleRefresh() {
    if (refreshPending || busName.isEmpty()) return;
    refreshPending = true;
    QTimer::singleShot(0, host.get(), [this] { Refresh(); });
}

void MprisService::Refresh() {
    refreshPending = false;
    const State now = Current();
    const QVariantMap changed = Changes(shown, now);
    shown = now;
    if (changed.isEmpty()) return;
    QDBusMessage signal =
        QDBusMessage::createSignal(mpris::kObjectPath, mpris::kPropertiesInterface, "PropertiesChanged");
    signal << mpris::kPlayerInterface << changed << QStringList();
    connection.send(signal);
}

void MprisService::Transport(Command command) {
    PlayerWnd* wnd = Window();
    if (!wnd) return;
    UINT id = 0;
    switch (command) {
        case Command::Play: id = ID_PLAY; break;
        // The pause button resumes a paused track; this Pause only pauses.
        case Command::Pause: id = wnd->state == PlayState::Playing ? ID_PAUSE : 0; break;
        case Command::PlayPause: id = ID_PLAY_PAUSE; break;
        case Command::Stop: id = ID_STOP; break;
        case Command::Next: id = ID_NEXT_TRACK; break;
        case Command::Previous: id = ID_PREV_TRACK; break;
    }
    if (id != 0) wnd->SendMessage(WM_COMMAND, MakeCommandWParam(id, 0), 0);
    ScheduleRefresh();
}

void MprisService::OpenUri(const QString& uri, const QDBusMessage& message) {
    if (const std::optional<UriRefusal> refusal = RefuseUnplayableUri(uri)) {
        Refuse(message, refusal->errorName, refusal->message);
        return;
    }
    PlayerWnd* wnd = Window();
    if (!wnd) {
        Refuse(message, mpris::kErrorFailed, QStringLiteral("The player's window is not open"));
        return;
    }
    // The road of a second start's command line: the location replaces the
    // playlist (a list is read as a list) and plays from the message loop.
    const std::string argument = JoinArguments({uri.toStdString()});
    CopyDataStruct data;
    data.dwData = 0;
    data.cbData = std::uint32_t(argument.size() + 1);
    data.lpData = argument.c_str();
    wnd->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    ScheduleRefresh();
}

void MprisService::Raise() {
    if (raise) raise();
}

void MprisService::Quit(const QDBusMessage& message) {
    PlayerWnd* wnd = Window();
    if (!wnd) return;
    // A dialog or message box runs its own loop over the window: closing the
    // window under it is left to the user, as with the automation's exit.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        Refuse(message, mpris::kErrorFailed, QStringLiteral("The player has a dialog open; close it first"));
        return;
    }
    // Posted, so that the reply reaches the client before the player closes.
    wnd->PostMessage(UM_OPEN_DIALOG, 0, 0);
}

void MprisService::Refuse(const QDBusMessage& message, const QString& errorName, const QString& text) {
    message.setDelayedReply(true);
    connection.send(message.createErrorReply(errorName, text));
}
