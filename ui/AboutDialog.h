#pragma once
// The About box: the program's name, its version line and two icons.
// Modal; nothing is returned but the button that ended it.

#include "platform/framework/Dialog.h"

class AboutDialog : public Dialog {
public:
    static constexpr int IDD = 257;
    static constexpr int IDC_VERSION = 1029;

    explicit AboutDialog(Wnd* parent);

protected:
    bool OnInitDialog() override;
};
