#pragma once
// The player's application object: decides at start whether this process
// becomes the player or hands its command line to the one already running,
// selects the settings store, creates and shows the main window, and answers
// the help commands.

#include <memory>
#include <string>

#include "platform/framework/Application.h"
#include "platform/instance/InstanceListener.h"

class AudioTopic;
class DdeServer;
class MprisService;
class SettingsStore;
class SkinFrameWnd;

class PlayerApp : public Application {
public:
    // The class name by which a second start finds the running player.
    static constexpr const char* kWindowClass = "Brelune3 Layer III Player";

    // `executablePath` is recorded as "ProgramFile"; `appName` names the
    // settings folder (the executable's name without directory and extension).
    PlayerApp(std::string commandLine, int showCommand, std::string executablePath, std::string appName);
    ~PlayerApp() override;

    SettingsStore* Settings() const { return settings.get(); }
    // The automation server and the player's topic; null before start-up.
    DdeServer* Server() const { return ddeServer.get(); }
    AudioTopic* Topic() const { return audioTopic.get(); }
    // The media controls; null before start-up.
    MprisService* MediaControls() const { return mpris.get(); }
    bool StartHidden() const { return startHidden; }

    DECLARE_MESSAGE_TABLE()

protected:
    bool InitInstance() override;
    int ExitInstance() override;
    // Constructs (does not create) the main window object: the top layer of
    // the main window's class chain.
    virtual SkinFrameWnd* NewMainWindow(SettingsStore& store);

private:
    LRESULT OnHelpIndex(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpUsing(WPARAM wParam, LPARAM lParam);
    void ActivateMainWindow();
    void DeliverCommandLine(const std::string& text);

    const std::string executablePath;
    const std::string appName;
    bool startHidden = false;
    InstanceListener listener;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<DdeServer> ddeServer;
    std::unique_ptr<AudioTopic> audioTopic;
    std::unique_ptr<MprisService> mpris;
};
