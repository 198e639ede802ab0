#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>

#include "platform/CommonDialog.h"
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

// A button of a message box beside its OK: the id it answers with, and its label.
struct DialogButton {
  int id;
  const wchar_t* label;
};

// The dialogs the main window shows. The program uses the system's; tests answer them instead.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // On Chosen the dialog's file name holds the result; on a cancel it is left as it was.
  virtual DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) = 0;
  // The Common Item Dialog, with the dialog's check box when it has a label; a failure carries its
  // HRESULT.
  virtual DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) = 0;
  // The shell's folder picker, as BrowseFolder of Shell.h shows it.
  virtual std::wstring BrowseFolder(HWND owner, const std::wstring& title) = 0;
  // A modal message box with an OK button, captioned as the dialogs are; without an owner, on top
  // of the other windows.
  virtual void ShowMessage(HWND owner, const std::wstring& text) = 0;
  // A message box as ShowMessage shows it, with buttons beside OK, which stays the answer Enter
  // gives: the id of the button pressed, or IDOK for OK, Escape and the close button.
  virtual int ShowChoice(HWND owner, const std::wstring& text,
                         std::span<const DialogButton> buttons) = 0;
  // Asks question in a masked box; what was typed, or none when the user cancelled.
  virtual std::optional<SecretText> AskMasked(HWND owner, const MaskedQuestion& question) = 0;
};

// The real system dialogs; the message boxes are captioned caption.
DialogHost& SystemDialogs(const wchar_t* caption);

// The system dialogs' AskMasked: a small modal dialog over owner with a masked box, OK and Cancel.
// It takes the foreground with the keyboard focus in the box, so that what the user types goes
// nowhere else. The box is emptied before the dialog goes.
std::optional<SecretText> ShowMaskedInput(HWND owner, const MaskedQuestion& question);

}  // namespace folianto
