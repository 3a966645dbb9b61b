// The player layer's side of the Track information window: opening it from
// the info button, keeping it filled from the track that plays (and from a
// station's title as it changes), and dropping the pointer when the window
// goes.
#include <cstring>

#include "player/PlayerWnd.h"
#include "ui/TrackInfoDialog.h"

namespace {
constexpr std::size_t kTagBufferBytes = 128;
// The decoder is told less than the buffer holds, so its text always ends inside it.
constexpr std::intptr_t kTagBufferSize = 125;

// A tag the decoder has no text for leaves the field as it was.
bool ReadTag(Decoder& decoder, std::uint32_t code, std::string& field) {
    char buffer[kTagBufferBytes] = {};
    if (decoder.Command(code, 0, kTagBufferSize, buffer) != 0) return false;
    field.assign(buffer, strnlen(buffer, sizeof buffer));
    return true;
}
}  // namespace

LRESULT PlayerWnd::OnTrackInfoCommand(WPARAM, LPARAM) {
    if (infoDialog) {
        infoDialog->BringWindowToTop();
        return 0;
    }
    auto* dialog = new TrackInfoDialog(this);
    if (!dialog->Create()) {
        delete dialog;
        return 0;
    }
    infoDialog = dialog;
    UpdateInfoDialog(false);
    return 0;
}

LRESULT PlayerWnd::OnInfoClosed(WPARAM, LPARAM) {
    infoDialog = nullptr;
    return 0;
}

bool PlayerWnd::ReadStreamTag(std::uint32_t code, std::string& text) {
    if (state != PlayState::Playing && state != PlayState::Paused) return false;
    return ReadTag(*devices.decoder, code, text);
}

void PlayerWnd::RefreshChangedTags() {
    if (!infoDialog) return;
    std::int32_t changes = 0;
    if (devices.decoder->Command(DecoderCommand::TagChanges, 0, 0, &changes) != 0 || changes == seenTagChanges) return;
    UpdateInfoDialog(false);
}

void PlayerWnd::UpdateInfoDialog(bool clear) {
    if (!infoDialog) return;
    TrackInfoDialog& dialog = *infoDialog;
    if (clear) {
        dialog.trackNumber = 0;
        dialog.file.clear();
        dialog.title.clear();
        dialog.artist.clear();
        dialog.author.clear();
        dialog.composer.clear();
    } else {
        const bool playing = state == PlayState::Playing || state == PlayState::Paused;
        dialog.trackNumber = playing ? currentTrack : 0;
        dialog.file = trackName;
        Decoder& decoder = *devices.decoder;
        // Counted before the tags are read, so a change in between shows next time.
        std::int32_t changes = 0;
        if (decoder.Command(DecoderCommand::TagChanges, 0, 0, &changes) == 0) seenTagChanges = changes;
        ReadTag(decoder, DecoderCommand::Title, dialog.title);
        ReadTag(decoder, DecoderCommand::Artist, dialog.artist);
        ReadTag(decoder, DecoderCommand::Composer, dialog.composer);
        ReadTag(decoder, DecoderCommand::Author, dialog.author);
    }
    dialog.UpdateControls();
}
