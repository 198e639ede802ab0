#pragma once

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "filelist/ListHistory.h"
#include "filelist/ListViewFileList.h"
#include "platform/CommonDialog.h"
#include "platform/Dialogs.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// What the File list is told to do, from its buttons, its menu and its keys: "Add PDF File(s)",
// "Add All PDF File(s) In Folder", Move Up, Move Down, the double-click and Delete that remove an
// entry, Sort by Name, Remove All, Undo and Redo, Open and Show in Folder; and the files dropped on
// the window or handed to the program. Every change goes through one history, so it can be undone.
class FileListCommands {
 public:
  // Posted to the window, so the program's arguments are added once it is shown.
  static constexpr UINT kAddArgumentsMessage = WM_APP + 1;

  FileListCommands(ListViewFileList& list, DialogHost& dialogs) : list_(list), dialogs_(dialogs) {}
  FileListCommands(const FileListCommands&) = delete;
  FileListCommands& operator=(const FileListCommands&) = delete;

  // Takes drops from Explorer and the keys for the list (ListMenu.h) wherever the focus is in the
  // window.
  void Attach(HWND window);

  // "Add PDF File(s)": the open dialog, through the window's shared dialog.
  void AddPdfFiles(CommonDialog& dialog);
  // "Add All PDF File(s) In Folder".
  void AddFolder();
  // A command of the list's menu or keys (ListMenu.h); Move Up and Move Down are two of them.
  void Run(int command);
  // The list's menu at a point of the screen; for the keyboard (-1, -1), below the selected entry.
  void ShowMenu(POINT screen);
  // hitItem is the 0-based item under the double-click, -1 for the empty area.
  void RemoveOnDoubleClick(int hitItem);
  // A key pressed while the list has the focus.
  void OnKeyDown(WORD key);
  // An entry dragged to another place.
  void Move(int from, int to);

  // Files and folders dropped anywhere on the window, the list included.
  void Drop(HDROP drop);
  // Adds what the program was started with (Explorer's Send To, a drop on its icon, "Open with")
  // as a drop is added, once the window is shown; what is not there is named in one message.
  void AddOnceShown(std::vector<std::wstring> arguments);
  void AddArguments();

 private:
  // The selected entry's file; none without a selection, or when it is gone, which the user is
  // told.
  std::optional<std::wstring> SelectedFile();

  ListViewFileList& list_;
  DialogHost& dialogs_;
  HWND window_ = nullptr;
  ListHistory history_;
  UniqueAccelerators keys_;
  std::vector<std::wstring> arguments_;  // to add once the window is shown
};

}  // namespace folianto
