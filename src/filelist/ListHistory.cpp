#include "filelist/ListHistory.h"

namespace folianto {

namespace {

void InsertAt(FileList& list, int position, const std::vector<std::wstring>& texts) {
  // At the end, all at once: a list control then repaints once for thousands of entries.
  if (position == list.Count() + 1) {
    list.AppendAll(texts);
    return;
  }
  for (const std::wstring& text : texts)
    list.Insert(position++, text);
}

void RemoveAt(FileList& list, int position, size_t count) {
  if (position == 1 && count == static_cast<size_t>(list.Count())) {
    list.RemoveAll();
    return;
  }
  // From the last one, so no entry moves up only to be removed next.
  for (int i = position + static_cast<int>(count) - 1; i >= position; --i)
    list.Remove(i);
}

void MoveEntry(FileList& list, int from, int to) {
  const std::wstring text = list.Text(from);
  if (to < from) {
    list.Insert(to, text);
    list.Remove(from + 1);
  } else {
    list.Insert(to + 1, text);
    list.Remove(from);
  }
  list.Select(to);
}

// Position i + 1 takes the entry then at order[i]; the selected entry stays selected.
void Permute(FileList& list, const std::vector<int>& order) {
  const std::vector<std::wstring> texts = AllEntries(list);
  const int selected = list.Selected();
  std::vector<std::wstring> permuted;
  permuted.reserve(order.size());
  int selectedAfter = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    permuted.push_back(texts[static_cast<size_t>(order[i] - 1)]);
    if (order[i] == selected) selectedAfter = static_cast<int>(i) + 1;
  }
  list.RemoveAll();
  list.AppendAll(permuted);
  list.Select(selectedAfter);
}

std::vector<int> Inverse(const std::vector<int>& order) {
  std::vector<int> inverse(order.size());
  for (size_t i = 0; i < order.size(); ++i)
    inverse[static_cast<size_t>(order[i] - 1)] = static_cast<int>(i) + 1;
  return inverse;
}

}  // namespace

void ListHistory::Append(FileList& list, std::span<const std::wstring> texts) {
  if (texts.empty()) return;
  Do(list, {Change::Kind::Insert, list.Count() + 1, 0, {texts.begin(), texts.end()}, {}});
}

void ListHistory::Move(FileList& list, int from, int to) {
  const int count = list.Count();
  if (from == to || from < 1 || to < 1 || from > count || to > count) return;
  Do(list, {Change::Kind::Move, from, to, {}, {}});
}

void ListHistory::Remove(FileList& list, int position) {
  if (position < 1 || position > list.Count()) return;
  Do(list, {Change::Kind::Remove, position, 0, {list.Text(position)}, {}});
}

void ListHistory::RemoveAll(FileList& list) {
  if (list.Count() == 0) return;
  Do(list, {Change::Kind::Remove, 1, 0, AllEntries(list), {}});
}

void ListHistory::Reorder(FileList& list, std::vector<int> order) {
  if (std::is_sorted(order.begin(), order.end())) return;
  Do(list, {Change::Kind::Reorder, 0, 0, {}, std::move(order)});
}

void ListHistory::Do(FileList& list, Change change) {
  changes_.resize(done_);
  Apply(list, change, true);
  changes_.push_back(std::move(change));
  ++done_;
}

bool ListHistory::Undo(FileList& list) {
  if (!CanUndo()) return false;
  Apply(list, changes_[--done_], false);
  return true;
}

bool ListHistory::Redo(FileList& list) {
  if (!CanRedo()) return false;
  Apply(list, changes_[done_++], true);
  return true;
}

void ListHistory::Apply(FileList& list, const Change& change, bool forward) {
  switch (change.kind) {
    case Change::Kind::Insert:
    case Change::Kind::Remove: {
      const bool inserting = (change.kind == Change::Kind::Insert) == forward;
      if (inserting) {
        InsertAt(list, change.position, change.texts);
        // What an undo brings back is selected; what is added is not.
        if (!forward) list.Select(change.position);
      } else {
        RemoveAt(list, change.position, change.texts.size());
      }
      break;
    }
    case Change::Kind::Move:
      if (forward) {
        MoveEntry(list, change.position, change.target);
      } else {
        MoveEntry(list, change.target, change.position);
      }
      break;
    case Change::Kind::Reorder:
      Permute(list, forward ? change.order : Inverse(change.order));
      break;
  }
}

}  // namespace folianto
