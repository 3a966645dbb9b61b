#pragma once
// The Play Options dialog: Repeat and Shuffle as check boxes. Shuffle is
// shown but cannot be changed (the template creates it disabled). Modal; the
// caller reads the values back only when it ends with OK.

#include "platform/framework/Dialog.h"

class PlayOptionsDialog : public Dialog {
public:
    static constexpr int IDD = 252;
    static constexpr int IDC_REPEAT = 1010;
    static constexpr int IDC_SHUFFLE = 1011;

    explicit PlayOptionsDialog(Wnd* parent);

    void SetPlayOptions(int repeat, int shuffle);
    void GetPlayOptions(int& repeat, int& shuffle) const;

    int repeat = 0;   // 0 or 1
    int shuffle = 0;  // 0 or 1

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
