#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/CloseDuringJoins.h"
#include "filelist/FileList.h"
#include "join/RunningJoins.h"
#include "join/SessionFileClaims.h"
#include "platform/CommonDialog.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"

namespace folianto {

// The joins the window runs, each from the click on "Join!" to its outcome told, nested one in
// another while each waits for its tool: the one record of them, the claims that hold their files
// against the joins of every Folianto, the progress bar, the boxes that tell how each ended, the
// program's exit code, and what closing the window does to them (CloseDuringJoins).
class Joins {
 public:
  // applicationFolder holds pdftk.exe.
  Joins(DialogHost& dialogs, std::wstring applicationFolder);
  Joins(const Joins&) = delete;
  Joins& operator=(const Joins&) = delete;
  void Attach(HWND window, HWND progressBar);

  // Told true when the first join begins, false when the last has ended.
  std::function<void(bool running)> onRunningChanged;
  // Shows the hourglass again where a dialog or message box left another pointer.
  std::function<void()> showBusy;

  // "Join!": asks for the output file in the window's shared dialog, joins the list's entries and
  // tells the outcome.
  void Join(const FileList& list, CommonDialog& dialog);

  // The window's close: true when it waits for the joins.
  bool OnClose() { return close_.OnClose(running_.Any()); }
  void OnCloseWaitLimit() { close_.OnLimit(); }
  void SetCloseWaitLimit(UINT milliseconds) { close_.SetLimit(milliseconds); }
  // 0 only when every join ended well: one that was cancelled, or that joined its files but left
  // something it could not remove, did.
  int ExitCode() const { return exitCode_; }

 private:
  // One join's side of the window.
  class Host;

  DialogHost& dialogs_;
  std::wstring applicationFolder_;
  HWND window_ = nullptr;
  HWND progressBar_ = nullptr;
  // Claiming files waits, with the window running, while another Folianto claims its own.
  SessionFileClaims claims_{
      [](HANDLE handle, unsigned timeoutMs) { return WaitRunningMessages(handle, timeoutMs); }};
  RunningJoins running_{claims_};
  CloseDuringJoins close_;
  int exitCode_ = 0;
};

}  // namespace folianto
