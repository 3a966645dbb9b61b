#pragma once
// The file dialog of Play File and of saving a stream: open or save mode,
// default suffix "mp3", paths that must exist, and a filter given in the
// program's one-string form, "Description|patterns|Description|patterns||",
// where patterns are separated by ';' and may start with a blank.
//
// The caller may set the title and add flags (OFN_*) before DoModal. After
// OK, PathNames holds the chosen full paths in the dialog's order.

#include <string>
#include <string_view>
#include <vector>

#include "platform/filedialogs/FileDialogs.h"

class QWidget;

class PlayerFileDialog {
public:
    // The filter of Play File and "Save URL as".
    static constexpr const char* kLayer3Filter =
        "Layer 3 (*.mp3)|*.MP3|Playlist (*.m3u)| *.m3u|All Files (*.*)| *.*||";

    // initialPath, when given, is cut at its last '/': the folder the dialog
    // opens in, and the name it proposes (a path without '/' is only a name).
    PlayerFileDialog(bool open, QWidget* owner, std::string_view filter, const std::string& initialPath = {});

    // IDOK when the user chose, IDCANCEL otherwise.
    int DoModal();
    const std::vector<std::string>& PathNames() const { return chosen; }
    // The first chosen path; empty before OK.
    std::string PathName() const { return chosen.empty() ? std::string() : chosen.front(); }

    // The filter in Qt's form. Patterns match regardless of case, as the
    // program's users expect of "*.MP3", so each is given in both cases; "*.*"
    // means every file, also one without a dot.
    static std::vector<std::string> QtFilters(std::string_view filter);

    std::string title;
    UINT flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER;

private:
    FileDialogRequest request;
    std::vector<std::string> chosen;
};
