#pragma once
// The process's application object: instance start-up, the message loop and
// instance exit. Its message table receives the commands that no window's
// table handled. One exists at a time; a QApplication must exist before Run.
//
// Run() calls InitInstance(); when that returns true the Qt event loop runs
// until the main window is destroyed. ExitInstance() runs in every case and
// its result is the process's exit code.

#include <memory>
#include <string>

#include "platform/framework/CmdTarget.h"
#include "platform/framework/WindowConstants.h"

class FrameWnd;

class Application : public CmdTarget {
public:
    // `commandLine` is the program's arguments as one string; `showCommand`
    // how the main window is to be shown (SW_*).
    explicit Application(std::string commandLine, int showCommand = SW_SHOWNORMAL);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Instance();

    int Run();

    const std::string& CommandLine() const { return commandLine; }
    FrameWnd* MainWnd() const { return mainWnd; }

    // Called by a frame window once it is destroyed; destroying the main
    // window ends the message loop. True when the application deletes the
    // frame once the loop has ended (a deferred delete would never run then).
    bool OnFrameDestroyed(FrameWnd* frame);

protected:
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return exitCode; }

    std::string commandLine;
    int showCommand;
    FrameWnd* mainWnd = nullptr;
    int exitCode = 0;

private:
    std::unique_ptr<FrameWnd> destroyedMainWnd;
};
