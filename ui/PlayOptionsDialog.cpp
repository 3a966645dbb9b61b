#include "ui/PlayOptionsDialog.h"

#include "platform/framework/MessageBox.h"

PlayOptionsDialog::PlayOptionsDialog(Wnd* parent) : Dialog(IDD, parent) {}

void PlayOptionsDialog::SetPlayOptions(int repeat, int shuffle) {
    this->repeat = repeat;
    this->shuffle = shuffle;
}

void PlayOptionsDialog::GetPlayOptions(int& repeat, int& shuffle) const {
    repeat = this->repeat;
    shuffle = this->shuffle;
}

bool PlayOptionsDialog::OnInitDialog() {
    CheckDlgButton(IDC_REPEAT, repeat != 0);
    CheckDlgButton(IDC_SHUFFLE, shuffle != 0);
    return Dialog::OnInitDialog();
}

void PlayOptionsDialog::OnOK() {
    repeat = IsDlgButtonChecked(IDC_REPEAT) ? 1 : 0;
    shuffle = IsDlgButtonChecked(IDC_SHUFFLE) ? 1 : 0;
    EndDialog(IDOK);
}
