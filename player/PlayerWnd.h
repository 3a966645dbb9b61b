#pragma once
// The player layer of the main window: owns the playback engine and the
// decoder library's initialisation, restores the stored playlist, and carries
// out the transport commands (Play, Pause, Stop, Next, Previous, restart,
// PlayTrack) and what follows when a track ends.
//
// Every command that stops a stream records its intention first (nextPending,
// prevPending, restartPending, or the state Stopped for Stop); the engine's
// UM_PLAYBACK_STOPPED then acts on it. While the decoder connects it calls
// back so that this window keeps dispatching its messages: a Stop may arrive
// in the middle of Play.
//
// Created with new, like every frame window. User-interface thread only.

#include <memory>
#include <string>

#include "engine/Decoder.h"
#include "engine/PlaybackEngine.h"
#include "engine/PlayerMessages.h"
#include "platform/mmtimer/MmTimer.h"
#include "platform/waveout/WaveOut.h"
#include "ui/SkinFrameWnd.h"

class TrackInfoDialog;

// What the engine plays through. The default is the real decoder library, an
// SDL device, a timer on the window's event loop and the steady clock; tests hand in fakes.
struct PlayerDevices {
    std::unique_ptr<Decoder> decoder;
    std::unique_ptr<WaveOutDevice> device;
    std::unique_ptr<MultimediaTimer> timer;
    std::unique_ptr<Clock> clock;

    static PlayerDevices Real();
};

class PlayerWnd : public SkinFrameWnd {
public:
    // Texts of the string table shown at creation and close.
    static constexpr UINT kStringWrongVersion = 2;
    static constexpr UINT kStringInitFailed = 3;
    static constexpr UINT kStringDoneFailed = 4;

    explicit PlayerWnd(SettingsStore& settings, PlayerDevices devices = PlayerDevices::Real());
    ~PlayerWnd() override;

    int OpenDialog(int number, int argument) override;
    int PlayCurrent(int wParam, int lParam) override;
    void StopPlayback() override;
    // Whether a stream the decoder may save is to be opened; nonzero = go on.
    virtual int ConfirmStreamOpen(int flag, const char* location);

    // The transport commands, also called by the automation commands.
    void Play();
    void Pause();
    void Stop();
    void Next();
    void Previous();
    void Restart();
    // Stops and plays entry n (-1: the current one) from the message loop;
    // false when there is no such entry.
    bool PlayTrack(int n);

    // One tag of the stream that plays (DecoderCommand::Title, Artist, Album
    // ...), as the Track information window shows it; false, with `text`
    // unchanged, when nothing plays or the stream has no such tag.
    bool ReadStreamTag(std::uint32_t code, std::string& text);

    // Fills the Track information window from the current track, or clears it.
    void UpdateInfoDialog(bool clear);

    PlayState state = PlayState::Stopped;
    bool nextPending = false;
    bool prevPending = false;
    bool restartPending = false;
    std::unique_ptr<PlaybackEngine> engine;
    // The modeless Track information window; null while not shown. It
    // deletes itself.
    TrackInfoDialog* infoDialog = nullptr;

    DECLARE_MESSAGE_TABLE()

protected:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDecodeTick(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlaybackStopped(WPARAM wParam, LPARAM lParam);
    LRESULT OnConfirmStream(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnPauseCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayPauseCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnStopCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNextCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrevCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenFilesCommand(WPARAM wParam, LPARAM lParam);
    // The Track information window (PlayerWndTrackInfo.cpp).
    LRESULT OnTrackInfoCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnInfoClosed(WPARAM wParam, LPARAM lParam);

    // Shows the current track number with every stream value unknown.
    void ShowTrackNumber();
    // The decoder library, for the layer above that hands it settings.
    Decoder& LibraryDecoder() { return *devices.decoder; }
    // True while Play waits in the engine's open.
    bool IsOpening() const { return opening; }

private:
    // The display update of a decode tick: the current track and the engine's state.
    void ReportStatus();
    // The window title says so while the decoder reconnects a lost stream.
    void ShowReconnecting();
    // Refills the Track information window when a station's title changed
    // (PlayerWndTrackInfo.cpp).
    void RefreshChangedTags();
    bool RestoreStoredPlaylist();
    static void WhileConnecting(void* self);
    // Once per run: tells the user, and standard error, when the device
    // plays into nothing because no sound device could be opened.
    void TellIfSilent();

    // Used by the engine until it is destroyed; the destructor sees to the order.
    PlayerDevices devices;
    // True while Play waits in the engine's open; messages dispatched then
    // must not start a second open or close the window under it.
    bool opening = false;
    bool showingReconnecting = false;
    // The decoder's count of tag changes when the Track information window was last filled.
    std::int32_t seenTagChanges = 0;
    // A close arrived during the open; it is carried out once the open returns.
    bool closeAfterOpen = false;
    bool silenceTold = false;
};
