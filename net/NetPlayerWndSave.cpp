// Saving a stream while it plays: when a stream that may be saved opens, the
// URL options (or the user, through "Please select") decide whether it plays,
// is saved to a file chosen in "Save URL as", or both. This runs inside the
// engine's open, before its timer starts; a cancel anywhere cancels the open.
#include "net/NetPlayerWnd.h"
#include "net/ProposedSavePath.h"
#include "net/UrlActionDialog.h"
#include "net/UrlMethod.h"
#include "platform/framework/MessageBox.h"
#include "ui/PlayerFileDialog.h"

namespace {
constexpr const char* kSaveTitle = "Save URL as";
constexpr const char* kTextUnableToSave = "Unable to save ";
}  // namespace

int NetPlayerWnd::ConfirmStreamOpen(int, const char* location) {
    int method = UrlMethod;
    const std::string proposedPath = ProposedSavePath(DefaultDirectory, location ? location : "");
    if (method == UrlAskUser) {
        UrlActionDialog dialog(this);
        method = dialog.DoModal();
    }
    if (method == IDCANCEL) return 0;
    if (method != UrlPlayAndSave && method != UrlSaveOnly && method != UrlSaveThenPlay) return 1;
    return SaveStream(method, proposedPath);
}

int NetPlayerWnd::SaveStream(int method, const std::string& proposedPath) {
    Decoder& decoder = LibraryDecoder();
    if (method != UrlPlayAndSave) decoder.Command(DecoderCommand::SaveOnly, 0, 0, nullptr);

    PlayerFileDialog dialog(false, Widget(), PlayerFileDialog::kLayer3Filter, proposedPath);
    dialog.title = kSaveTitle;
    dialog.flags |= OFN_OVERWRITEPROMPT;
    if (dialog.DoModal() != IDOK) return 0;

    const std::string path = dialog.PathName();
    const DecoderStatus status =
        decoder.Command(DecoderCommand::SaveToFile, reinterpret_cast<std::intptr_t>(path.c_str()), 0, nullptr);
    if (IsError(status)) {
        // A file that cannot even be created must not look like a save in progress.
        ShowMessageBox(kTextUnableToSave + path + "\n" + decoder.ErrorText(status), MessageBoxIcon::Error);
        return 0;
    }
    if (method == UrlSaveThenPlay && currentTrack >= 1 && std::size_t(currentTrack) <= playlist.size()) {
        playlist[std::size_t(currentTrack) - 1] = path;
        replayOnce = 1;
        PublishPlayList();
    }
    return 1;
}
