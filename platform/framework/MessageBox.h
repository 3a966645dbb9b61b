#pragma once
// Modal message boxes, captioned with the application name, with an OK button.
// Tests install a handler instead so that nothing blocks.

#include <functional>
#include <string>

enum class MessageBoxIcon { None, Information, Question, Warning, Error };

// Shows the box modally on the user-interface thread; returns the id of the
// button that closed it (IDOK, 1).
int ShowMessageBox(const std::string& text, MessageBoxIcon icon = MessageBoxIcon::None);

// Replaces the real box (for tests); pass an empty function to restore it.
using MessageBoxHandler = std::function<int(const std::string& text, MessageBoxIcon icon)>;
void SetMessageBoxHandler(MessageBoxHandler handler);

// Ends every modal loop the program has open, as Cancel: the visible modal
// dialogs and message boxes close with Cancel, and any box or modal dialog
// opened after this returns Cancel at once without showing, for the rest of
// the process. For a program asked to end (a logout's SIGTERM), so that no
// nested loop keeps it waiting for an answer nobody will give.
void CancelModalLoops();
bool ModalLoopsCancelled();

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
