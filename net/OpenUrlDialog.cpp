#include "net/OpenUrlDialog.h"

#include <QComboBox>

#include "net/InputLimits.h"
#include "net/UrlHistory.h"
#include "platform/framework/MessageBox.h"

namespace {
// The combo box's own search: the whole text, without regard to case.
bool Listed(const QComboBox& box, const QString& text) { return box.findText(text, Qt::MatchFixedString) != -1; }
}  // namespace

OpenUrlDialog::OpenUrlDialog(Wnd* owner, UrlHistory& history) : Dialog(IDD, owner), history(history) {}

bool OpenUrlDialog::OnInitDialog() {
    url.clear();
    if (auto* box = DlgItem<QComboBox>(IDC_URL)) {
        for (const std::string& entry : history.entries) {
            const QString text = QString::fromStdString(entry);
            if (!Listed(*box, text)) box->addItem(text);
        }
        box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    }
    return Dialog::OnInitDialog();
}

void OpenUrlDialog::OnOK() {
    const std::string text = GetDlgItemText(IDC_URL);
    if (!WithinLimit(text, kMaxLocationLength, "location")) return;
    url = text;
    // An empty text plays nothing, so it has no place in the history either.
    const auto* box = DlgItem<QComboBox>(IDC_URL);
    if (!url.empty() && box && !Listed(*box, QString::fromStdString(url))) history.Add(url);
    EndDialog(IDOK);
}
