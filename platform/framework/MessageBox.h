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

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
