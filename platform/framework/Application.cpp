#include "platform/framework/Application.h"

#include <QCoreApplication>

#include "platform/framework/FrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/TerminationSignals.h"

namespace {
Application* current = nullptr;
}

Application::Application(std::string commandLine, int showCommand)
    : commandLine(std::move(commandLine)), showCommand(showCommand) {
    current = this;
}

Application::~Application() {
    if (current == this) current = nullptr;
}

Application* Application::Instance() { return current; }

int Application::Run() {
    // Logging out or a terminal's Ctrl+C closes the window as Exit does, so
    // the settings are kept, answering any open box or dialog with Cancel. Installed before start-up so that a signal
    // arriving while the window is created waits for the loop.
    static const bool signalsHandled = HandleTerminationSignals([] {
        // An open box or dialog would hold the close until someone answers.
        CancelModalLoops();
        Application* app = Instance();
        if (app && app->mainWnd)
            app->mainWnd->PostMessage(WM_CLOSE, 0, 0);
        else
            QCoreApplication::exit(0);
    });
    (void)signalsHandled;
    if (InitInstance()) exitCode = QCoreApplication::exec();
    destroyedMainWnd.reset();
    return ExitInstance();
}

bool Application::OnFrameDestroyed(FrameWnd* frame) {
    if (frame != mainWnd) return false;
    mainWnd = nullptr;
    destroyedMainWnd.reset(frame);
    QCoreApplication::exit(0);
    return true;
}
