#pragma once
// "Select Directory": the platform's folder chooser, starting in the folder
// given (its own choice when that is empty or missing). After OK, PathName()
// is the chosen folder's full path.

#include <string>

class Wnd;

class DirectoryDialog {
public:
    DirectoryDialog(Wnd* owner, std::string initialDirectory);

    // IDOK when a folder was chosen, IDCANCEL otherwise.
    int DoModal();
    const std::string& PathName() const { return chosen; }

private:
    Wnd* owner;
    std::string initialDirectory;
    std::string chosen;
};
