#include "filelist/ListEditing.h"

#include <algorithm>

namespace folianto {

namespace {

// Moves the selected entry to the position `where` gives for its position and the count.
template <typename Where>
void MoveSelected(FileList& list, ListHistory& history, Where where) {
  const int i = list.Selected();
  if (i < 1) return;
  history.Move(list, i, where(i, list.Count()));
}

}  // namespace

void MoveSelectedUp(FileList& list, ListHistory& history) {
  MoveSelected(list, history, [](int i, int) { return i - 1; });
}

void MoveSelectedDown(FileList& list, ListHistory& history) {
  MoveSelected(list, history, [](int i, int) { return i + 1; });
}

void MoveSelectedToTop(FileList& list, ListHistory& history) {
  MoveSelected(list, history, [](int, int) { return 1; });
}

void MoveSelectedToBottom(FileList& list, ListHistory& history) {
  MoveSelected(list, history, [](int, int count) { return count; });
}

void RemoveSelected(FileList& list, ListHistory& history) {
  const int i = list.Selected();
  if (i < 1) return;
  history.Remove(list, i);
  list.Select(0);
}

void DeleteSelected(FileList& list, ListHistory& history) {
  const int i = list.Selected();
  if (i < 1) return;
  history.Remove(list, i);
  list.Select(std::min(i, list.Count()));
}

int PositionAfterDrop(int from, int gap) {
  return gap < from ? gap + 1 : gap;
}

}  // namespace folianto
