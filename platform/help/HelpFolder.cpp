#include "platform/help/HelpFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
bool HoldsIndex(const QString& folder) { return QFileInfo(folder + "/index.html").isFile(); }
}  // namespace

QString HelpFolder() {
    const QString installed =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" + BRELUNE_HELP_FROM_BINDIR);
    if (HoldsIndex(installed)) return installed;
    const QString sourceTree = QStringLiteral(BRELUNE_SOURCE_HELP_DIR);
    if (HoldsIndex(sourceTree)) return sourceTree;
    return {};
}
