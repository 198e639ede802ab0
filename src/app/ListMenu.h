#pragma once

#include <array>

namespace folianto {

// The commands of the File list: its context menu's items and the window's keys for the list.
enum ListCommand : int {
  kOpenEntry = 40001,
  kShowEntryInFolder,
  kMoveEntryUp,
  kMoveEntryDown,
  kRemoveEntry,
  kSortByName,
  kRemoveAllEntries,
  kMoveEntryToTop,
  kMoveEntryToBottom,
  kUndoListChange,
  kRedoListChange,
  kShowListMenu,
  kFirstListCommand = kOpenEntry,
  kLastListCommand = kShowListMenu,
};

struct ListMenuItem {
  ListCommand command;  // 0: a separator
  const wchar_t* text;  // "&" marks the access key; the key that does the same after a tab
  bool enabled;
};

inline constexpr int kListMenuItems = 9;

// The context menu of the list with `selected` (0 for none) of `count` entries: what needs an entry
// is greyed without one, and a move that cannot go further is greyed at either end. The first item
// is the default.
std::array<ListMenuItem, kListMenuItems> ListMenu(int selected, int count);

}  // namespace folianto
