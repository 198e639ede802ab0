#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/CommonDialog.h"
#include "platform/SecretText.h"

namespace folianto {

// What the user chose in "Join successful.": OK (Enter, Escape or the close button), or one of the
// two ways to the joined file.
enum class JoinSuccessChoice { Close, Open, ShowInFolder };

// The dialogs the main window shows. The program uses the system's; tests answer them instead.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // On Chosen the dialog's file name holds the result; on a cancel it is left as it was.
  virtual DialogOutcome ShowOpen(HWND owner, CommonDialog& dialog) = 0;
  // The Common Item Dialog, with the dialog's check box when it has a label.
  virtual DialogOutcome ShowSave(HWND owner, CommonDialog& dialog) = 0;
  // The chosen folder, or the empty text when the user cancelled or it has no file-system path.
  virtual std::wstring BrowseFolder(HWND owner, const std::wstring& title) = 0;
  // A modal message box with an OK button, captioned with the program's name; without an owner,
  // on top of the other windows.
  virtual void ShowMessage(HWND owner, const std::wstring& text) = 0;
  // "Join successful." for the joined file output, owned by owner, with the buttons "Open" and
  // "Show in Folder" beside OK.
  virtual JoinSuccessChoice ShowJoinSuccessful(HWND owner, const std::wstring& output) = 0;
  // Asks for the password that opens file in a masked box, with prompt above it. None when the
  // user cancelled.
  virtual std::optional<SecretText> AskPassword(HWND owner, const std::wstring& file,
                                                const std::wstring& prompt) = 0;
};

// The real system dialogs.
DialogHost& SystemDialogs();

// The caption of every message box.
inline constexpr wchar_t kProgramTitle[] = L"Folianto";

}  // namespace folianto
