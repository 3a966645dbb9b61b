#include "net/UrlActionDialog.h"

#include "net/UrlMethod.h"

UrlActionDialog::UrlActionDialog(Wnd* owner) : Dialog(IDD, owner) {}

const MessageMap* UrlActionDialog::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommand(IDC_PLAY_ONLY, &UrlActionDialog::OnPlayOnly),
        OnCommand(IDC_PLAY_AND_SAVE, &UrlActionDialog::OnPlayAndSave),
        OnCommand(IDC_SAVE_ONLY, &UrlActionDialog::OnSaveOnly),
    };
    static const MessageMap table{Dialog::MessageTable(), entries};
    return &table;
}

LRESULT UrlActionDialog::OnPlayOnly(WPARAM, LPARAM) {
    EndDialog(UrlPlayOnly);
    return 0;
}

LRESULT UrlActionDialog::OnPlayAndSave(WPARAM, LPARAM) {
    EndDialog(UrlPlayAndSave);
    return 0;
}

LRESULT UrlActionDialog::OnSaveOnly(WPARAM, LPARAM) {
    EndDialog(IsDlgButtonChecked(IDC_PLAY_AFTER_SAVE) ? UrlSaveThenPlay : UrlSaveOnly);
    return 0;
}
