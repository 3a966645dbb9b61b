#pragma once
// The program's help: its own HTML pages, read from the help folder (see
// HelpFolder.h) and shown in one help window per process that later calls
// reuse.
// User-interface thread only.

#include <QPointer>
#include <QTextBrowser>

#include "platform/framework/WindowMessages.h"

constexpr UINT HELP_INDEX = 3;       // the index page
constexpr UINT HELP_HELPONHELP = 4;  // how to use the help window

class HelpWindow : public QTextBrowser {
public:
    // Shows the page for `command` and brings the window to the front.
    // False for another command or a page the build lacks.
    static bool Show(UINT command);
    // The open help window, or null.
    static HelpWindow* Current();

private:
    HelpWindow();
    static QPointer<HelpWindow>& Instance();
};
