#include "app/FileListCommands.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app/ListMenu.h"
#include "app/OpenFile.h"
#include "filelist/AddFiles.h"
#include "filelist/FolderWalk.h"
#include "filelist/ListEditing.h"
#include "filelist/SystemDirectorySearch.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"

namespace folianto {

namespace {

constexpr uint32_t kAddFilesFlags =
    OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_READONLY;
static_assert(kAddFilesFlags == 0x280201);

// The keys for the list's commands, taken wherever the focus is in the window.
constexpr ACCEL kListKeys[] = {
    {FVIRTKEY | FCONTROL, 'Z', kUndoListChange},
    {FVIRTKEY | FCONTROL, 'Y', kRedoListChange},
    {FVIRTKEY | FCONTROL | FSHIFT, 'Z', kRedoListChange},
    {FVIRTKEY | FALT, VK_UP, kMoveEntryUp},
    {FVIRTKEY | FALT, VK_DOWN, kMoveEntryDown},
    {FVIRTKEY | FALT, VK_HOME, kMoveEntryToTop},
    {FVIRTKEY | FALT, VK_END, kMoveEntryToBottom},
    // The system makes Shift+F10 a context-menu request only in some places; here it always is.
    {FVIRTKEY | FSHIFT, VK_F10, kShowListMenu},
};

}  // namespace

void FileListCommands::Attach(HWND window) {
  window_ = window;
  AcceptDroppedFiles(window_);
  keys_.Reset(::CreateAcceleratorTableW(const_cast<ACCEL*>(kListKeys),
                                        static_cast<int>(std::size(kListKeys))));
  UseAccelerators(window_, keys_.Get());
}

void FileListCommands::AddPdfFiles(CommonDialog& dialog) {
  dialog.fileName.clear();
  dialog.flags = kAddFilesFlags;
  dialog.dialogTitle = L"Add File(s) - Use Ctrl & Shift to select multiple files";
  dialog.filter = L"PDF Files (*.pdf)|*.pdf|";

  const DialogOutcome outcome = dialogs_.ShowOpen(window_, dialog);
  if (outcome.result == DialogResult::Failed) {
    dialogs_.ShowMessage(window_, OpenDialogFailureMessage(outcome.error));
    return;
  }
  if (outcome.result != DialogResult::Chosen) return;
  AddPickedFiles(list_, history_, dialog.fileName);
}

void FileListCommands::AddFolder() {
  const std::wstring folder = dialogs_.BrowseFolder(window_, L"Please select folder to add:");
  if (folder.empty()) return;
  // The whole tree is walked before the first entry is appended, and nothing lets window
  // messages through meanwhile.
  history_.Append(list_, AllPdfFilesInFolder(folder, SystemDirectorySearch()));
}

void FileListCommands::Run(int command) {
  using Edit = void (*)(FileList&, ListHistory&);
  static constexpr struct {
    int command;
    Edit edit;
  } kEdits[] = {
      {kMoveEntryUp, MoveSelectedUp},
      {kMoveEntryDown, MoveSelectedDown},
      {kMoveEntryToTop, MoveSelectedToTop},
      {kMoveEntryToBottom, MoveSelectedToBottom},
      {kRemoveEntry, DeleteSelected},
      {kSortByName,
       [](FileList& list, ListHistory& history) {
         history.Sort(list, [](const std::wstring& a, const std::wstring& b) {
           return CompareAsExplorer(a, b) < 0;
         });
       }},
      {kRemoveAllEntries, [](FileList& list, ListHistory& history) { history.RemoveAll(list); }},
      {kUndoListChange, [](FileList& list, ListHistory& history) { history.Undo(list); }},
      {kRedoListChange, [](FileList& list, ListHistory& history) { history.Redo(list); }},
  };
  for (const auto& [listCommand, edit] : kEdits) {
    if (listCommand == command) edit(list_, history_);
  }
  if (command == kOpenEntry) {
    if (const std::optional<std::wstring> path = SelectedFile()) OpenFile(window_, dialogs_, *path);
  }
  if (command == kShowEntryInFolder) {
    if (const std::optional<std::wstring> path = SelectedFile()) {
      ShowFileInFolder(window_, dialogs_, *path);
    }
  }
  if (command == kShowListMenu) ShowMenu({-1, -1});
}

void FileListCommands::ShowMenu(POINT screen) {
  const HWND list = list_.Handle();
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: below the selected entry, or at the list's corner without one.
    RECT place{LVIR_LABEL, 0, 0, 0};
    const int selected = list_.Selected();
    if (selected < 1 || !::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(selected - 1),
                                        reinterpret_cast<LPARAM>(&place))) {
      ::GetClientRect(list, &place);
    }
    screen = {place.left + 8, place.bottom};
    ::ClientToScreen(list, &screen);
  } else {
    // A right-click acts on the entry under the pointer, and on none over the empty area.
    LVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(list, &hit.pt);
    const auto item =
        static_cast<int>(::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    list_.Select(item >= 0 && (hit.flags & LVHT_ONITEM) ? item + 1 : 0);
  }

  const UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  for (const ListMenuItem& item : ListMenu(list_.Selected(), list_.Count())) {
    if (!item.text) {
      ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    ::AppendMenuW(menu.Get(), MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.command,
                  item.text);
  }
  ::SetMenuDefaultItem(menu.Get(), kOpenEntry, FALSE);
  const int command = ::TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         screen.x, screen.y, window_, nullptr);
  if (command != 0) Run(command);
}

void FileListCommands::RemoveOnDoubleClick(int hitItem) {
  // A double-click on the empty area below the entries must not delete the selected one.
  if (hitItem < 0) return;
  RemoveSelected(list_, history_);
}

void FileListCommands::OnKeyDown(WORD key) {
  // Delete removes the selected entry as a double-click does, and keeps a selection to go on from.
  if (key != VK_DELETE) return;
  DeleteSelected(list_, history_);
}

void FileListCommands::Move(int from, int to) {
  history_.Move(list_, from, to);
}

void FileListCommands::Drop(HDROP drop) {
  std::vector<DroppedItem> items;
  for (std::wstring& path : DroppedPaths(drop)) {
    const bool isFolder = IsFolder(path);
    items.push_back({std::move(path), isFolder});
  }
  // Folders are walked as "Add All PDF File(s) In Folder" walks them, and all that the drop adds
  // is appended in one go with redraw off. A drop during a join appends like any other addition:
  // the running join's command line is complete.
  history_.Append(list_, EntriesForDrop(items, SystemDirectorySearch()));
}

void FileListCommands::AddOnceShown(std::vector<std::wstring> arguments) {
  if (arguments.empty()) return;
  arguments_ = std::move(arguments);
  ::PostMessageW(window_, kAddArgumentsMessage, 0, 0);
}

void FileListCommands::AddArguments() {
  std::vector<DroppedItem> items;
  std::vector<std::wstring> notFound;
  for (const std::wstring& argument : std::exchange(arguments_, {})) {
    const std::wstring path = FullPath(argument);
    if (FileExists(path)) {
      items.push_back({path, IsFolder(path)});
    } else {
      notFound.push_back(argument);
    }
  }
  history_.Append(list_, EntriesForDrop(items, SystemDirectorySearch()));
  if (!notFound.empty()) dialogs_.ShowMessage(window_, NotFoundMessage(notFound));
}

std::optional<std::wstring> FileListCommands::SelectedFile() {
  const int selected = list_.Selected();
  if (selected < 1) return std::nullopt;
  std::wstring path = list_.Text(selected);
  if (FileExists(path)) return path;
  dialogs_.ShowMessage(window_, L"The file " + path + L" was not found.");
  return std::nullopt;
}

}  // namespace folianto
