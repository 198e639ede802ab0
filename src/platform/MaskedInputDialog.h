#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/SecretText.h"

namespace folianto {

// What a masked-input dialog says, all of it the caller's words.
struct MaskedQuestion {
  std::wstring title;
  // The first line: what the question is about.
  std::wstring subject;
  // Above the box, on as many lines as its words take.
  std::wstring prompt;
  std::wstring ok;
  std::wstring cancel;
  int maxLength = 0;
};

// A small modal dialog over owner that asks question with a masked box, OK and Cancel. It takes
// the foreground with the keyboard focus in the box, so that what the user types goes nowhere
// else. The text typed, or none when the user cancelled; the box is emptied before the dialog goes.
std::optional<SecretText> ShowMaskedInput(HWND owner, const MaskedQuestion& question);

}  // namespace folianto
