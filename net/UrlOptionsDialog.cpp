#include "net/UrlOptionsDialog.h"

#include "net/DirectoryDialog.h"
#include "net/InputLimits.h"
#include "net/UrlMethod.h"
#include "platform/framework/MessageBox.h"

UrlOptionsDialog::UrlOptionsDialog(Wnd* owner) : Dialog(IDD, owner) {}

const MessageMap* UrlOptionsDialog::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommandRange(IDC_PLAY_AND_SAVE, IDC_ASK_USER, &UrlOptionsDialog::OnActionClicked),
        OnCommand(IDC_BROWSE, &UrlOptionsDialog::OnBrowse),
    };
    static const MessageMap table{Dialog::MessageTable(), entries};
    return &table;
}

void UrlOptionsDialog::SetUrlOptions(int method, const std::string& directory) {
    this->method = method;
    this->directory = directory;
}

void UrlOptionsDialog::GetUrlOptions(int& method, std::string& directory) const {
    method = this->method;
    directory = this->directory;
}

std::string UrlOptionsDialog::WithoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool UrlOptionsDialog::OnInitDialog() {
    int selected = IDC_ASK_USER;
    switch (method) {
        case UrlPlayOnly: selected = IDC_PLAY_ONLY; break;
        case UrlPlayAndSave: selected = IDC_PLAY_AND_SAVE; break;
        case UrlSaveOnly:
        case UrlSaveThenPlay: selected = IDC_SAVE_ONLY; break;
        default: break;
    }
    CheckRadioButton(IDC_PLAY_AND_SAVE, IDC_ASK_USER, selected);
    if (method == UrlSaveThenPlay) CheckDlgButton(IDC_PLAY_AFTER_SAVE, true);
    EnablePlayAfterSave();
    SetDlgItemText(IDC_DIRECTORY, directory);
    return Dialog::OnInitDialog();
}

void UrlOptionsDialog::EnablePlayAfterSave() { EnableDlgItem(IDC_PLAY_AFTER_SAVE, IsDlgButtonChecked(IDC_SAVE_ONLY)); }

LRESULT UrlOptionsDialog::OnActionClicked(WPARAM, LPARAM) {
    EnablePlayAfterSave();
    return 0;
}

LRESULT UrlOptionsDialog::OnBrowse(WPARAM, LPARAM) {
    DirectoryDialog dialog(this, GetDlgItemText(IDC_DIRECTORY));
    if (dialog.DoModal() == IDOK && !dialog.PathName().empty())
        SetDlgItemText(IDC_DIRECTORY, WithoutTrailingSeparator(dialog.PathName()));
    return 0;
}

void UrlOptionsDialog::OnOK() {
    const std::string newDirectory = GetDlgItemText(IDC_DIRECTORY);
    if (!WithinLimit(newDirectory, kMaxDirectoryLength, "directory")) return;
    if (IsDlgButtonChecked(IDC_PLAY_ONLY))
        method = UrlPlayOnly;
    else if (IsDlgButtonChecked(IDC_PLAY_AND_SAVE))
        method = UrlPlayAndSave;
    else if (!IsDlgButtonChecked(IDC_SAVE_ONLY))
        method = UrlAskUser;
    else
        method = IsDlgButtonChecked(IDC_PLAY_AFTER_SAVE) ? UrlSaveThenPlay : UrlSaveOnly;
    directory = newDirectory;
    EndDialog(IDOK);
}
