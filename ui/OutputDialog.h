#pragma once
// The Output dialog: output frequency, sample width, stereo mode and
// processor class, each a group of radio buttons whose n-th button stands for
// the value n. Modal; the caller sets the values, runs it, and reads them
// back only when it ends with OK.
//
// A value outside its group's range selects no button. OK then keeps that
// value as it was: the user chose nothing in that group, and a stored value
// the dialog does not know is not ours to replace.

#include "platform/framework/Dialog.h"

class OutputDialog : public Dialog {
public:
    static constexpr int IDD = 251;
    static constexpr int IDC_FULL = 1001;
    static constexpr int IDC_HALF = 1002;
    static constexpr int IDC_QUARTER = 1003;
    static constexpr int IDC_16BIT = 1004;
    static constexpr int IDC_8BIT = 1005;
    static constexpr int IDC_STEREO = 1006;
    static constexpr int IDC_DOWNMIX = 1007;
    static constexpr int IDC_PENTIUM = 1008;
    static constexpr int IDC_486 = 1009;

    explicit OutputDialog(Wnd* parent);

    void SetOutputOptions(int frequency, int resolution, int stereoMode, int processorClass);
    void GetOutputOptions(int& frequency, int& resolution, int& stereoMode, int& processorClass) const;

    int frequency = 0;       // 0 full, 1 half, 2 quarter
    int resolution = 0;      // 0 16 bit, 1 8 bit
    int stereoMode = 0;      // 0 stereo, 1 down-mixed
    int processorClass = 0;  // 0 Pentium class, 1 80486 class

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
