#include "platform/framework/Application.h"

#include <QCoreApplication>

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
    if (InitInstance()) exitCode = QCoreApplication::exec();
    return ExitInstance();
}

void Application::OnFrameDestroyed(FrameWnd* frame) {
    if (frame != mainWnd) return;
    mainWnd = nullptr;
    QCoreApplication::exit(0);
}
