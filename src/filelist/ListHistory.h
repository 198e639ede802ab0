#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "filelist/FileList.h"

namespace folianto {

// Every change made to the File list, so the user can take it back (Undo) and make it again
// (Redo), step by step back to the empty list. A change keeps only what it added, removed or
// moved, never a copy of the whole list, so the history grows with the changes: a move is two
// numbers however long the list is. A new change forgets what was undone before it. A join changes
// nothing here.
class ListHistory {
 public:
  // Appends texts at the end. Adding nothing is no change.
  void Append(FileList& list, std::span<const std::wstring> texts);
  // The entry at from goes to position to, by an insert of its copy followed by the removal of the
  // old entry, and is selected there. Moving an entry to its own place is no change.
  void Move(FileList& list, int from, int to);
  // Removes the entry at position; the selection is the list's own afterwards.
  void Remove(FileList& list, int position);
  void RemoveAll(FileList& list);
  // Orders the whole list by its texts, keeping entries that compare equal in their order; the
  // selected entry stays selected. An order that is already sorted is no change.
  template <typename Less>
  void Sort(FileList& list, Less less);

  // Undo takes back the newest change not yet undone and Redo makes the newest undone change
  // again; each selects what it brought back or moved. False when there is nothing to do.
  bool Undo(FileList& list);
  bool Redo(FileList& list);
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < changes_.size(); }

 private:
  struct Change {
    enum class Kind { Insert, Remove, Move, Reorder } kind;
    int position = 0;                 // Insert and Remove: the first position; Move: from
    int target = 0;                   // Move: to
    std::vector<std::wstring> texts;  // Insert and Remove
    std::vector<int> order;           // Reorder: position i + 1 takes the entry then at order[i]
  };

  void Do(FileList& list, Change change);
  static void Apply(FileList& list, const Change& change, bool forward);
  void Reorder(FileList& list, std::vector<int> order);

  std::vector<Change> changes_;
  size_t done_ = 0;  // changes_[0, done_) are in effect
};

template <typename Less>
void ListHistory::Sort(FileList& list, Less less) {
  const std::vector<std::wstring> texts = AllEntries(list);
  std::vector<int> order(texts.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = static_cast<int>(i) + 1;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return less(texts[static_cast<size_t>(a - 1)], texts[static_cast<size_t>(b - 1)]);
  });
  Reorder(list, std::move(order));
}

}  // namespace folianto
