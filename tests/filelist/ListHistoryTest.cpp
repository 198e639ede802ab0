#include "filelist/ListHistory.h"

#include <gtest/gtest.h>

#include <functional>

#include "filelist/ListEditing.h"
#include "filelist/MemoryFileList.h"

namespace folianto {
namespace {

using Paths = std::vector<std::wstring>;
using Step = std::function<void(FileList&, ListHistory&)>;

const Step kUndo = [](FileList& list, ListHistory& history) { history.Undo(list); };
const Step kRedo = [](FileList& list, ListHistory& history) { history.Redo(list); };
Step Append(Paths texts) {
  return [texts](FileList& list, ListHistory& history) { history.Append(list, texts); };
}
Step Move(int from, int to) {
  return [=](FileList& list, ListHistory& history) { history.Move(list, from, to); };
}
Step Remove(int position) {
  return [=](FileList& list, ListHistory& history) { history.Remove(list, position); };
}
const Step kRemoveAll = [](FileList& list, ListHistory& history) { history.RemoveAll(list); };
const Step kSort = [](FileList& list, ListHistory& history) {
  history.Sort(list, std::less<std::wstring>());
};

TEST(ListHistory, UndoAndRedoTakeTheListBackAndForthChangeByChange) {
  const struct {
    const char* name;
    Paths before;
    int selected;
    std::vector<Step> steps;
    Paths after;
    int selectedAfter;
  } cases[] = {
      {"an addition undone and redone", {L"a"}, 0, {Append({L"b", L"c"}), kUndo}, {L"a"}, 0},
      {"redo adds again", {L"a"}, 0, {Append({L"b", L"c"}), kUndo, kRedo}, {L"a", L"b", L"c"}, 0},
      {"back to the empty list and no further",
       {},
       0,
       {Append({L"a", L"b"}), Move(1, 2), kUndo, kUndo, kUndo},
       {},
       0},
      {"a move undone puts the entry back, selected",
       {L"a", L"b", L"c"},
       0,
       {Move(3, 1), kUndo},
       {L"a", L"b", L"c"},
       3},
      {"a move redone", {L"a", L"b", L"c"}, 0, {Move(1, 3), kUndo, kRedo}, {L"b", L"c", L"a"}, 3},
      {"a removal undone comes back at its place, selected",
       {L"a", L"b", L"c"},
       0,
       {Remove(2), kUndo},
       {L"a", L"b", L"c"},
       2},
      {"remove all undone brings every entry back in order",
       {L"a", L"b", L"c"},
       0,
       {kRemoveAll, kUndo},
       {L"a", L"b", L"c"},
       1},
      {"remove all redone", {L"a", L"b"}, 0, {kRemoveAll, kUndo, kRedo}, {}, 0},
      {"a sort keeps the selected entry selected",
       {L"c", L"a", L"b"},
       1,
       {kSort},
       {L"a", L"b", L"c"},
       3},
      {"a sort undone", {L"c", L"a", L"b"}, 1, {kSort, kUndo}, {L"c", L"a", L"b"}, 1},
      {"a new change forgets what was undone",
       {L"a", L"b"},
       0,
       {Move(1, 2), kUndo, Remove(1), kRedo},
       {L"b"},
       0},
      {"what changes nothing is no change to undo",
       {L"b", L"a"},
       0,
       {Move(1, 2), Move(2, 2), Append({}), kSort, kUndo},
       {L"b", L"a"},
       1},
      {"steps of the buttons and keys",
       {L"a", L"b", L"c"},
       3,
       {[](FileList& l, ListHistory& h) { MoveSelectedToTop(l, h); },
        [](FileList& l, ListHistory& h) { DeleteSelected(l, h); }, kUndo, kUndo},
       {L"a", L"b", L"c"},
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileList list(c.before);
    list.Select(c.selected);
    ListHistory history;
    for (const Step& step : c.steps)
      step(list, history);
    EXPECT_EQ(list.Entries(), c.after);
    EXPECT_EQ(list.Selected(), c.selectedAfter);
  }
}

}  // namespace
}  // namespace folianto
