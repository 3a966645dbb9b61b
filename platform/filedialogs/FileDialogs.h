#pragma once
// The common file dialogs: choose existing files to open, a name to save
// under, or a folder. Shown modally over the owner on the user-interface
// thread; tests install a handler that answers instead, so nothing blocks.

#include <functional>
#include <string>
#include <vector>

#include "platform/framework/WindowMessages.h"

class QWidget;

// Option flags, with their classic values.
constexpr UINT OFN_OVERWRITEPROMPT = 0x00000002;
constexpr UINT OFN_HIDEREADONLY = 0x00000004;     // there is no read-only box to hide
constexpr UINT OFN_ALLOWMULTISELECT = 0x00000200;
constexpr UINT OFN_PATHMUSTEXIST = 0x00000800;
constexpr UINT OFN_FILEMUSTEXIST = 0x00001000;
constexpr UINT OFN_EXPLORER = 0x00080000;         // the only style there is

struct FileDialogRequest {
    bool save = false;
    QWidget* owner = nullptr;
    std::string title;
    // In Qt's form, "Description (*.a *.b)", one per entry; the first is selected.
    std::vector<std::string> filters;
    // Added to a typed name that has no suffix ("mp3", without the dot).
    std::string defaultSuffix;
    // Where the dialog opens, and the name it proposes; empty for its own choice.
    std::string directory;
    std::string fileName;
    UINT flags = 0;
};

// True when the user chose: `chosen` then holds the full paths in the
// dialog's order (one in save mode, or without OFN_ALLOWMULTISELECT).
bool RunFileDialog(const FileDialogRequest& request, std::vector<std::string>& chosen);

// Replaces the real dialog (for tests); pass an empty function to restore it.
using FileDialogHandler = std::function<bool(const FileDialogRequest& request, std::vector<std::string>& chosen)>;
void SetFileDialogHandler(FileDialogHandler handler);

// The folder chooser: starts in `directory` (its own choice when empty or
// missing) and lets the user pick an existing folder. True when one was
// chosen: `chosen` then holds its full path.
struct DirectoryDialogRequest {
    QWidget* owner = nullptr;
    std::string title;
    std::string directory;
};
bool RunDirectoryDialog(const DirectoryDialogRequest& request, std::string& chosen);

using DirectoryDialogHandler = std::function<bool(const DirectoryDialogRequest& request, std::string& chosen)>;
void SetDirectoryDialogHandler(DirectoryDialogHandler handler);
