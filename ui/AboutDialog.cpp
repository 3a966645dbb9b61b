#include "ui/AboutDialog.h"

#include "platform/framework/Resources.h"

namespace {
constexpr UINT kVersionString = 52;
constexpr const char* kPlatformSuffix = " (Win95/WinNT)";
}  // namespace

AboutDialog::AboutDialog(Wnd* parent) : Dialog(IDD, parent) {}

bool AboutDialog::OnInitDialog() {
    SetDlgItemText(IDC_VERSION, LoadString(kVersionString) + kPlatformSuffix);
    return Dialog::OnInitDialog();
}
