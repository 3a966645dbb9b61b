#include "net/DirectoryDialog.h"

#include <utility>

#include "platform/filedialogs/FileDialogs.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Wnd.h"

DirectoryDialog::DirectoryDialog(Wnd* owner, std::string initialDirectory)
    : owner(owner), initialDirectory(std::move(initialDirectory)) {}

int DirectoryDialog::DoModal() {
    DirectoryDialogRequest request;
    request.owner = owner ? owner->Widget() : nullptr;
    request.title = "Select Directory";
    request.directory = initialDirectory;
    return RunDirectoryDialog(request, chosen) ? IDOK : IDCANCEL;
}
