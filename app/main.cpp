// The player's entry point: the arguments become the one command line the
// program works with, quoted so that splitting it gives them back.
#include <QApplication>
#include <QFileInfo>
#include <string>
#include <vector>

#include "app/PlayerApp.h"
#include "ui/SplitArguments.h"

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const QString executable = QCoreApplication::applicationFilePath();
    PlayerApp app(JoinArguments(arguments), SW_SHOWNORMAL, executable.toStdString(),
                  QFileInfo(executable).completeBaseName().toStdString());
    return app.Run();
}
