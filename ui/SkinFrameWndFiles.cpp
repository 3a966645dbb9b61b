// Opening files: the Play File dialog, dropped files, the command line handed
// over by a second start (or by the window to itself), and the operations
// they share. Playback never starts inside these handlers: they post
// UM_PLAY_CURRENT and the message loop starts it.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "engine/PlayerMessages.h"
#include "engine/StoredPlaylist.h"
#include "platform/framework/DroppedFiles.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/Resources.h"
#include "platform/shell/FileUri.h"
#include "ui/ListFileReader.h"
#include "ui/PathParts.h"
#include "ui/PlayerFileDialog.h"
#include "ui/ResolveDisplayName.h"
#include "ui/SkinFrameWnd.h"
#include "ui/SplitArguments.h"

namespace {
constexpr UINT kStringCannotOpenList = 16;
constexpr const char* kPlayFileTitle = "Play Layer 3 File(s)";

bool HasListPrefix(std::string_view argument) {
    const std::string_view prefix = argument.substr(0, 3);
    return prefix == "/L " || prefix == "/l " || prefix == "-L " || prefix == "-l ";
}

// ".m3u" as the start of the extension, in any case: "x.M3U" and "x.m3u\"" both count.
bool IsM3uExtension(std::string_view ext) {
    constexpr std::string_view m3u = ".m3u";
    return ext.size() >= m3u.size() && std::equal(m3u.begin(), m3u.end(), ext.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

// One path as one argument: quoted when it has blanks, its own quotes and
// backslashes escaped, so that splitting gives the path back whole.
std::string AsArgument(const std::string& path) { return JoinArguments({path}); }

bool IsDirectory(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}
}  // namespace

bool SkinFrameWnd::OpenFileOrList(const std::string& argument, bool replace, bool start) {
    if (argument.empty()) return false;
    bool result = false;
    if (replace) {
        playlist.clear();
        result = true;
    }
    bool read = false;
    if (HasListPrefix(argument))
        read = ReadListFile(argument.substr(3));
    else if (IsM3uExtension(SplitPath(argument).ext))
        read = ReadListFile(argument);
    else
        read = AddFiles(argument);
    if (read) result = true;
    if (start) {
        trackCount = int(playlist.size());
        currentTrack = playlist.empty() ? 0 : 1;
        if (!playlist.empty()) PostMessage(UM_PLAY_CURRENT, 0, 0);
    }
    return result;
}

bool SkinFrameWnd::AddFiles(const std::string& argument) {
    if (argument.empty()) return false;
    const std::vector<std::string> words = SplitArguments(argument);
    StopPlayback();
    for (const std::string& word : words) playlist.push_back(ResolveDisplayName(word));
    return true;
}

bool SkinFrameWnd::ReadListFile(const std::string& name) {
    std::string path = name;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
    // A list handed over as a file:// location, as a desktop's "Open with" does.
    if (const std::optional<std::string> local = LocalPathFromFileUri(path)) path = *local;
    const std::optional<std::vector<std::string>> entries = LoadListFile(path);
    if (!entries) {
        ShowMessageBox(LoadString(kStringCannotOpenList), MessageBoxIcon::Question);
        return false;
    }
    StopPlayback();
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
    playlist.reserve(playlist.size() + entries->size());
    for (const std::string& entry : *entries) playlist.push_back(ResolveDisplayName(ResolveListEntry(entry, folder)));
    return true;
}

LRESULT SkinFrameWnd::OnFilePlay(WPARAM, LPARAM) {
    PlayerFileDialog dialog(true, Widget(), PlayerFileDialog::kLayer3Filter);
    dialog.title = kPlayFileTitle;
    dialog.flags |= OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST;
    if (dialog.DoModal() != IDOK) return 0;

    StopPlayback();
    playlist.clear();
    DeleteStoredPlaylist(settings);
    // A chosen .m3u gives its entries, any other file itself.
    std::vector<std::string> chosen;
    for (const std::string& path : dialog.PathNames()) chosen.push_back(AsArgument(path));
    for (const std::string& argument : chosen) OpenFileOrList(argument, false, false);
    trackCount = int(playlist.size());
    currentTrack = playlist.empty() ? 0 : 1;
    WriteStoredPlaylist(settings, playlist);
    PublishPlayList();
    // Also for an empty list: the player then finds nothing to play.
    PostMessage(UM_PLAY_CURRENT, 0, 0);
    return 0;
}

LRESULT SkinFrameWnd::OnDropFiles(WPARAM wParam, LPARAM) {
    const auto* drop = reinterpret_cast<const DroppedFiles*>(wParam);
    if (!drop || drop->paths.empty()) return 0;
    StopPlayback();
    playlist.clear();
    for (const std::string& path : drop->paths) {
        // A folder is no track, and reading it as a list would only ask the
        // user about a playlist they never named.
        if (IsDirectory(path)) continue;
        OpenFileOrList(AsArgument(path), false, false);
    }
    trackCount = int(playlist.size());
    currentTrack = playlist.empty() ? 0 : 1;
    PublishPlayList();
    PostMessage(UM_PLAY_CURRENT, 0, 0);
    return 0;
}

LRESULT SkinFrameWnd::OnCopyData(WPARAM, LPARAM lParam) {
    const auto* data = reinterpret_cast<const CopyDataStruct*>(lParam);
    if (!data || !data->lpData || data->cbData == 0) return 0;
    // The text ends at its terminator, or at the data's end when a sender left it out.
    const char* text = static_cast<const char*>(data->lpData);
    const std::string argument(text, strnlen(text, data->cbData));
    if (OpenFileOrList(argument, true, true)) PublishPlayList();
    return 0;
}
