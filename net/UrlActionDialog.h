#pragma once
// "Please select": asked when a stream that may be saved opens and the URL
// options say "Ask user". DoModal answers UrlPlayAndSave, UrlPlayOnly,
// UrlSaveOnly or UrlSaveThenPlay (by "Play after save"), or IDCANCEL for
// "Cancel Request", Escape and closing the dialog.

#include "platform/framework/Dialog.h"

class UrlActionDialog : public Dialog {
public:
    static constexpr int IDD = 258;
    static constexpr int IDC_PLAY_ONLY = 1025;
    static constexpr int IDC_PLAY_AND_SAVE = 1026;
    static constexpr int IDC_SAVE_ONLY = 1027;
    static constexpr int IDC_PLAY_AFTER_SAVE = 1028;

    explicit UrlActionDialog(Wnd* owner);

    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnPlayOnly(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayAndSave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSaveOnly(WPARAM wParam, LPARAM lParam);
};
