// The skin layer's option commands: About, Output and Play Options. Each
// dialog gets copies of the members and gives them back only on OK; the
// stream that plays keeps its settings, the next open uses the new ones.
#include "platform/framework/MessageBox.h"
#include "ui/AboutDialog.h"
#include "ui/OutputDialog.h"
#include "ui/PlayOptionsDialog.h"
#include "ui/SkinFrameWnd.h"

LRESULT SkinFrameWnd::OnAppAbout(WPARAM, LPARAM) {
    AboutDialog dialog(this);
    dialog.DoModal();
    return 0;
}

LRESULT SkinFrameWnd::OnOptionsOutput(WPARAM, LPARAM) {
    OutputDialog dialog(this);
    dialog.SetOutputOptions(quality, resolution, downmix, cpuType);
    if (dialog.DoModal() == IDOK) dialog.GetOutputOptions(quality, resolution, downmix, cpuType);
    return 0;
}

LRESULT SkinFrameWnd::OnOptionsPlay(WPARAM, LPARAM) {
    PlayOptionsDialog dialog(this);
    dialog.SetPlayOptions(repeat, shuffle);
    if (dialog.DoModal() == IDOK) dialog.GetPlayOptions(repeat, shuffle);
    return 0;
}
