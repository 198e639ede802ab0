#include "filelist/ListEditing.h"

#include <gtest/gtest.h>

#include "filelist/MemoryFileList.h"

namespace folianto {
namespace {

using Paths = std::vector<std::wstring>;

enum class Edit { Up, Down, Remove, Delete };

void Apply(FileList& list, Edit edit) {
  ListHistory history;
  switch (edit) {
    case Edit::Up:
      MoveSelectedUp(list, history);
      break;
    case Edit::Down:
      MoveSelectedDown(list, history);
      break;
    case Edit::Remove:
      RemoveSelected(list, history);
      break;
    case Edit::Delete:
      DeleteSelected(list, history);
      break;
  }
}

TEST(ListEditing, MovesSwapNeighboursAndRemovalsDropTheSelectedEntry) {
  const struct {
    const char* name;
    Paths before;
    int selected;
    Edit edit;
    Paths after;
    int selectedAfter;
  } cases[] = {
      {"up from the end", {L"a", L"b", L"c"}, 3, Edit::Up, {L"a", L"c", L"b"}, 2},
      {"up to the top", {L"a", L"c", L"b"}, 2, Edit::Up, {L"c", L"a", L"b"}, 1},
      {"up at the top", {L"c", L"a", L"b"}, 1, Edit::Up, {L"c", L"a", L"b"}, 1},
      {"down from the top", {L"a", L"b", L"c"}, 1, Edit::Down, {L"b", L"a", L"c"}, 2},
      {"down appends the copy", {L"a", L"b"}, 1, Edit::Down, {L"b", L"a"}, 2},
      {"down at the end", {L"a", L"b"}, 2, Edit::Down, {L"a", L"b"}, 2},
      {"one entry up", {L"a"}, 1, Edit::Up, {L"a"}, 1},
      {"one entry down", {L"a"}, 1, Edit::Down, {L"a"}, 1},
      {"twin stays put", {L"x", L"a", L"x"}, 3, Edit::Up, {L"x", L"x", L"a"}, 2},
      {"twin moves down", {L"x", L"a", L"x"}, 1, Edit::Down, {L"a", L"x", L"x"}, 2},
      {"remove the middle", {L"a", L"b", L"c"}, 2, Edit::Remove, {L"a", L"c"}, 0},
      {"remove the last one", {L"a"}, 1, Edit::Remove, {}, 0},
      {"nothing selected up", {L"a", L"b"}, 0, Edit::Up, {L"a", L"b"}, 0},
      {"nothing selected down", {L"a", L"b"}, 0, Edit::Down, {L"a", L"b"}, 0},
      {"nothing selected remove", {L"a", L"b"}, 0, Edit::Remove, {L"a", L"b"}, 0},
      {"empty list up", {}, 0, Edit::Up, {}, 0},
      {"empty list down", {}, 0, Edit::Down, {}, 0},
      {"empty list remove", {}, 0, Edit::Remove, {}, 0},
      {"delete selects the next", {L"a", L"b", L"c"}, 2, Edit::Delete, {L"a", L"c"}, 2},
      {"delete selects the new last", {L"a", L"b", L"c"}, 3, Edit::Delete, {L"a", L"b"}, 2},
      {"delete the only entry", {L"a"}, 1, Edit::Delete, {}, 0},
      {"nothing selected delete", {L"a", L"b"}, 0, Edit::Delete, {L"a", L"b"}, 0},
  };
  for (const auto& c : cases) {
    MemoryFileList list(c.before);
    list.Select(c.selected);
    Apply(list, c.edit);
    EXPECT_EQ(list.Entries(), c.after) << c.name;
    EXPECT_EQ(list.Selected(), c.selectedAfter) << c.name;
  }
}

TEST(ListEditing, RepeatedMovesKeepMovingTheSameFile) {
  MemoryFileList list({L"a", L"b", L"c", L"d"});
  ListHistory history;
  list.Select(4);
  for (int i = 0; i < 5; ++i)
    MoveSelectedUp(list, history);
  EXPECT_EQ(list.Entries(), (Paths{L"d", L"a", L"b", L"c"}));
  for (int i = 0; i < 2; ++i)
    MoveSelectedDown(list, history);
  EXPECT_EQ(list.Entries(), (Paths{L"a", L"b", L"d", L"c"}));
}

}  // namespace
}  // namespace folianto
