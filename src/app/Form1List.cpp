// The list's context menu, its keys, Undo and Redo, and what the program was started with.
#include "app/Form1.h"

#include <commctrl.h>

#include "app/OpenFile.h"
#include "filelist/AddFiles.h"
#include "filelist/ListEditing.h"
#include "filelist/SystemDirectorySearch.h"
#include "platform/FileSystem.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"

namespace folianto {

namespace {

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

void Form1::CreateAccelerators() {
  accelerators_.Reset(::CreateAcceleratorTableW(const_cast<ACCEL*>(kListKeys),
                                                static_cast<int>(std::size(kListKeys))));
  UseAccelerators(window_, accelerators_.Get());
}

void Form1::AddOnceShown(std::vector<std::wstring> arguments) {
  if (arguments.empty()) return;
  arguments_ = std::move(arguments);
  ::PostMessageW(window_, kAddArgumentsMessage, 0, 0);
}

void Form1::AddArguments() {
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
  history_.Append(ListView1, EntriesForDrop(items, SystemDirectorySearch()));
  if (!notFound.empty()) ShowMessage(NotFoundMessage(notFound));
}

void Form1::RunListCommand(int command) {
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
    if (listCommand == command) edit(ListView1, history_);
  }
  if (command == kOpenEntry) OpenSelectedEntry();
  if (command == kShowEntryInFolder) ShowSelectedEntryInFolder();
  if (command == kShowListMenu) ShowListMenu({-1, -1});
}

void Form1::ShowListMenu(POINT screen) {
  const HWND list = ListView1.Handle();
  if (screen.x == -1 && screen.y == -1) {
    // From the keyboard: below the selected entry, or at the list's corner without one.
    RECT place{LVIR_LABEL, 0, 0, 0};
    const int selected = ListView1.Selected();
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
    ListView1.Select(item >= 0 && (hit.flags & LVHT_ONITEM) ? item + 1 : 0);
  }

  const UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  for (const ListMenuItem& item : ListMenu(ListView1.Selected(), ListView1.Count())) {
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
  if (command != 0) RunListCommand(command);
}

std::optional<std::wstring> Form1::SelectedFile() {
  const int selected = ListView1.Selected();
  if (selected < 1) return std::nullopt;
  std::wstring path = ListView1.Text(selected);
  if (FileExists(path)) return path;
  ShowMessage(L"The file " + path + L" was not found.");
  return std::nullopt;
}

void Form1::OpenSelectedEntry() {
  if (const std::optional<std::wstring> path = SelectedFile()) OpenFile(window_, dialogs_, *path);
}

void Form1::ShowSelectedEntryInFolder() {
  if (const std::optional<std::wstring> path = SelectedFile()) {
    ShowFileInFolder(window_, dialogs_, *path);
  }
}

}  // namespace folianto
