#pragma once
// The Open URL dialog: a combo box with the URL history (case-insensitive
// duplicates shown once, the most recent location in the edit field). OK takes
// the text as typed into `url` and puts a new location at the front of the
// history; one that differs from an entry only in letter case is not added
// and not moved. Modal.

#include <string>

#include "platform/framework/Dialog.h"

class UrlHistory;

class OpenUrlDialog : public Dialog {
public:
    static constexpr int IDD = 250;
    static constexpr int IDC_URL = 1014;

    OpenUrlDialog(Wnd* owner, UrlHistory& history);

    std::string url;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    UrlHistory& history;
};
