#include "ui/TrackInfoDialog.h"

#include <QPushButton>
#include <QString>
#include <cstdio>

#include "engine/PlayerMessages.h"
#include "platform/framework/MessageBox.h"

namespace {
constexpr size_t kHeadLength = 10;
constexpr size_t kTailLength = 20;

// Counts characters, not bytes, so that a UTF-8 name is never cut inside one.
std::string ShortenFileName(const std::string& name) {
    const std::u32string characters = QString::fromStdString(name).toStdU32String();
    if (characters.size() <= TrackInfoDialog::kFileWidth) return name;
    const std::u32string shortened = characters.substr(0, kHeadLength) + U"..." +
                                     characters.substr(characters.size() - kTailLength);
    return QString::fromStdU32String(shortened).toStdString();
}
}  // namespace

TrackInfoDialog::TrackInfoDialog(Wnd* owner) : Dialog(IDD, owner), trackNumberText("--"), owner(owner) {}

const MessageMap* TrackInfoDialog::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_DESTROY, &TrackInfoDialog::OnDestroy),
    };
    static const MessageMap table{Dialog::MessageTable(), entries};
    return &table;
}

bool TrackInfoDialog::OnInitDialog() {
    // A push button with the focus would otherwise take Enter as its click.
    if (auto* close = DlgItem<QPushButton>(IDCANCEL)) close->setAutoDefault(false);
    return Dialog::OnInitDialog();
}

void TrackInfoDialog::UpdateControls() {
    if (trackNumber == 0) {
        trackNumberText = "--";
    } else {
        char text[16];
        std::snprintf(text, sizeof text, "%2d", trackNumber);
        trackNumberText = text;
    }
    file = ShortenFileName(file);
    SetDlgItemText(IDC_TRACK, trackNumberText);
    SetDlgItemText(IDC_FILE, file);
    SetDlgItemText(IDC_TITLE, title);
    SetDlgItemText(IDC_ARTIST, artist);
    SetDlgItemText(IDC_COMPOSER, composer);
    SetDlgItemText(IDC_AUTHOR, author);
}

LRESULT TrackInfoDialog::OnDestroy(WPARAM, LPARAM) {
    if (owner) owner->SendMessage(UM_INFO_CLOSED, 0, 0);
    return 0;
}

void TrackInfoDialog::PostNcDestroy() { delete this; }
