#include "app/ListMenu.h"

namespace folianto {

std::array<ListMenuItem, kListMenuItems> ListMenu(int selected, int count) {
  const bool entry = selected >= 1 && selected <= count;
  return {{
      {kOpenEntry, L"&Open", entry},
      {kShowEntryInFolder, L"Show in &Folder", entry},
      {ListCommand{}, nullptr, false},
      {kMoveEntryUp, L"Move &Up\tAlt+Up", entry && selected > 1},
      {kMoveEntryDown, L"Move &Down\tAlt+Down", entry && selected < count},
      {kRemoveEntry, L"&Remove\tDel", entry},
      {ListCommand{}, nullptr, false},
      {kSortByName, L"Sort by &Name", count > 1},
      {kRemoveAllEntries, L"Remove &All", count > 0},
  }};
}

}  // namespace folianto
