// The execute commands of the Audio topic. Keywords match in any letter
// case; arguments (file names, locations, track numbers) keep theirs, since
// file names on these systems are case-sensitive. Transport commands run
// before the client gets its answer; dialogs and exit are posted to the
// window, so the answer comes first.
#include <QApplication>
#include <QWidget>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "dde/AudioTopic.h"
#include "engine/PlayerMessages.h"
#include "platform/help/HelpWindow.h"
#include "player/PlayerWnd.h"

namespace {
std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The text from character `start` on (counted from 0), or nothing.
std::string_view From(std::string_view text, std::size_t start) {
    return start < text.size() ? text.substr(start) : std::string_view();
}

// The C library's decimal reading (blanks, a sign, the leading digits);
// a number beyond int names no track, so it reads as the nearest end.
int ReadInteger(std::string_view text) {
    const std::string copy(text);
    errno = 0;
    const long value = std::strtol(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return int(value);
}

// Whether `widget` is owned, through its parents, by `owner`.
bool IsOwnedBy(const QWidget* widget, const QWidget* owner) {
    for (const QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget())
        if (parent == owner) return true;
    return false;
}

struct DialogRow {
    std::string_view group;
    std::string_view rest;
    int number;  // for UM_OPEN_DIALOG; -1 for the help index, called directly
};

constexpr DialogRow kDialogs[] = {
    {"file ", "play file", 1},   {"file ", "play location", 2}, {"options ", "output", 3},
    {"options ", "play", 4},     {"options ", "proxy", 5},      {"options ", "url", 6},
    {"help ", "index", -1},      {"help ", "about", 8},
};
constexpr std::string_view kGroups[] = {"file ", "options ", "help "};
}  // namespace

PlayerWnd* AudioTopic::GuardedWindow() const {
    PlayerWnd* wnd = mainWindow ? mainWindow() : nullptr;
    if (!wnd || !wnd->IsWindow()) return nullptr;
    // The window must be its own last active pop-up: no modal dialog or
    // message box, no open menu, no other window of its own in front.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return nullptr;
    const QWidget* active = QApplication::activeWindow();
    if (active && active != wnd->Widget() && IsOwnedBy(active, wnd->Widget())) return nullptr;
    return wnd;
}

bool AudioTopic::OnExecute(std::string& command) {
    const std::string lower = AsciiLower(command);
    PlayerWnd* wnd = GuardedWindow();

    if (lower == "exit") {
        if (wnd) wnd->PostMessage(UM_OPEN_DIALOG, 0, 0);
        return true;
    }
    if (StartsWith(lower, "play")) {
        // The fifth character, normally a blank, is skipped whatever it is.
        const std::string_view argument = From(command, 5);
        if (!wnd) return true;
        if (argument.empty()) {
            wnd->Play();
        } else if (const int n = ReadInteger(argument); n != 0) {
            wnd->PlayTrack(n);
        }
        return true;
    }
    const struct {
        std::string_view keyword;
        void (PlayerWnd::*run)();
    } transport[] = {{"pause", &PlayerWnd::Pause},
                     {"stop", &PlayerWnd::Stop},
                     {"nexttrack", &PlayerWnd::Next},
                     {"prevtrack", &PlayerWnd::Previous}};
    for (const auto& [keyword, run] : transport) {
        if (lower != keyword) continue;
        if (wnd) (wnd->*run)();
        return true;
    }
    if (StartsWith(lower, "set playlist")) {
        const std::string argument(From(command, 13));
        if (wnd && wnd->OpenFileOrList(argument, true, true)) PublishPlayList(wnd->playlist);
        return true;
    }
    if (StartsWith(lower, "dialog ")) return DialogCommand(From(lower, 7), wnd);
    return false;
}

bool AudioTopic::DialogCommand(std::string_view text, PlayerWnd* wnd) {
    for (const std::string_view group : kGroups) {
        if (!StartsWith(text, group)) continue;
        const std::string_view rest = text.substr(group.size());
        for (const DialogRow& row : kDialogs) {
            if (row.group != group || row.rest != rest) continue;
            if (!wnd) return true;
            if (row.number < 0)
                HelpWindow::Show(HELP_INDEX);
            else
                wnd->PostMessage(UM_OPEN_DIALOG, WPARAM(row.number), 0);
            return true;
        }
        return false;
    }
    return false;
}
