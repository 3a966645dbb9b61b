// The player's entry point: the arguments become the one command line the
// program works with, quoted so that splitting it gives them back.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PlayerApp.h"
#include "platform/help/HelpFolder.h"
#include "ui/SplitArguments.h"

namespace {
// Exit status of a start with an option the program does not know.
constexpr int kExitUsage = 2;

// Help, the version or an unknown option: answered on the terminal before any
// window, settings file or single-instance socket exists.
int AnswerWithoutPlayer(const ProgramOptions& options, int argc, char** argv) {
    const std::string program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    if (options.request == ProgramRequest::UnknownOption) {
        std::fprintf(stderr, "%s: unknown option '%s'\nTry '%s --help' for the options.\n", program.c_str(),
                     options.unknownOption.c_str(), program.c_str());
        return kExitUsage;
    }
    if (options.request == ProgramRequest::Version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    // The help folder is found from the program's own folder, which a core
    // application object knows without a display.
    QCoreApplication core(argc, argv);
    const QString folder = HelpFolder();
    std::fputs(UsageText(program, folder.isEmpty() ? "" : (folder + "/index.html").toStdString()).c_str(), stdout);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (const ProgramOptions options = ReadProgramOptions({argv + 1, argv + argc});
        options.request != ProgramRequest::Run)
        return AnswerWithoutPlayer(options, argc, argv);
    // The window is small: copying its repaints through the X connection
    // costs the server less than shared memory does, and needs no completion
    // event back, which would wake two of our threads for every repaint.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication qtApp(argc, argv);
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName("org.orvantis.Brelune3");
    // Qt has taken its own options out of argv by now.
    const ProgramOptions options = ReadProgramOptions({argv + 1, argv + argc});
    const QString executable = QCoreApplication::applicationFilePath();
    PlayerApp app(JoinArguments(options.arguments), SW_SHOWNORMAL, executable.toStdString(),
                  QFileInfo(executable).completeBaseName().toStdString());
    return app.Run();
}
