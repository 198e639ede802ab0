#include "filelist/ListEditing.h"

#include <algorithm>

namespace folianto {

void MoveSelectedUp(FileList& list) {
  const int i = list.Selected();
  if (i <= 1) return;
  const std::wstring text = list.Text(i);
  list.Insert(i - 1, text);
  list.Remove(i + 1);
  list.Select(i - 1);
}

void MoveSelectedDown(FileList& list) {
  const int i = list.Selected();
  if (i < 1 || i >= list.Count()) return;
  const std::wstring text = list.Text(i);
  list.Insert(i + 2, text);
  list.Remove(i);
  list.Select(i + 1);
}

void RemoveSelected(FileList& list) {
  const int i = list.Selected();
  if (i < 1) return;
  list.Remove(i);
  list.Select(0);
}

void DeleteSelected(FileList& list) {
  const int i = list.Selected();
  if (i < 1) return;
  list.Remove(i);
  list.Select(std::min(i, list.Count()));
}

}  // namespace folianto
