#include "player/PlayerWnd.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>

#include "engine/PlaylistEntry.h"
#include "engine/StoredPlaylist.h"
#include "platform/framework/Application.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"

namespace {
constexpr const char* kConnectingTitle = "Connecting...";
constexpr const char* kReconnectingTitle = "Reconnecting...";
constexpr const char* kTextNoSoundDevice =
    "No sound device could be opened, so the player plays without sound.\n"
    "Check that a sound card is present and that the sound server runs, then start the player again.\n\n";
// How long one call of the decoder's wait function may dispatch messages; the
// decoder calls it again at once, so this only bounds its own latency.
constexpr int kWaitDispatchMs = 5;

int PlayStateForDisplay(PlayState state) {
    switch (state) {
        case PlayState::Playing: return 0;
        case PlayState::Paused: return 1;
        default: return -1;
    }
}
}  // namespace

PlayerDevices PlayerDevices::Real() {
    return PlayerDevices{std::make_unique<MpxDecoder>(), CreateSdlWaveOut(), CreateLoopTimer(),
                         CreateSteadyClock()};
}

PlayerWnd::PlayerWnd(SettingsStore& settings, PlayerDevices devices)
    : SkinFrameWnd(settings), devices(std::move(devices)) {}

// The engine goes first: it stops its stream through the devices.
PlayerWnd::~PlayerWnd() { engine.reset(); }

const MessageMap* PlayerWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_CREATE, &PlayerWnd::OnCreate),
        OnMessage(WM_CLOSE, &PlayerWnd::OnClose),
        OnMessage(UM_DECODE_TICK, &PlayerWnd::OnDecodeTick),
        OnMessage(UM_PLAYBACK_STOPPED, &PlayerWnd::OnPlaybackStopped),
        OnMessage(UM_CONFIRM_STREAM, &PlayerWnd::OnConfirmStream),
        OnCommand(ID_PLAY, &PlayerWnd::OnPlayCommand),
        OnNotify(ID_PLAY, BN_DOUBLECLICKED, &PlayerWnd::OnPlayDoubleClick),
        OnCommand(ID_PAUSE, &PlayerWnd::OnPauseCommand),
        OnCommand(ID_PLAY_PAUSE, &PlayerWnd::OnPlayPauseCommand),
        OnCommand(ID_STOP, &PlayerWnd::OnStopCommand),
        OnCommand(ID_NEXT_TRACK, &PlayerWnd::OnNextCommand),
        OnCommand(ID_PREV_TRACK, &PlayerWnd::OnPrevCommand),
        OnCommand(ID_OPEN_FILES, &PlayerWnd::OnOpenFilesCommand),
        OnCommand(ID_TRACK_INFO, &PlayerWnd::OnTrackInfoCommand),
        OnMessage(UM_INFO_CLOSED, &PlayerWnd::OnInfoClosed),
    };
    static const MessageMap table{SkinFrameWnd::MessageTable(), entries};
    return &table;
}

LRESULT PlayerWnd::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (SkinFrameWnd::OnCreate(wParam, lParam) == -1) return -1;
    infoDialog = nullptr;
    Decoder& decoder = *devices.decoder;
    if (decoder.Init() != 0) {
        ShowMessageBox(LoadString(kStringInitFailed));
        return -1;
    }
    std::uint32_t version = 0;
    decoder.Command(DecoderCommand::VersionCheck, kDecoderVersion, 0, &version);
    if (version != kDecoderVersion) {
        ShowMessageBox(LoadString(kStringWrongVersion));
        decoder.Done();
        return -1;
    }
    decoder.Command(DecoderCommand::WaitHook, reinterpret_cast<std::intptr_t>(&PlayerWnd::WhileConnecting),
                    reinterpret_cast<std::intptr_t>(this), nullptr);

    state = PlayState::Stopped;
    nextPending = prevPending = restartPending = false;
    engine = std::make_unique<PlaybackEngine>(*this, decoder, *devices.device, *devices.timer, *devices.clock,
                                              [this] { ReportStatus(); });

    const Application* app = Application::Instance();
    const std::string commandLine = app ? app->CommandLine() : std::string();
    if (!commandLine.empty()) {
        // The same road as a second start's hand-over; the stored list stays
        // in the settings for the next start without arguments.
        CopyDataStruct data;
        data.dwData = 0;
        data.cbData = std::uint32_t(commandLine.size() + 1);
        data.lpData = commandLine.c_str();
        SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        return 0;
    }
    RestoreStoredPlaylist();
    return 0;
}

bool PlayerWnd::RestoreStoredPlaylist() {
    std::vector<std::string> stored = ReadStoredPlaylist(settings);
    if (stored.empty()) return false;
    playlist = std::move(stored);
    trackCount = int(playlist.size());
    currentTrack = 1;
    ShowTrackNumber();
    PublishPlayList();
    return true;
}

LRESULT PlayerWnd::OnClose(WPARAM wParam, LPARAM lParam) {
    if (opening) {
        // The engine is still inside its open (perhaps in a box it shows):
        // end the open; Play closes the window once the open has returned.
        closeAfterOpen = true;
        Stop();
        return 0;
    }
    engine.reset();
    if (devices.decoder->Done() != 0) ShowMessageBox(LoadString(kStringDoneFailed));
    return SkinFrameWnd::OnClose(wParam, lParam);
}

void PlayerWnd::WhileConnecting(void* self) {
    (void)self;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kWaitDispatchMs);
}

LRESULT PlayerWnd::OnDecodeTick(WPARAM, LPARAM) {
    if (engine) engine->DecodeTick();
    if (!silenceTold && devices.device->IsOpen()) TellIfSilent();
    return 0;
}

void PlayerWnd::TellIfSilent() {
    const std::string reason = devices.device->SilentFallbackReason();
    if (reason.empty()) return;
    silenceTold = true;
    std::fprintf(stderr, "%s: no sound device could be opened (%s); playing without sound\n",
                 QCoreApplication::applicationName().toLocal8Bit().constData(), reason.c_str());
    // The engine's tick has returned, so the box's loop may run further ticks:
    // the track plays on (silently) while the box is open.
    ShowMessageBox(kTextNoSoundDevice + reason, MessageBoxIcon::Warning);
}

void PlayerWnd::ReportStatus() {
    const StreamFormat& format = engine->CurrentFormat();
    UpdateDisplay(currentTrack, engine->ElapsedSeconds(), engine->FramesPlayed(), format.samplingRate,
                  format.channels, engine->Downmix(), format.layer, engine->BitRate(), format.version,
                  PlayStateForDisplay(state), engine->SyncState(), engine->ProgressPercent(), engine->PlayType());
    ShowReconnecting();
    RefreshChangedTags();
}

void PlayerWnd::ShowReconnecting() {
    const bool reconnecting = engine->IsReconnecting();
    if (reconnecting == showingReconnecting) return;
    showingReconnecting = reconnecting;
    SetWindowText(reconnecting ? kReconnectingTitle : windowTitle);
}

void PlayerWnd::ShowTrackNumber() { UpdateDisplay(currentTrack, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0); }

LRESULT PlayerWnd::OnConfirmStream(WPARAM wParam, LPARAM lParam) {
    return ConfirmStreamOpen(int(wParam), reinterpret_cast<const char*>(lParam));
}

int PlayerWnd::ConfirmStreamOpen(int, const char*) { return 1; }

int PlayerWnd::OpenDialog(int number, int argument) {
    SkinFrameWnd::OpenDialog(number, argument);
    return 0;
}

int PlayerWnd::PlayCurrent(int, int) {
    Play();
    return 0;
}

void PlayerWnd::StopPlayback() { Stop(); }

void PlayerWnd::Play() {
    if (currentTrack <= 0 || currentTrack > trackCount || std::size_t(currentTrack) > playlist.size()) return;
    if (state == PlayState::Paused) {
        Pause();
        return;
    }
    if (state != PlayState::Stopped || !engine) return;
    if (opening) {
        // A Stop ended the open in progress, but the engine has not returned
        // from it yet: start the new track once it has.
        PostMessage(UM_PLAY_CURRENT, 0, 0);
        return;
    }

    const std::string previousTitle = GetWindowText();
    state = PlayState::Connecting;
    SetWindowText(kConnectingTitle);
    const PlaylistEntry entry = PlaylistEntry::Parse(playlist[std::size_t(currentTrack) - 1]);
    trackName = entry.file;
    opening = true;
    const bool opened = engine->OpenStream(entry.file, quality, resolution, downmix, cpuType);
    opening = false;
    if (closeAfterOpen) {
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    if (!opened) {
        // The engine reports no stop for a failed open: the list stays here.
        state = PlayState::Stopped;
        SetWindowText(previousTitle);
        return;
    }
    Decoder& decoder = *devices.decoder;
    if (entry.offset > 0) decoder.Command(DecoderCommand::StartOffset, entry.offset, entry.offsetUnit, nullptr);
    if (entry.length > 0) decoder.Command(DecoderCommand::PlayLength, entry.length, entry.lengthUnit, nullptr);
    PublishItem("TrackName", entry.file);
    state = PlayState::Playing;
    SetWindowText(windowTitle);
    UpdateInfoDialog(false);
}

void PlayerWnd::Restart() {
    if ((state == PlayState::Playing || state == PlayState::Paused) && !restartPending) {
        restartPending = true;
        engine->StopStream();
    }
}

void PlayerWnd::Pause() {
    if (state == PlayState::Playing) {
        engine->PauseOutput();
        state = PlayState::Paused;
    } else if (state == PlayState::Paused) {
        engine->ResumeOutput();
        state = PlayState::Playing;
    }
}

void PlayerWnd::Stop() {
    // Also with no current track: a stream plays on when a failed list
    // replaced its playlist by an empty one, and must still be stoppable.
    if (state == PlayState::Stopped) return;
    if (state == PlayState::Connecting) devices.decoder->Command(DecoderCommand::AbortOpen, 0, 0, nullptr);
    state = PlayState::Stopping;
    // A Next, Previous or restart still waiting for its stop is overruled.
    nextPending = prevPending = restartPending = false;
    if (engine) engine->StopStream();
    state = PlayState::Stopped;
    currentTrack = trackCount > 0 ? 1 : 0;
}

void PlayerWnd::Next() {
    if (currentTrack >= trackCount) return;
    if (state == PlayState::Playing || state == PlayState::Paused) {
        nextPending = true;
        engine->StopStream();
    } else if (state == PlayState::Stopped) {
        ++currentTrack;
        ShowTrackNumber();
    }
}

void PlayerWnd::Previous() {
    if (currentTrack <= 1) return;
    if (state == PlayState::Playing || state == PlayState::Paused) {
        prevPending = true;
        engine->StopStream();
    } else if (state == PlayState::Stopped) {
        --currentTrack;
        ShowTrackNumber();
    }
}

bool PlayerWnd::PlayTrack(int n) {
    if (n == -1) n = currentTrack;
    if (n <= 0 || n > trackCount) return false;
    StopPlayback();
    currentTrack = n;
    PostMessage(UM_PLAY_CURRENT, 0, 0);
    return true;
}

LRESULT PlayerWnd::OnPlaybackStopped(WPARAM, LPARAM) {
    trackName.clear();
    SetWindowText(windowTitle);
    showingReconnecting = false;
    UpdateInfoDialog(true);
    PublishItem("TrackName", "");
    // A stream saved for playing afterwards that failed is not worth playing.
    if (engine && engine->EndedWithError()) replayOnce = 0;
    if (state != PlayState::Stopped && state != PlayState::Connecting) {
        state = PlayState::Stopped;
        if (nextPending || prevPending) {
            if (nextPending && !prevPending) ++currentTrack;
            if (prevPending && !nextPending) --currentTrack;
            nextPending = prevPending = false;
            Play();
        } else if (restartPending || replayOnce) {
            restartPending = false;
            replayOnce = 0;
            Play();
        } else if (currentTrack < trackCount) {
            ++currentTrack;
            Play();
        } else {
            currentTrack = 1;
            if (repeat) Play();
        }
    }
    ShowTrackNumber();
    return 0;
}

LRESULT PlayerWnd::OnPlayCommand(WPARAM, LPARAM) {
    Play();
    return 0;
}

LRESULT PlayerWnd::OnPlayDoubleClick(WPARAM, LPARAM) {
    Restart();
    return 0;
}

LRESULT PlayerWnd::OnPauseCommand(WPARAM, LPARAM) {
    Pause();
    return 0;
}

LRESULT PlayerWnd::OnPlayPauseCommand(WPARAM, LPARAM) {
    if (state == PlayState::Playing || state == PlayState::Paused)
        Pause();
    else
        Play();
    return 0;
}

LRESULT PlayerWnd::OnStopCommand(WPARAM, LPARAM) {
    Stop();
    return 0;
}

LRESULT PlayerWnd::OnNextCommand(WPARAM, LPARAM) {
    Next();
    return 0;
}

LRESULT PlayerWnd::OnPrevCommand(WPARAM, LPARAM) {
    Previous();
    return 0;
}

// The eject button opens the same Play File dialog as the menu.
LRESULT PlayerWnd::OnOpenFilesCommand(WPARAM, LPARAM) {
    SendMessage(WM_COMMAND, MakeCommandWParam(ID_FILE_PLAY, 0), 0);
    return 0;
}
