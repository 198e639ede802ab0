#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/SecretText.h"

namespace folianto {

// The longest password the dialog takes: the most a PDF file's password can hold (127 bytes).
inline constexpr int kMaxPasswordLength = 127;

// A small modal dialog over owner that names file and asks for the password that opens it, saying
// prompt above a masked box, with OK and Cancel. It takes the foreground with the keyboard focus
// in the box, so that what the user types goes nowhere else. None when the user cancelled. The box
// is emptied before the dialog goes.
std::optional<SecretText> ShowPasswordDialog(HWND owner, const std::wstring& file,
                                             const std::wstring& prompt);

}  // namespace folianto
