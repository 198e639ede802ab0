#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/DragToReorder.h"
#include "app/FileListCommands.h"
#include "app/Joins.h"
#include "app/Layout.h"
#include "app/ListMenu.h"
#include "app/PictureButton.h"
#include "app/PointerState.h"
#include "filelist/ListViewFileList.h"
#include "platform/Accessibility.h"
#include "platform/CommonDialog.h"
#include "platform/Dialogs.h"
#include "platform/MessagePump.h"
#include "platform/UniqueHandle.h"
#include "platform/WindowObject.h"

namespace folianto {

// The program's name: the window's caption and that of every message box.
inline constexpr wchar_t kProgramTitle[] = L"Folianto";

// The show command the window opens with: a maximising one (also when the start-up information
// asks for it through SW_SHOWDEFAULT) opens it normally, since its layout is fixed.
int ShowCommandWithoutMaximize(int showCommand);

// The program's one window, with its controls under the designer's names. It hands each message
// to the part it concerns: the File list's commands (FileListCommands) and its drag to reorder
// (ListDrag), the joins and what a close does to them (Joins, CloseDuringJoins); the controls and
// their layout are in Form1Layout.cpp, the pointer feedback in Form1Pointer.cpp and the colours in
// Form1Colours.cpp.
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
  void SetMousePointer(PointerSetting setting);
  // Shows the hourglass again where a dialog or message box left another pointer.
  void ShowBusy();
  bool HasCustomPointer() const { return static_cast<bool>(handPointer_); }

  int Progress() const;

  // How the controls' names for screen readers fared; empty while none has been asked for.
  std::optional<Annotation> ScreenReaderAnnotation() const { return annotation_; }

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
  void OnActivate(UINT state, bool minimized);
  void RememberFocus();
  void GiveFocusBack();

  void CreateControls();
  void AnnotateForAssistiveTechnology();
  void ClearAnnotationsForAssistiveTechnology();
  PictureButton* ButtonById(int id);

  // Form1Layout.cpp
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  RECT PlaceOf(const ControlSpec& control) const;
  SIZE DesignedOuterSize() const;
  SIZE DesignedClientSize() const;
  void SizeWindow();
  void KeepDesignedClientSize();
  void LayOut();
  void ApplyFonts();
  void LoadPictures();
  int FileListColumnWidth(int column) const;

  // Form1Pointer.cpp
  void LoadHandPointer();
  bool OnSetCursor(HWND target, int hitTest, UINT mouseMessage);
  HoverTarget TargetOf(HWND control) const;
  void ShowPointer();
  void ShowPointerIfOver();

  // Form1Colours.cpp
  void ChooseColours();
  void OnColoursChanged();
  HBRUSH FaceBrush() const;
  HBRUSH BackgroundBrush() const;
  HBRUSH ColourLabel(HDC dc) const;

  static constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  static constexpr DWORD kWindowExStyle = 0;

  std::wstring applicationFolder_;
  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  // The control that had the keyboard focus when the window was last deactivated or minimised.
  HWND savedFocus_ = nullptr;
  bool designedColours_ = true;
  std::optional<Annotation> annotation_;
  PointerState pointer_;
  FileListCommands list_;
  ListDrag drag_{ListView1};
  Joins joins_;
  UniqueCursor handPointer_;
  std::map<int, UniqueFont> fonts_;  // by size in centipoints
  // The picture buttons by control id, in the order of the control table.
  const std::pair<int, PictureButton*> buttons_[5] = {
      {kCheck1, &Check1}, {kCheck2, &Check2}, {kCheck4, &Check4},
      {kCheck3, &Check3}, {kCheck5, &Check5},
  };
};

}  // namespace folianto
