#pragma once
// The Track information window: the number, file and text tags of the track
// that plays. Modeless and owned by the main window, whose player layer keeps
// the only pointer to it, sets the members and calls UpdateControls.
//
// Close and Escape destroy the window; Enter does nothing. On its way out the
// window sends UM_INFO_CLOSED to its owner (so the pointer is dropped while
// the owner still exists) and then deletes itself: create it with new.

#include <string>

#include "platform/framework/Dialog.h"

class TrackInfoDialog : public Dialog {
public:
    static constexpr int IDD = 262;
    static constexpr int IDC_TITLE = 1030;
    static constexpr int IDC_ARTIST = 1031;
    static constexpr int IDC_COMPOSER = 1032;
    static constexpr int IDC_AUTHOR = 1033;
    static constexpr int IDC_TRACK = 1034;
    static constexpr int IDC_FILE = 1035;
    // Longer file names are shortened to this many characters.
    static constexpr size_t kFileWidth = 33;

    explicit TrackInfoDialog(Wnd* owner);

    // Formats the track number, shortens `file` in place when it is longer
    // than kFileWidth characters, and shows every member.
    void UpdateControls();

    std::string title;
    std::string artist;
    std::string composer;
    std::string author;
    std::string file;
    int trackNumber = 0;  // 0: none
    std::string trackNumberText;
    Wnd* owner;

    DECLARE_MESSAGE_TABLE()

protected:
    bool OnInitDialog() override;
    // There is nothing to confirm, so Enter must neither hide nor close it.
    void OnOK() override {}
    void PostNcDestroy() override;

private:
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
};
