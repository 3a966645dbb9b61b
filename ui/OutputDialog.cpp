#include "ui/OutputDialog.h"

#include <array>

#include "platform/framework/MessageBox.h"

namespace {
struct RadioGroup {
    int firstId;
    int count;
    int OutputDialog::*member;
};

constexpr std::array<RadioGroup, 4> kGroups{{
    {OutputDialog::IDC_FULL, 3, &OutputDialog::frequency},
    {OutputDialog::IDC_16BIT, 2, &OutputDialog::resolution},
    {OutputDialog::IDC_STEREO, 2, &OutputDialog::stereoMode},
    {OutputDialog::IDC_PENTIUM, 2, &OutputDialog::processorClass},
}};
}  // namespace

OutputDialog::OutputDialog(Wnd* parent) : Dialog(IDD, parent) {}

void OutputDialog::SetOutputOptions(int frequency, int resolution, int stereoMode, int processorClass) {
    this->frequency = frequency;
    this->resolution = resolution;
    this->stereoMode = stereoMode;
    this->processorClass = processorClass;
}

void OutputDialog::GetOutputOptions(int& frequency, int& resolution, int& stereoMode, int& processorClass) const {
    frequency = this->frequency;
    resolution = this->resolution;
    stereoMode = this->stereoMode;
    processorClass = this->processorClass;
}

bool OutputDialog::OnInitDialog() {
    for (const RadioGroup& group : kGroups) {
        const int value = this->*group.member;
        const int lastId = group.firstId + group.count - 1;
        // An id outside the group clears every button of it.
        const int checkId = value >= 0 && value < group.count ? group.firstId + value : 0;
        CheckRadioButton(group.firstId, lastId, checkId);
    }
    return Dialog::OnInitDialog();
}

void OutputDialog::OnOK() {
    for (const RadioGroup& group : kGroups) {
        for (int i = 0; i < group.count; ++i) {
            if (IsDlgButtonChecked(group.firstId + i)) this->*group.member = i;
        }
    }
    EndDialog(IDOK);
}
