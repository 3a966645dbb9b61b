#include "platform/filedialogs/FileDialogs.h"

#include <QFileDialog>
#include <QStringList>
#include <utility>

namespace {
FileDialogHandler& Handler() {
    static FileDialogHandler handler;
    return handler;
}

DirectoryDialogHandler& DirectoryHandler() {
    static DirectoryDialogHandler handler;
    return handler;
}

QFileDialog::FileMode ModeFor(const FileDialogRequest& request) {
    if (request.save) return QFileDialog::AnyFile;
    if (request.flags & OFN_ALLOWMULTISELECT) return QFileDialog::ExistingFiles;
    return (request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile;
}
}  // namespace

bool RunFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen) {
    chosen.clear();
    if (Handler()) return Handler()(request, chosen);

    QFileDialog dialog(request.owner, QString::fromStdString(request.title));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(ModeFor(request));
    QStringList filters;
    for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & OFN_OVERWRITEPROMPT));
    if (!request.directory.empty()) dialog.setDirectory(QString::fromStdString(request.directory));
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return false;
    for (const QString& path : dialog.selectedFiles()) chosen.push_back(path.toStdString());
    return !chosen.empty();
}

void SetFileDialogHandler(FileDialogHandler handler) { Handler() = std::move(handler); }

bool RunDirectoryDialog(const DirectoryDialogRequest& request, std::string& chosen) {
    chosen.clear();
    if (DirectoryHandler()) return DirectoryHandler()(request, chosen);

    QFileDialog dialog(request.owner, QString::fromStdString(request.title));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!request.directory.empty()) dialog.setDirectory(QString::fromStdString(request.directory));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().front().toStdString();
    return !chosen.empty();
}

void SetDirectoryDialogHandler(DirectoryDialogHandler handler) { DirectoryHandler() = std::move(handler); }
