#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "app/DragToReorder.h"
#include "app/FileListCommands.h"
#include "app/Joins.h"
#include "app/Layout.h"
#include "app/ListMenu.h"
#include "app/PictureButton.h"
#include "app/PointerFeedback.h"
#include "app/ScreenReaderNames.h"
#include "app/WindowLook.h"
#include "filelist/ListViewFileList.h"
#include "platform/Accessibility.h"
#include "platform/CommonDialog.h"
#include "platform/Dialogs.h"
#include "platform/WindowObject.h"

namespace folianto {

// The program's name: the window's caption and that of every message box.
inline constexpr wchar_t kProgramTitle[] = L"Folianto";

// The show command the window opens with: a maximising one (also when the start-up information
// asks for it through SW_SHOWDEFAULT) opens it normally, since its layout is fixed.
int ShowCommandWithoutMaximize(int showCommand);

// The program's one window, with its controls under the designer's names. It makes the window,
// its controls and its parts, and hands each message to the part it concerns: the File list's
// commands (FileListCommands) and its drag to reorder (DragToReorder), the joins and what a close
// does to them (Joins, CloseDuringJoins), the look (WindowLook) and the pointer (PointerFeedback),
// and what screen readers hear (ScreenReaderNames). It keeps the keyboard focus where it was after
// every dialog, as the dialog manager does.
class Form1 {
 public:
  // applicationFolder is where "HAND-M.CUR" and "pdftk.exe" are looked up.
  Form1(DialogHost& dialogs, std::wstring applicationFolder);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Creates the window and its controls and runs the load steps; the window stays hidden until
  // Show, which also puts the keyboard focus on Command1.
  bool Create(HINSTANCE instance);
  void Show(int showCommand);
  HWND Handle() const { return window_; }
  // Adds what the program was started with (Explorer's Send To, a drop on its icon, "Open with")
  // as a drop is added, once the window is shown; what is not there is named in one message.
  void AddOnceShown(std::vector<std::wstring> arguments) {
    list_.AddOnceShown(std::move(arguments));
  }

  HWND Command1 = nullptr;
  PictureButton Check1;  // Add PDF File(s)
  PictureButton Check2;  // Join!
  PictureButton Check3;  // Move Up
  PictureButton Check4;  // Add All PDF File(s) In Folder
  PictureButton Check5;  // Move Down
  ListViewFileList ListView1;
  HWND ProgressBar1 = nullptr;
  HWND Label1 = nullptr;
  CommonDialog CommonDialog1;

  PointerSetting MousePointer() const { return pointer_.Setting(); }
  // Also shows the new pointer at once when the mouse is over the window.
  void SetMousePointer(PointerSetting setting) { pointer_.Set(setting); }
  bool HasCustomPointer() const { return pointer_.HasHand(); }
  int Progress() const;
  // How the controls' names for screen readers fared; empty while none has been asked for.
  std::optional<Annotation> ScreenReaderAnnotation() const { return screenReaders_.Result(); }
  // The wait after a close: 10 minutes unless set.
  void SetCloseWaitLimit(UINT milliseconds) { joins_.SetCloseWaitLimit(milliseconds); }
  // The program's exit code: 0 only when every join ended well.
  int ExitCode() const { return joins_.ExitCode(); }

  // Click handlers; each acts only when its button's value is 1, and resets it first.
  void Check1Click();  // Add PDF File(s)
  void Check2Click();  // Join!
  void Check3Click();  // Move Up
  void Check4Click();  // Add All PDF File(s) In Folder
  void Check5Click();  // Move Down
  // hitItem is the 0-based item under the double-click, -1 for the empty area.
  void ListView1DblClick(int hitItem) { list_.RemoveOnDoubleClick(hitItem); }
  // A command of the list's context menu or of the window's keys for the list.
  void RunListCommand(int command) { list_.Run(command); }

  void SetUpFileListColumns();

 private:
  template <typename T>
  friend LRESULT CALLBACK ObjectWindowProcedure(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window) { window_ = window; }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCommand(int id, int code);
  void CreateControls(HINSTANCE instance);
  PictureButton* ButtonById(int id);
  void GiveFocusBack();

  HWND window_ = nullptr;
  // The control that had the keyboard focus when the window was last deactivated or minimised.
  HWND savedFocus_ = nullptr;
  WindowLook look_;
  PointerFeedback pointer_;
  FileListCommands list_;
  DragToReorder drag_{ListView1};
  Joins joins_;
  ScreenReaderNames screenReaders_;
};

}  // namespace folianto
