#pragma once

#include <windows.h>
#include <shellapi.h>

#include <map>
#include <string>
#include <utility>

#include "app/Layout.h"
#include "app/PictureButton.h"
#include "app/PointerState.h"
#include "filelist/ListViewFileList.h"
#include "join/RunningJoins.h"
#include "platform/CommonDialog.h"
#include "platform/Dialogs.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// The show command the window opens with: a maximising one (also when the start-up information
// asks for it through SW_SHOWDEFAULT) opens it normally, since its layout is fixed.
int ShowCommandWithoutMaximize(int showCommand);

// The program's one window, with its controls under the designer's names. Each button's click
// handler lives in the file of the feature it belongs to (Form1Files.cpp, Form1Join.cpp,
// Form1Folder.cpp), the layout in Form1Layout.cpp, the pointer feedback in Form1Pointer.cpp and
// the colours in Form1Colours.cpp; this class creates the window and routes its messages.
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
  // A join begins and ends: the hourglass from the first begin to the last end, then the arrow.
  void BeginBusy();
  void EndBusy();
  // Shows the hourglass again where a dialog or message box left another pointer.
  void ShowBusy();
  bool HasCustomPointer() const { return static_cast<bool>(handPointer_); }

  void SetProgress(int value);
  int Progress() const;

  DialogHost& Dialogs() { return dialogs_; }
  const std::wstring& ApplicationFolder() const { return applicationFolder_; }
  void ShowMessage(const std::wstring& text) { dialogs_.ShowMessage(window_, text); }

  RunningJoins& JoinsRunning() { return joinsRunning_; }
  // Closed while joins run: the window is hidden and the program ends after the last of them, or
  // after the wait limit (10 minutes unless set), leaving a tool still running to itself.
  bool Closing() const { return closing_; }
  void SetCloseWaitLimit(UINT milliseconds) { closeWaitLimitMs_ = milliseconds; }

  // Click handlers; each acts only when its button's value is 1, and resets it first.
  void Check1Click();  // Add PDF File(s)
  void Check2Click();  // Join!
  void Check3Click();  // Move Up
  void Check4Click();  // Add All PDF File(s) In Folder
  void Check5Click();  // Move Down
  // hitItem is the 0-based item under the double-click, -1 for the empty area.
  void ListView1DblClick(int hitItem);
  // A key pressed while the list has the focus.
  void ListView1KeyDown(WORD key);
  // Files and folders dropped anywhere on the window, the list included.
  void DropFiles(HDROP drop);

  void SetUpFileListColumns();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCommand(int id, int code);
  void OnActivate(UINT state, bool minimized);
  // Form1Join.cpp; true when the close waits for joins.
  bool OnClose();

  void CreateControls();
  void AnnotateForAssistiveTechnology();
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

  DialogHost& dialogs_;
  std::wstring applicationFolder_;
  HINSTANCE instance_ = nullptr;
  HWND window_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  // The control that had the keyboard focus when the window was last deactivated.
  HWND focusBeforeDeactivation_ = nullptr;
  bool designedColours_ = true;
  bool annotated_ = false;
  PointerState pointer_;
  // The joins between their click and their end, nested one in another.
  int joinsInProgress_ = 0;
  RunningJoins joinsRunning_;
  bool closing_ = false;
  UINT closeWaitLimitMs_ = 10 * 60 * 1000;
  UniqueCursor handPointer_;
  std::map<int, UniqueFont> fonts_;  // by size in centipoints
  // The picture buttons by control id, in the order of the control table.
  const std::pair<int, PictureButton*> buttons_[5] = {
      {kCheck1, &Check1}, {kCheck2, &Check2}, {kCheck4, &Check4},
      {kCheck3, &Check3}, {kCheck5, &Check5},
  };
};

}  // namespace folianto
